#pragma once
#include <QDialog>

class QLabel;
class QPushButton;
class TmainFm;
class TcommonDm;

// The program's name, version and the maker's addresses.
class TAboutDlg : public QDialog {
    Q_OBJECT
public:
    TAboutDlg(TmainFm &mainFm, TcommonDm &commonDm, QWidget *parent = nullptr);

    QLabel *Image_App;
    QLabel *Label_AppName;
    QLabel *lbl_version;
    QLabel *lbl_web;
    QLabel *lbl_support;
    QLabel *lbl_Sales;
    QPushButton *Button1;

    void FormCreate();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLabel *AddLink(const QString &text, int left, int top);
    TmainFm &FMainFm;
    TcommonDm &FCommonDm;
};
