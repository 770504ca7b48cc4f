// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QObject>

class MemoActions;
class MemoController;
class MemoTree;

// The list's view choices that the settings file keeps from one run to the next: the sort
// order, the numbered list view and wide search. Their actions show them, and each switch is
// written at once.
class ViewSettings : public QObject {
    Q_OBJECT
public:
    // settingsPath: kvConf.ini.
    ViewSettings(const QString &settingsPath, MemoController &controller, MemoActions &actions, MemoTree &tree,
                 QObject *parent);

    // Reads the choices again: the controller takes the sort order, the actions the rest.
    void load();
    void toggleSortOrder();
    // The list-view action has switched: the rows are drawn again.
    void toggleListView();
    // The wide-search action has switched.
    void saveWideSearch();

private:
    const QString m_settingsPath;
    MemoController &m_controller;
    MemoActions &m_actions;
    MemoTree &m_tree;
};
