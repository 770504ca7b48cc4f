#include "components/KvSndMsg.h"
#include <QFileInfo>
#include <QGuiApplication>

namespace {

// The hourglass while the message is put together and handed on, whatever way Send ends.
class WaitCursor {
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
};

bool AnyLongerThan(const QStringList &lines, int length)
{
    for (const QString &line : lines)
        if (line.size() > length)
            return true;
    return false;
}

} // namespace

QString MapiErrorText(int errorCode)
{
    switch (errorCode) {
    case MAPI_USER_ABORT:
        return QStringLiteral("User Abort");
    case MAPI_E_FAILURE:
        return QStringLiteral("General Failure");
    case MAPI_E_LOGON_FAILURE:
        return QStringLiteral("Login Failure");
    case MAPI_E_DISK_FULL:
        return QStringLiteral("Disk Full");
    case MAPI_E_INSUFFICIENT_MEMORY:
        return QStringLiteral("Insufficient Memory");
    case MAPI_E_ACCESS_DENIED:
        return QStringLiteral("Access Denied");
    case MAPI_E_TOO_MANY_SESSIONS:
        return QStringLiteral("Too Many Sessions");
    case MAPI_E_TOO_MANY_FILES:
        return QStringLiteral("Too Many Files");
    case MAPI_E_TOO_MANY_RECIPIENTS:
        return QStringLiteral("Too Many Recipients");
    case MAPI_E_ATTACHMENT_NOT_FOUND:
        return QStringLiteral("Attachment Not Found");
    case MAPI_E_ATTACHMENT_OPEN_FAILURE:
        return QStringLiteral("Attachment Open Failure");
    case MAPI_E_ATTACHMENT_WRITE_FAILURE:
        return QStringLiteral("Attachment Write Failure");
    case MAPI_E_UNKNOWN_RECIPIENT:
        return QStringLiteral("Unknown Recipient");
    case MAPI_E_BAD_RECIPTYPE:
        return QStringLiteral("Bad Recipient Type");
    case MAPI_E_NO_MESSAGES:
        return QStringLiteral("No Messages");
    case MAPI_E_INVALID_MESSAGE:
        return QStringLiteral("Invalid Message");
    case MAPI_E_TEXT_TOO_LARGE:
        return QStringLiteral("Text Too Large");
    case MAPI_E_INVALID_SESSION:
        return QStringLiteral("Invalid Session");
    case MAPI_E_TYPE_NOT_SUPPORTED:
        return QStringLiteral("Type Not Supported");
    case MAPI_E_AMBIGUOUS_RECIPIENT:
        return QStringLiteral("Ambiguous Recipient");
    case MAPI_E_MESSAGE_IN_USE:
        return QStringLiteral("Message In Use");
    case MAPI_E_NETWORK_FAILURE:
        return QStringLiteral("Network Failure");
    case MAPI_E_INVALID_EDITFIELDS:
        return QStringLiteral("Invalid Edit Fields");
    case MAPI_E_INVALID_RECIPS:
        return QStringLiteral("Invalid Recipients");
    case MAPI_E_NOT_SUPPORTED:
        return QStringLiteral("Feature Not Supported");
    default:
        return QStringLiteral("Unknown Error");
    }
}

EMapiError::EMapiError(int errorCode)
    : std::runtime_error(
          QStringLiteral("MAPI: %1. ErrorCode = %2").arg(MapiErrorText(errorCode)).arg(errorCode).toStdString()),
      ErrorCode(errorCode)
{
}

void RaiseMapiError(int errorCode)
{
    if (errorCode == MAPI_USER_ABORT)
        throw EMapiUserAbort();
    throw EMapiError(errorCode);
}

TKvSendMessage::TKvSendMessage(QObject *owner, std::unique_ptr<KvMailBackend> backend)
    : QObject(owner), FBackend(backend ? std::move(backend) : std::make_unique<KvXdgEmailBackend>())
{
}

