// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "desktop/MailBackend.h"
#include <QLineEdit>
#include <QObject>
#include <QPlainTextEdit>
#include <QPointer>
#include <QStringList>
#include <memory>
#include <stdexcept>

// The user cancelled, or there is no mail program to hand the message to. Meant to end the
// command silently.
class MailUserAbort : public std::runtime_error {
public:
    MailUserAbort() : std::runtime_error("User Abort") {}
};

// "MAPI: <text of the result>. ErrorCode = <its number>"
class MailError : public std::runtime_error {
public:
    explicit MailError(MailResult result);
    const MailResult result;
};

QString mailResultText(MailResult result);
// UserAbort raises MailUserAbort, any other failure MailError.
[[noreturn]] void raiseMailError(MailResult result);

// Hands a message (subject, body, recipients, attached files) to the user's mail program,
// normally opening its compose window with everything filled in.
//
// Each recipient and each attachment's full path may hold at most 255 characters, and there
// may be at most 2730 recipients and 2730 attachments. Beyond that Send raises MailError
// before anything is handed over: Invalid recipients (25), Attachment Open failure (12), Too
// Many recipients (10), Too Many files (9).
class MailMessage : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxItemLength = 255;
    static constexpr int kMaxItems = 2730;

    // backend: nullptr for xdg-email.
    explicit MailMessage(QObject *owner = nullptr, std::unique_ptr<MailBackend> backend = nullptr);
    ~MailMessage() override;

    QStringList attachments; // relative paths are taken from the current folder at Send
    QStringList ccRecipients;
    QStringList bccRecipients;
    QPointer<QPlainTextEdit> messageEdit; // when set, its lines replace messageText at Send
    QStringList messageText;
    QString profileName;
    QString password;
    bool review = true;
    bool resolveNames = true;
    QStringList toRecipients;
    QString subject;
    QPointer<QLineEdit> subjectEdit; // when set, its text is the subject

    // Told once for each Send that returned: Success when the mail program has the message,
    // else the failure (UserAbort for no mail program). The hand-over runs without blocking.
    MailDone onHandedOver;

    void logon();
    void logoff();
    // Opens a session first when there is none; the session stays open for the next Send.
    // Raises at once what can be checked at once; the rest is told to onHandedOver.
    void send();
    // Empties the attachments, the recipients and the body; the subject stays.
    void clear();

private:
    void checkLimits() const;
    QList<MailRecipient> recipients();

    std::unique_ptr<MailBackend> m_backend;
    MailSession m_session = MailSession::None;
};
