#pragma once
#include <QDialog>

class QCheckBox;
class QPushButton;
class MainWindow;

// The options: start with the desktop session, start hidden, add a memo on every opening.
class OptionsDialog : public QDialog {
    Q_OBJECT
public:
    explicit OptionsDialog(MainWindow &mainWindow, QWidget *parent = nullptr);

    QCheckBox *m_autoStartBox;
    QCheckBox *m_runMinimizedBox;
    QCheckBox *m_addOpenBox;
    QPushButton *m_okButton;
    QPushButton *Button2;

    void createWindow();
    void okClicked();

private:
    MainWindow &m_mainWindow;
};
