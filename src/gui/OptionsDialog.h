// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QDialog>

class QCheckBox;
class MainWindow;

// The options: start with the desktop session, start hidden, add a memo on every opening.
class OptionsDialog : public QDialog {
    Q_OBJECT
public:
    explicit OptionsDialog(MainWindow &mainWindow, QWidget *parent = nullptr);

private:
    void showSettings();
    void okClicked();

    MainWindow &m_mainWindow;
    QCheckBox *m_autoStartBox;
    QCheckBox *m_runMinimizedBox;
    QCheckBox *m_addOpenBox;
};
