#pragma once
#include "components/KvMailBackend.h"
#include <QLineEdit>
#include <QObject>
#include <QPlainTextEdit>
#include <QPointer>
#include <QStringList>
#include <memory>
#include <stdexcept>

// The user cancelled, or there is no mail program to hand the message to. Meant to end the
// command silently.
class EMapiUserAbort : public std::runtime_error {
public:
    EMapiUserAbort() : std::runtime_error("User Abort") {}
};

// "MAPI: <text of the code>. ErrorCode = <code>"
class EMapiError : public std::runtime_error {
public:
    explicit EMapiError(int errorCode);
    const int ErrorCode;
};

QString MapiErrorText(int errorCode);
// Code 1 raises EMapiUserAbort, any other code EMapiError.
[[noreturn]] void RaiseMapiError(int errorCode);

// Hands a message (subject, body, recipients, attached files) to the user's mail program,
// normally opening its compose window with everything filled in.
//
// Each recipient and each attachment's full path may hold at most 255 characters, and there
// may be at most 2730 recipients and 2730 attachments. Beyond that Send raises EMapiError
// before anything is handed over: Invalid Recipients (25), Attachment Open Failure (12), Too
// Many Recipients (10), Too Many Files (9).
class TKvSendMessage : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxItemLength = 255;
    static constexpr int kMaxItems = 2730;

    // backend: nullptr for xdg-email.
    explicit TKvSendMessage(QObject *owner = nullptr, std::unique_ptr<KvMailBackend> backend = nullptr);
    ~TKvSendMessage() override;

    QStringList Attachments; // relative paths are taken from the current folder at Send
    QStringList CcRecipients;
    QStringList BccRecipients;
    QPointer<QPlainTextEdit> MessageMemo; // when set, its lines replace MessageText at Send
    QStringList MessageText;
    QString ProfileName;
    QString Password;
    bool Review = true;
    bool ResolveNames = true;
    QStringList ToRecipients;
    QString Subject;
    QPointer<QLineEdit> SubjectEdit; // when set, its text is the subject

    // Told once for each Send that returned: 0 when the mail program has the message, else the
    // result code (MAPI_USER_ABORT for no mail program). The hand-over runs without blocking.
    KvMailDone OnHandedOver;

    void Logon();
    void Logoff();
    // Opens a session first when there is none; the session stays open for the next Send.
    // Raises at once what can be checked at once; the rest is told to OnHandedOver.
    void Send();
    // Empties the attachments, the recipients and the body; the subject stays.
    void Clear();

    quintptr Session() const { return FSession; }

private:
    void CheckLimits() const;
    QList<KvMailRecipient> Recipients();

    std::unique_ptr<KvMailBackend> FBackend;
    quintptr FSession = 0;
};
