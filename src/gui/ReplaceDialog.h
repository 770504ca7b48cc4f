#pragma once
#include "core/TimeStamp.h"
#include <QDialog>

class QLabel;
class QPushButton;

// Asks whether a record of an exchange file may replace the stored record with its id.
// The answer is the dialog's result: mrYes, mrNo, mrAll (yes to all that follow), mrAbort,
// or mrCancel when the dialog is closed by its close box.
class ReplaceDialog : public QDialog {
    Q_OBJECT
public:
    enum ModalResult { mrCancel = 2, mrAbort = 3, mrYes = 6, mrNo = 7, mrAll = 10 };

    explicit ReplaceDialog(QWidget *parent = nullptr);

    // kind is "memo" or "task"; contents are shown on one line.
    void setRecords(const QString &kind, const QString &oldContent, TimeStamp oldEditTime, const QString &newContent,
                    TimeStamp newEditTime);

protected:
    void reject() override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QLabel *m_question;
    QLabel *m_oldText;
    QLabel *m_oldTime;
    QLabel *m_newText;
    QLabel *m_newTime;
    QPushButton *m_yesButton;
};
