#include "desktop/MailMessage.h"
#include <QCoreApplication>
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

bool anyLongerThan(const QStringList &lines, int length)
{
    for (const QString &line : lines)
        if (line.size() > length)
            return true;
    return false;
}

} // namespace

QString mapiErrorText(int errorCode)
{
    switch (errorCode) {
    case MAPI_USER_ABORT:
        return QCoreApplication::translate("MailMessage", "User Abort");
    case MAPI_E_FAILURE:
        return QCoreApplication::translate("MailMessage", "General Failure");
    case MAPI_E_LOGON_FAILURE:
        return QCoreApplication::translate("MailMessage", "Login Failure");
    case MAPI_E_DISK_FULL:
        return QCoreApplication::translate("MailMessage", "Disk Full");
    case MAPI_E_INSUFFICIENT_MEMORY:
        return QCoreApplication::translate("MailMessage", "Insufficient Memory");
    case MAPI_E_ACCESS_DENIED:
        return QCoreApplication::translate("MailMessage", "Access Denied");
    case MAPI_E_TOO_MANY_SESSIONS:
        return QCoreApplication::translate("MailMessage", "Too Many Sessions");
    case MAPI_E_TOO_MANY_FILES:
        return QCoreApplication::translate("MailMessage", "Too Many Files");
    case MAPI_E_TOO_MANY_RECIPIENTS:
        return QCoreApplication::translate("MailMessage", "Too Many Recipients");
    case MAPI_E_ATTACHMENT_NOT_FOUND:
        return QCoreApplication::translate("MailMessage", "Attachment Not Found");
    case MAPI_E_ATTACHMENT_OPEN_FAILURE:
        return QCoreApplication::translate("MailMessage", "Attachment Open Failure");
    case MAPI_E_ATTACHMENT_WRITE_FAILURE:
        return QCoreApplication::translate("MailMessage", "Attachment Write Failure");
    case MAPI_E_UNKNOWN_RECIPIENT:
        return QCoreApplication::translate("MailMessage", "Unknown Recipient");
    case MAPI_E_BAD_RECIPTYPE:
        return QCoreApplication::translate("MailMessage", "Bad Recipient Type");
    case MAPI_E_NO_MESSAGES:
        return QCoreApplication::translate("MailMessage", "No Messages");
    case MAPI_E_INVALID_MESSAGE:
        return QCoreApplication::translate("MailMessage", "Invalid Message");
    case MAPI_E_TEXT_TOO_LARGE:
        return QCoreApplication::translate("MailMessage", "Text Too Large");
    case MAPI_E_INVALID_SESSION:
        return QCoreApplication::translate("MailMessage", "Invalid Session");
    case MAPI_E_TYPE_NOT_SUPPORTED:
        return QCoreApplication::translate("MailMessage", "Type Not Supported");
    case MAPI_E_AMBIGUOUS_RECIPIENT:
        return QCoreApplication::translate("MailMessage", "Ambiguous Recipient");
    case MAPI_E_MESSAGE_IN_USE:
        return QCoreApplication::translate("MailMessage", "Message In Use");
    case MAPI_E_NETWORK_FAILURE:
        return QCoreApplication::translate("MailMessage", "Network Failure");
    case MAPI_E_INVALID_EDITFIELDS:
        return QCoreApplication::translate("MailMessage", "Invalid Edit Fields");
    case MAPI_E_INVALID_RECIPS:
        return QCoreApplication::translate("MailMessage", "Invalid Recipients");
    case MAPI_E_NOT_SUPPORTED:
        return QCoreApplication::translate("MailMessage", "Feature Not Supported");
    default:
        return QCoreApplication::translate("MailMessage", "Unknown Error");
    }
}

MailError::MailError(int errorCode)
    : std::runtime_error(
          QCoreApplication::translate("MailMessage", "MAPI: %1. ErrorCode = %2").arg(mapiErrorText(errorCode)).arg(errorCode).toStdString()),
      errorCode(errorCode)
{
}

