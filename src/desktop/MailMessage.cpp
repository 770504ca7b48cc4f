// SPDX-License-Identifier: GPL-3.0-or-later
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

QString mailResultText(MailResult result)
{
    switch (result) {
    case MailResult::UserAbort:
        return QCoreApplication::translate("MailMessage", "User Abort");
    case MailResult::Failure:
        return QCoreApplication::translate("MailMessage", "General Failure");
    case MailResult::LogonFailure:
        return QCoreApplication::translate("MailMessage", "Login Failure");
    case MailResult::DiskFull:
        return QCoreApplication::translate("MailMessage", "Disk Full");
    case MailResult::InsufficientMemory:
        return QCoreApplication::translate("MailMessage", "Insufficient Memory");
    case MailResult::AccessDenied:
        return QCoreApplication::translate("MailMessage", "Access Denied");
    case MailResult::TooManySessions:
        return QCoreApplication::translate("MailMessage", "Too Many Sessions");
    case MailResult::TooManyFiles:
        return QCoreApplication::translate("MailMessage", "Too Many Files");
    case MailResult::TooManyRecipients:
        return QCoreApplication::translate("MailMessage", "Too Many Recipients");
    case MailResult::AttachmentNotFound:
        return QCoreApplication::translate("MailMessage", "Attachment Not Found");
    case MailResult::AttachmentOpenFailure:
        return QCoreApplication::translate("MailMessage", "Attachment Open Failure");
    case MailResult::AttachmentWriteFailure:
        return QCoreApplication::translate("MailMessage", "Attachment Write Failure");
    case MailResult::UnknownRecipient:
        return QCoreApplication::translate("MailMessage", "Unknown Recipient");
    case MailResult::BadRecipientType:
        return QCoreApplication::translate("MailMessage", "Bad Recipient Type");
    case MailResult::NoMessages:
        return QCoreApplication::translate("MailMessage", "No Messages");
    case MailResult::InvalidMessage:
        return QCoreApplication::translate("MailMessage", "Invalid Message");
    case MailResult::TextTooLarge:
        return QCoreApplication::translate("MailMessage", "Text Too Large");
    case MailResult::InvalidSession:
        return QCoreApplication::translate("MailMessage", "Invalid Session");
    case MailResult::TypeNotSupported:
        return QCoreApplication::translate("MailMessage", "Type Not Supported");
    case MailResult::AmbiguousRecipient:
        return QCoreApplication::translate("MailMessage", "Ambiguous Recipient");
    case MailResult::MessageInUse:
        return QCoreApplication::translate("MailMessage", "Message In Use");
    case MailResult::NetworkFailure:
        return QCoreApplication::translate("MailMessage", "Network Failure");
    case MailResult::InvalidEditFields:
        return QCoreApplication::translate("MailMessage", "Invalid Edit Fields");
    case MailResult::InvalidRecipients:
        return QCoreApplication::translate("MailMessage", "Invalid Recipients");
    case MailResult::NotSupported:
        return QCoreApplication::translate("MailMessage", "Feature Not Supported");
    case MailResult::Success:
        break;
    }
    return QCoreApplication::translate("MailMessage", "Unknown Error");
}

MailError::MailError(MailResult result)
    : std::runtime_error(QCoreApplication::translate("MailMessage", "MAPI: %1. ErrorCode = %2")
                             .arg(mailResultText(result))
                             .arg(int(result))
                             .toStdString()),
      result(result)
{
}

void raiseMailError(MailResult result)
{
    if (result == MailResult::UserAbort)
        throw MailUserAbort();
    throw MailError(result);
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
    MailLogonOptions options = MailLogonOption::AskUser | MailLogonOption::ShareSession;
    if (profileName.isEmpty())
        options |= MailLogonOption::DefaultProfile;
    MailSession session = MailSession::None;
    const MailResult result = m_backend->logon(profileName, password, options, session);
    if (result != MailResult::Success)
        raiseMailError(result);
    m_session = session;
}

void MailMessage::logoff()
{
    if (m_session == MailSession::None)
        return;
    const MailResult result = m_backend->logoff(m_session);
    if (result != MailResult::Success)
        raiseMailError(result);
    m_session = MailSession::None;
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
            throw MailError(MailResult::InvalidRecipients);
    }
    if (recipients > kMaxItems)
        throw MailError(MailResult::TooManyRecipients);
    if (attachments.size() > kMaxItems)
        throw MailError(MailResult::TooManyFiles);
    for (const QString &file : attachments)
        if (QFileInfo(file).absoluteFilePath().size() > kMaxItemLength)
            throw MailError(MailResult::AttachmentOpenFailure);
}

QList<MailRecipient> MailMessage::recipients()
{
    const MailPromptOptions resolveOptions = review ? MailPromptOption::AskUser | MailPromptOption::ShowDialog
                                                    : MailPromptOptions(MailPromptOption::AskUser);
    QList<MailRecipient> recipients;
    const std::pair<const QStringList *, RecipientClass> lists[] = {
        {&toRecipients, RecipientClass::To}, {&ccRecipients, RecipientClass::Cc}, {&bccRecipients, RecipientClass::Bcc}};
    for (const auto &[list, recipientClass] : lists) {
        for (const QString &line : *list) {
            MailRecipient recipient;
            if (resolveNames) {
                const MailResult result = m_backend->resolveName(m_session, line, resolveOptions, recipient);
                if (result != MailResult::Success)
                    raiseMailError(result);
            } else {
                recipient.name = line;
                recipient.address = QStringLiteral("SMTP:") + line;
            }
            recipient.recipientClass = recipientClass;
            recipients << recipient;
        }
    }
    return recipients;
}

void MailMessage::send()
{
    const WaitCursor waitCursor;
    checkLimits();
    if (m_session == MailSession::None)
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

    // Without a To the user picks the recipients in the compose window.
    const MailPromptOptions options = review || toRecipients.isEmpty()
                                          ? MailPromptOption::AskUser | MailPromptOption::ShowDialog
                                          : MailPromptOptions(MailPromptOption::AskUser);
    const MailResult result = m_backend->sendMail(m_session, message, options, [this](MailResult handedOver) {
        if (onHandedOver)
            onHandedOver(handedOver);
    });
    if (result != MailResult::Success)
        raiseMailError(result);
}
