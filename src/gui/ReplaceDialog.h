// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/ExchangeReader.h"
#include "core/TimeStamp.h"
#include <QDialog>

class QLabel;
class QPushButton;

// Asks whether a record of an exchange file may replace the stored record with its id. Each
// button closes it with its answer; the close box keeps the stored record (No).
class ReplaceDialog : public QDialog {
    Q_OBJECT
public:
    explicit ReplaceDialog(QWidget *parent = nullptr);

    // kind is "memo" or "task"; contents are shown on one line.
    void setRecords(const QString &kind, const QString &oldContent, TimeStamp oldEditTime, const QString &newContent,
                    TimeStamp newEditTime);
    // The answer to the records last set.
    ExchangeReader::ReplaceAnswer answer() const { return m_answer; }

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
    ExchangeReader::ReplaceAnswer m_answer = ExchangeReader::ReplaceAnswer::No;
};
