// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QDialog>

class QCheckBox;
class MainWindow;
class CommonActions;

// Asks whether to look at the maker's web site for updates; answers No by itself after 5 s.
class UpdateDialog : public QDialog {
    Q_OBJECT
public:
    UpdateDialog(MainWindow &mainWindow, CommonActions &commonActions, QWidget *parent = nullptr);

private:
    void yesClicked();
    void askBoxClicked();

    MainWindow &m_mainWindow;
    CommonActions &m_commonActions;
    QCheckBox *m_askBox;
};