void raiseMapiError(int errorCode)
{
    if (errorCode == MAPI_USER_ABORT)
        throw MailUserAbort();
    throw MailError(errorCode);
}

MailMessage::MailMessage(QObject *owner, std::unique_ptr<MailBackend> backend)
    : QObject(owner), m_backend(backend ? std::move(backend) : std::make_unique<XdgEmailBackend>())
{
}

MailMessage::~MailMessage()
{
    try {
        logoff();
    } catch (const std::exception &) {
        // Nothing to be done about a session that will not close while going away.
    }
}

void MailMessage::logon()
{
    const unsigned flags = profileName.isEmpty() ? MAPI_LOGON_UI | MAPI_ALLOW_OTHERS | MAPI_USE_DEFAULT
                                                 : MAPI_LOGON_UI | MAPI_ALLOW_OTHERS;
    quintptr session = 0;
    const int result = m_backend->logon(profileName, password, flags, session);
    if (result > 0)
        raiseMapiError(result);
    m_session = session;
}

void MailMessage::logoff()
{
    if (m_session == 0)
        return;
    const int result = m_backend->logoff(m_session);
    if (result > 0)
        raiseMapiError(result);
    m_session = 0;
}

void MailMessage::clear()
{
    attachments.clear();
    toRecipients.clear();
    ccRecipients.clear();
    bccRecipients.clear();
    messageText.clear();
}

void MailMessage::checkLimits() const
{
    const QStringList *lists[] = {&toRecipients, &ccRecipients, &bccRecipients};
    qsizetype recipients = 0;
    for (const QStringList *list : lists) {
        recipients += list->size();
        if (anyLongerThan(*list, kMaxItemLength))
            throw MailError(MAPI_E_INVALID_RECIPS);
    }
    if (recipients > kMaxItems)
        throw MailError(MAPI_E_TOO_MANY_RECIPIENTS);
    if (attachments.size() > kMaxItems)
        throw MailError(MAPI_E_TOO_MANY_FILES);
    for (const QString &file : attachments)
        if (QFileInfo(file).absoluteFilePath().size() > kMaxItemLength)
            throw MailError(MAPI_E_ATTACHMENT_OPEN_FAILURE);
}

QList<MailRecipient> MailMessage::recipients()
{
    const unsigned resolveFlags = review ? MAPI_LOGON_UI | MAPI_DIALOG : MAPI_LOGON_UI;
    QList<MailRecipient> recipients;
    const std::pair<const QStringList *, int> lists[] = {
        {&toRecipients, MAPI_TO}, {&ccRecipients, MAPI_CC}, {&bccRecipients, MAPI_BCC}};
    for (const auto &[list, recipClass] : lists) {
        for (const QString &line : *list) {
            MailRecipient recipient;
            if (resolveNames) {
                const int result = m_backend->resolveName(m_session, line, resolveFlags, recipient);
                if (result > 0)
                    raiseMapiError(result);
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

void MailMessage::send()
{
    const WaitCursor waitCursor;
    checkLimits();
    if (m_session == 0)
        logon();

    if (messageEdit)
        messageText = messageEdit->toPlainText().split(QLatin1Char('\n'));
    MailContent message;
    for (const QString &line : messageText)
        message.noteText += line + QLatin1String("\r\n");
    message.subject = subjectEdit ? subjectEdit->text() : subject;
    message.recipients = recipients();
    for (const QString &file : attachments)
        message.files << QFileInfo(file).absoluteFilePath();

    const unsigned flags =
        review || toRecipients.isEmpty() ? MAPI_LOGON_UI | MAPI_DIALOG : MAPI_LOGON_UI;
    const int result = m_backend->sendMail(m_session, message, flags, [this](int handedOver) {
        if (onHandedOver)
            onHandedOver(handedOver);
    });
    if (result > 0)
        raiseMapiError(result);
}
