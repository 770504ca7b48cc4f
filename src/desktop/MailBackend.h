// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QFlags>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

// The simple-mail interface the mail component speaks: a session, name resolution and sending
// one message, each answering a result. On Linux the one backend hands the message to the
// user's mail program through xdg-email.

// How a mail call ended. The numbers are the codes the user sees in a mail error message.
enum class MailResult {
    Success = 0,
    UserAbort = 1,
    Failure = 2,
    LogonFailure = 3,
    DiskFull = 4,
    InsufficientMemory = 5,
    AccessDenied = 6,
    TooManySessions = 8,
    TooManyFiles = 9,
    TooManyRecipients = 10,
    AttachmentNotFound = 11,
    AttachmentOpenFailure = 12,
    AttachmentWriteFailure = 13,
    UnknownRecipient = 14,
    BadRecipientType = 15,
    NoMessages = 16,
    InvalidMessage = 17,
    TextTooLarge = 18,
    InvalidSession = 19,
    TypeNotSupported = 20,
    AmbiguousRecipient = 21,
    MessageInUse = 22,
    NetworkFailure = 23,
    InvalidEditFields = 24,
    InvalidRecipients = 25,
    NotSupported = 26,
};

// How a mail session is opened.
enum class MailLogonOption : unsigned {
    AskUser = 0x1,        // the mail program may ask the user to log on
    ShareSession = 0x2,   // a session already open is taken
    DefaultProfile = 0x4, // no profile named: the user's default one
};
Q_DECLARE_FLAGS(MailLogonOptions, MailLogonOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(MailLogonOptions)

// What resolving a name or sending a message may show the user.
enum class MailPromptOption : unsigned {
    AskUser = 0x1,    // the mail program may ask the user to log on
    ShowDialog = 0x2, // sending: the compose window; resolving: the choice between names
};
Q_DECLARE_FLAGS(MailPromptOptions, MailPromptOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(MailPromptOptions)

// A session the backend opened, as a handle only the backend reads; None is no session.
enum class MailSession : quintptr { None = 0 };

enum class RecipientClass { To, Cc, Bcc };

struct MailRecipient {
    RecipientClass recipientClass = RecipientClass::To;
    QString name;
    QString address; // with its address type, "SMTP:someone@example.org"
};

struct MailContent {
    QString subject;
    QString noteText; // every line followed by CR LF
    QList<MailRecipient> recipients; // To, then Cc, then Bcc
    QStringList files; // full paths
};

// Told once how a hand-over that was started ended: Success when the mail program has the
// message.
using MailDone = std::function<void(MailResult result)>;

class MailBackend {
public:
    virtual ~MailBackend() = default;
    virtual MailResult logon(const QString &profile, const QString &password, MailLogonOptions options, MailSession &session) = 0;
    virtual MailResult logoff(MailSession session) = 0;
    virtual MailResult resolveName(MailSession session, const QString &name, MailPromptOptions options, MailRecipient &recipient) = 0;
    // What can be checked at once is answered at once (a failure, and done is never called).
    // On Success the message is on its way and done is called once it has arrived or failed,
    // possibly before sendMail returns; never after the backend is gone.
    virtual MailResult sendMail(MailSession session, const MailContent &message, MailPromptOptions options, MailDone done) = 0;
};

// How a run of a helper program ended.
struct MailRunResult {
    enum class Status { NotStarted, Finished, Crashed, StillRunning };
    Status status = Status::NotStarted;
    int exitCode = 0;
};
using RunDone = std::function<void(const MailRunResult &result)>;
using ProgramRunner = std::function<void(const QString &program, const QStringList &arguments, RunDone done)>;

// Starts program without waiting for it and calls done once, when it has ended or has had a
// few seconds to hand its work over; a program still running then (a mail program started in
// the foreground) runs on by itself.
void startHandingOver(const QString &program, const QStringList &arguments, RunDone done);

// Opens the user's mail program with the message through xdg-email. It always opens the
// compose window; there is no address book, so resolving a name only checks that it is an
// address. Results, at once or, for what xdg-email answers, through done:
//   xdg-email not found or not startable, no mail program found (exit 3),
//   or the hand-over killed                                        UserAbort
//   an attachment missing / unreadable (checked before starting)   AttachmentNotFound / AttachmentOpenFailure
//   a recipient that is no plain address                           InvalidRecipients
//   any other failure of xdg-email                                 Failure
class XdgEmailBackend : public MailBackend {
public:
    // runner: empty for RunHandingOver.
    explicit XdgEmailBackend(ProgramRunner runner = {});

    MailResult logon(const QString &profile, const QString &password, MailLogonOptions options, MailSession &session) override;
    MailResult logoff(MailSession session) override;
    MailResult resolveName(MailSession session, const QString &name, MailPromptOptions options, MailRecipient &recipient) override;
    MailResult sendMail(MailSession session, const MailContent &message, MailPromptOptions options, MailDone done) override;

private:
    ProgramRunner m_run;
    quintptr m_sessionsOpened = 0;
    // Runs that end after the backend has gone find it expired and tell nobody.
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};
