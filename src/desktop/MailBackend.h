#pragma once
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

// The simple-mail interface the mail component speaks: a session, name resolution and sending
// one message, each answering a result code (0 = success). On Linux the one backend hands the
// message to the user's mail program through xdg-email.

enum MailResult {
    SUCCESS_SUCCESS = 0,
    MAPI_USER_ABORT = 1,
    MAPI_E_FAILURE = 2,
    MAPI_E_LOGON_FAILURE = 3,
    MAPI_E_DISK_FULL = 4,
    MAPI_E_INSUFFICIENT_MEMORY = 5,
    MAPI_E_ACCESS_DENIED = 6,
    MAPI_E_TOO_MANY_SESSIONS = 8,
    MAPI_E_TOO_MANY_FILES = 9,
    MAPI_E_TOO_MANY_RECIPIENTS = 10,
    MAPI_E_ATTACHMENT_NOT_FOUND = 11,
    MAPI_E_ATTACHMENT_OPEN_FAILURE = 12,
    MAPI_E_ATTACHMENT_WRITE_FAILURE = 13,
    MAPI_E_UNKNOWN_RECIPIENT = 14,
    MAPI_E_BAD_RECIPTYPE = 15,
    MAPI_E_NO_MESSAGES = 16,
    MAPI_E_INVALID_MESSAGE = 17,
    MAPI_E_TEXT_TOO_LARGE = 18,
    MAPI_E_INVALID_SESSION = 19,
    MAPI_E_TYPE_NOT_SUPPORTED = 20,
    MAPI_E_AMBIGUOUS_RECIPIENT = 21,
    MAPI_E_MESSAGE_IN_USE = 22,
    MAPI_E_NETWORK_FAILURE = 23,
    MAPI_E_INVALID_EDITFIELDS = 24,
    MAPI_E_INVALID_RECIPS = 25,
    MAPI_E_NOT_SUPPORTED = 26,
};

enum MailFlags : unsigned {
    MAPI_LOGON_UI = 1,
    MAPI_DIALOG = 8, // send: show the compose window
    MAPI_ALLOW_OTHERS = 8, // logon: share a session already open
    MAPI_USE_DEFAULT = 64,
};

enum RecipientClass { MAPI_TO = 1, MAPI_CC = 2, MAPI_BCC = 3 };

struct MailRecipient {
    int recipClass = MAPI_TO;
    QString name;
    QString address; // with its address type, "SMTP:someone@example.org"
};

struct MailContent {
    QString subject;
    QString noteText; // every line followed by CR LF
    QList<MailRecipient> recipients; // To, then Cc, then Bcc
    QStringList files; // full paths
};

// Told once how a hand-over that was started ended: 0 when the mail program has the message,
// else a result code.
using MailDone = std::function<void(int result)>;

class MailBackend {
public:
    virtual ~MailBackend() = default;
    virtual int logon(const QString &profile, const QString &password, unsigned flags, quintptr &session) = 0;
    virtual int logoff(quintptr session) = 0;
    virtual int resolveName(quintptr session, const QString &name, unsigned flags, MailRecipient &recipient) = 0;
    // What can be checked at once is answered at once (a code above 0, and done is never
    // called). On 0 the message is on its way and done is called once it has arrived or failed,
    // possibly before sendMail returns; never after the backend is gone.
    virtual int sendMail(quintptr session, const MailContent &message, unsigned flags, MailDone done) = 0;
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
//   or the hand-over killed                                        MAPI_USER_ABORT
//   an attachment missing / unreadable (checked before starting)   MAPI_E_ATTACHMENT_NOT_FOUND / _OPEN_FAILURE
//   a recipient that is no plain address                           MAPI_E_INVALID_RECIPS
//   any other failure of xdg-email                                 MAPI_E_FAILURE
class XdgEmailBackend : public MailBackend {
public:
    // runner: empty for RunHandingOver.
    explicit XdgEmailBackend(ProgramRunner runner = {});

    int logon(const QString &profile, const QString &password, unsigned flags, quintptr &session) override;
    int logoff(quintptr session) override;
    int resolveName(quintptr session, const QString &name, unsigned flags, MailRecipient &recipient) override;
    int sendMail(quintptr session, const MailContent &message, unsigned flags, MailDone done) override;

private:
    ProgramRunner m_run;
    quintptr m_lastSession = 0;
    // Runs that end after the backend has gone find it expired and tell nobody.
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};
