// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QDialog>

class QCheckBox;
class QLineEdit;
class MainWindow;

// The options: start with the desktop session, start hidden, add a memo on every opening,
// and the folder that sync shares with the user's other computers.
class OptionsDialog : public QDialog {
    Q_OBJECT
public:
    explicit OptionsDialog(MainWindow &mainWindow, QWidget *parent = nullptr);

private:
    void showSettings();
    void okClicked();
    void chooseSyncFolder();

    MainWindow &m_mainWindow;
    QCheckBox *m_autoStartBox;
    QCheckBox *m_runMinimizedBox;
    QCheckBox *m_addOpenBox;
    QLineEdit *m_syncFolderEdit;
};
