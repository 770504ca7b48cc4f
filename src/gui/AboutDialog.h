// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QDialog>

class QLabel;
class MainWindow;
class CommonActions;

// The program's name, version and the maker's addresses.
class AboutDialog : public QDialog {
    Q_OBJECT
public:
    AboutDialog(MainWindow &mainWindow, CommonActions &commonActions, QWidget *parent = nullptr);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLabel *addLink(const char *name, const QString &text, int left, int top);
    void openLink(QLabel *link);
    void showProgramDetails();

    MainWindow &m_mainWindow;
    CommonActions &m_commonActions;
    QLabel *m_appImage;
    QLabel *m_nameLabel;
    QLabel *m_versionLabel;
    QLabel *m_webLink;
    QLabel *m_supportLink;
    QLabel *m_salesLink;
};
