#pragma once
#include <QDialog>

class QCheckBox;
class QPushButton;
class TmainFm;

// The options: start with the desktop session, start hidden, add a memo on every opening.
class TOptionsDlg : public QDialog {
    Q_OBJECT
public:
    explicit TOptionsDlg(TmainFm &mainFm, QWidget *parent = nullptr);

    QCheckBox *cb_AutoStart;
    QCheckBox *cb_AutoMinimized;
    QCheckBox *cb_AddOpen;
    QPushButton *Btn_Ok;
    QPushButton *Button2;

    void FormCreate();
    void Btn_OkClick();

private:
    TmainFm &FMainFm;
};
