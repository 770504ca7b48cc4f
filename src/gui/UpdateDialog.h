#pragma once
#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;
class QTimer;
class MainWindow;
class CommonActions;

// Asks whether to look at the maker's web site for updates; answers No by itself after 5 s.
class UpdateDialog : public QDialog {
    Q_OBJECT
public:
    UpdateDialog(MainWindow &mainWindow, CommonActions &commonActions, QWidget *parent = nullptr);

    QLabel *Label1;
    QLabel *Label2;
    QPushButton *btn_Yes;
    QPushButton *Button2;
    QCheckBox *m_askBox;
    QTimer *Timer1;

    void btn_YesClick();
    void askBoxClicked();
    void closeTimeout();

private:
    MainWindow &m_mainWindow;
    CommonActions &m_commonActions;
};
