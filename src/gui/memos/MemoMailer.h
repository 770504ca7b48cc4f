// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QObject>

class MailMessage;
class MemoController;
class MemoOutput;

// Mails the selected memos as an HTML report and an exchange file, both kept in the data
// folder's Temp.
class MemoMailer : public QObject {
    Q_OBJECT
public:
    // dataFolder: ends with a separator.
    MemoMailer(MemoOutput &output, const MemoController &controller, const QString &dataFolder, QObject *parent);

    void emailMemos();
    // The edit has ended: a tip that waited for it comes now.
    void showWaitingTip();

private:
    // A box would end an open edit under the user's hands: the tip then waits for its end.
    void showTip(const QString &text);
    QString failureTip(const QString &folder) const;

    MemoOutput &m_output;
    const MemoController &m_controller;
    const QString m_dataFolder;
    MailMessage *m_mail;
    QString m_waitingTip; // told once no edit is open any more
};
