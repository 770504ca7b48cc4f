#pragma once
#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;
class QTimer;
class TmainFm;
class TcommonDm;

// Asks whether to look at the maker's web site for updates; answers No by itself after 5 s.
class TupdateDlg : public QDialog {
    Q_OBJECT
public:
    TupdateDlg(TmainFm &mainFm, TcommonDm &commonDm, QWidget *parent = nullptr);

    QLabel *Label1;
    QLabel *Label2;
    QPushButton *btn_Yes;
    QPushButton *Button2;
    QCheckBox *cb_ask;
    QTimer *Timer1;

    void btn_YesClick();
    void cb_askClick();
    void Timer1Timer();

private:
    TmainFm &FMainFm;
    TcommonDm &FCommonDm;
};