TKvSendMessage::~TKvSendMessage()
{
    try {
        Logoff();
    } catch (const std::exception &) {
        // Nothing to be done about a session that will not close while going away.
    }
}

void TKvSendMessage::Logon()
{
    const unsigned flags = ProfileName.isEmpty() ? MAPI_LOGON_UI | MAPI_ALLOW_OTHERS | MAPI_USE_DEFAULT
                                                 : MAPI_LOGON_UI | MAPI_ALLOW_OTHERS;
    quintptr session = 0;
    const int result = FBackend->logon(ProfileName, Password, flags, session);
    if (result > 0)
        RaiseMapiError(result);
    FSession = session;
}

void TKvSendMessage::Logoff()
{
    if (FSession == 0)
        return;
    const int result = FBackend->logoff(FSession);
    if (result > 0)
        RaiseMapiError(result);
    FSession = 0;
}

void TKvSendMessage::Clear()
{
    Attachments.clear();
    ToRecipients.clear();
    CcRecipients.clear();
    BccRecipients.clear();
    MessageText.clear();
}

void TKvSendMessage::CheckLimits() const
{
    const QStringList *lists[] = {&ToRecipients, &CcRecipients, &BccRecipients};
    qsizetype recipients = 0;
    for (const QStringList *list : lists) {
        recipients += list->size();
        if (AnyLongerThan(*list, kMaxItemLength))
            throw EMapiError(MAPI_E_INVALID_RECIPS);
    }
    if (recipients > kMaxItems)
        throw EMapiError(MAPI_E_TOO_MANY_RECIPIENTS);
    if (Attachments.size() > kMaxItems)
        throw EMapiError(MAPI_E_TOO_MANY_FILES);
    for (const QString &file : Attachments)
        if (QFileInfo(file).absoluteFilePath().size() > kMaxItemLength)
            throw EMapiError(MAPI_E_ATTACHMENT_OPEN_FAILURE);
}

QList<KvMailRecipient> TKvSendMessage::Recipients()
{
    const unsigned resolveFlags = Review ? MAPI_LOGON_UI | MAPI_DIALOG : MAPI_LOGON_UI;
    QList<KvMailRecipient> recipients;
    const std::pair<const QStringList *, int> lists[] = {
        {&ToRecipients, MAPI_TO}, {&CcRecipients, MAPI_CC}, {&BccRecipients, MAPI_BCC}};
    for (const auto &[list, recipClass] : lists) {
        for (const QString &line : *list) {
            KvMailRecipient recipient;
            if (ResolveNames) {
                const int result = FBackend->resolveName(FSession, line, resolveFlags, recipient);
                if (result > 0)
                    RaiseMapiError(result);
            } else {
                recipient.name = line;
                recipient.address = QStringLiteral("SMTP:") + line;
            }
            recipient.recipClass = recipClass;
            recipients << recipient;
        }
    }
    return recipients;
}

void TKvSendMessage::Send()
{
    const WaitCursor waitCursor;
    CheckLimits();
    if (FSession == 0)
        Logon();

    if (MessageMemo)
        MessageText = MessageMemo->toPlainText().split(QLatin1Char('\n'));
    KvMailMessage message;
    for (const QString &line : MessageText)
        message.noteText += line + QLatin1String("\r\n");
    message.subject = SubjectEdit ? SubjectEdit->text() : Subject;
    message.recipients = Recipients();
    for (const QString &file : Attachments)
        message.files << QFileInfo(file).absoluteFilePath();

    const unsigned flags =
        Review || ToRecipients.isEmpty() ? MAPI_LOGON_UI | MAPI_DIALOG : MAPI_LOGON_UI;
    const int result = FBackend->sendMail(FSession, message, flags, [this](int handedOver) {
        if (OnHandedOver)
            OnHandedOver(handedOver);
    });
    if (result > 0)
        RaiseMapiError(result);
}
