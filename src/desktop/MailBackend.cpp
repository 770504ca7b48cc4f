// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/MailBackend.h"
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTimer>
#include <memory>

namespace {

// Long enough for xdg-email to hand the message over to a running mail program; still running
// after that, it has started the mail program in the foreground, which has the message.
constexpr int kHandOverMs = 5000;

const QString kAddressType = QStringLiteral("SMTP:");

QString xdgEmail()
{
    return QStandardPaths::findExecutable(QStringLiteral("xdg-email"));
}

// The address without its address type (given once or more).
QString bareAddress(QString address)
{
    address = address.trimmed();
    while (address.startsWith(kAddressType, Qt::CaseInsensitive))
        address = address.mid(kAddressType.size()).trimmed();
    return address;
}

// xdg-email would take a leading "-" as an option and a "mailto:" URI as the whole message
// (with attachments of its own choosing), and a line break would end the field.
bool isPlainAddress(const QString &address)
{
    static const QRegularExpression controls(QStringLiteral("[\\x00-\\x1f\\x7f]"));
    return address.contains(QLatin1Char('@')) && !address.startsWith(QLatin1Char('-'))
           && !address.startsWith(QLatin1String("mailto:"), Qt::CaseInsensitive) && !address.contains(controls);
}

MailResult resultOf(const MailRunResult &run)
{
    switch (run.status) {
    case MailRunResult::Status::NotStarted:
    case MailRunResult::Status::Crashed:
        return MailResult::UserAbort;
    case MailRunResult::Status::StillRunning:
        return MailResult::Success;
    case MailRunResult::Status::Finished:
        break;
    }
    switch (run.exitCode) {
    case 0:
        return MailResult::Success;
    case 2:
        return MailResult::AttachmentNotFound;
    case 3: // no mail program to hand the message to
        return MailResult::UserAbort;
    case 5:
        return MailResult::AttachmentOpenFailure;
    default:
        return MailResult::Failure;
    }
}

QString bodyArgument(QString noteText)
{
    noteText.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    if (noteText.endsWith(QLatin1Char('\n')))
        noteText.chop(1);
    return noteText;
}

} // namespace

void startHandingOver(const QString &program, const QStringList &arguments, RunDone done)
{
    // Nothing here waits: the window stays alive while the mail program comes up.
    auto *process = new QProcess;
    auto told = std::make_shared<bool>(false);
    const auto tell = [done = std::move(done), told](const MailRunResult &result) {
        if (*told)
            return;
        *told = true;
        done(result);
    };
    process->setProgram(program);
    process->setArguments(arguments);
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    QObject::connect(process, &QProcess::errorOccurred, process, [process, tell](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return;
        tell({MailRunResult::Status::NotStarted, 0});
        process->deleteLater();
    });
    QObject::connect(process, &QProcess::finished, process, [process, tell](int exitCode, QProcess::ExitStatus status) {
        tell({status == QProcess::NormalExit ? MailRunResult::Status::Finished : MailRunResult::Status::Crashed, exitCode});
        process->deleteLater();
    });
    // Still running after a while: a mail program started in the foreground has the message.
    // It is reaped when it ends; deleting the QProcess now would kill it.
    QTimer::singleShot(kHandOverMs, process, [tell] { tell({MailRunResult::Status::StillRunning, 0}); });
    process->start();
}

XdgEmailBackend::XdgEmailBackend(ProgramRunner runner)
    : m_run(runner ? std::move(runner) : ProgramRunner(startHandingOver))
{
}

MailResult XdgEmailBackend::logon(const QString &, const QString &, MailLogonOptions, MailSession &session)
{
    if (xdgEmail().isEmpty())
        return MailResult::UserAbort;
    session = MailSession{++m_sessionsOpened};
    return MailResult::Success;
}

MailResult XdgEmailBackend::logoff(MailSession)
{
    return MailResult::Success;
}

MailResult XdgEmailBackend::resolveName(MailSession, const QString &name, MailPromptOptions, MailRecipient &recipient)
{
    const QString address = bareAddress(name);
    if (!isPlainAddress(address))
        return MailResult::UnknownRecipient;
    recipient.name = name;
    recipient.address = kAddressType + address;
    return MailResult::Success;
}

MailResult XdgEmailBackend::sendMail(MailSession, const MailContent &message, MailPromptOptions, MailDone done)
{
    const QString program = xdgEmail();
    if (program.isEmpty())
        return MailResult::UserAbort;

    // The values are UTF-8 already; without --utf8 xdg-email would convert them from the locale.
    QStringList arguments{QStringLiteral("--utf8")};
    QString subject = message.subject;
    subject.replace(QRegularExpression(QStringLiteral("[\\r\\n]+")), QStringLiteral(" "));
    // xdg-email refuses an option without a value.
    if (!subject.isEmpty())
        arguments << QStringLiteral("--subject") << subject;
    const QString body = bodyArgument(message.noteText);
    if (!body.isEmpty())
        arguments << QStringLiteral("--body") << body;

    QStringList to;
    for (const MailRecipient &recipient : message.recipients) {
        const QString address = bareAddress(recipient.address);
        if (!isPlainAddress(address))
            return MailResult::InvalidRecipients;
        if (recipient.recipientClass == RecipientClass::Cc)
            arguments << QStringLiteral("--cc") << address;
        else if (recipient.recipientClass == RecipientClass::Bcc)
            arguments << QStringLiteral("--bcc") << address;
        else
            to << address;
    }
    for (const QString &file : message.files) {
        const QFileInfo info(file);
        if (!info.isFile())
            return MailResult::AttachmentNotFound;
        if (!info.isReadable())
            return MailResult::AttachmentOpenFailure;
        arguments << QStringLiteral("--attach") << info.absoluteFilePath();
    }
    arguments << to;
    m_run(program, arguments, [alive = std::weak_ptr<bool>(m_alive), done = std::move(done)](const MailRunResult &run) {
        if (!alive.expired())
            done(resultOf(run));
    });
    return MailResult::Success;
}
