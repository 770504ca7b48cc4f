#pragma once
#include <QDialog>

class QLabel;
class QPushButton;
class MainWindow;
class CommonActions;

// The program's name, version and the maker's addresses.
class AboutDialog : public QDialog {
    Q_OBJECT
public:
    AboutDialog(MainWindow &mainWindow, CommonActions &commonActions, QWidget *parent = nullptr);

    QLabel *m_appImage;
    QLabel *Label_AppName;
    QLabel *lbl_version;
    QLabel *lbl_web;
    QLabel *lbl_support;
    QLabel *lbl_Sales;
    QPushButton *Button1;

    void createWindow();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLabel *addLink(const QString &text, int left, int top);
    MainWindow &m_mainWindow;
    CommonActions &m_commonActions;
};
