#include "components/KvMailBackend.h"
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

QString XdgEmail()
{
    return QStandardPaths::findExecutable(QStringLiteral("xdg-email"));
}

// The address without its address type (given once or more).
QString BareAddress(QString address)
{
    address = address.trimmed();
    while (address.startsWith(kAddressType, Qt::CaseInsensitive))
        address = address.mid(kAddressType.size()).trimmed();
    return address;
}

// xdg-email would take a leading "-" as an option and a "mailto:" URI as the whole message
// (with attachments of its own choosing), and a line break would end the field.
bool IsPlainAddress(const QString &address)
{
    static const QRegularExpression controls(QStringLiteral("[\\x00-\\x1f\\x7f]"));
    return address.contains(QLatin1Char('@')) && !address.startsWith(QLatin1Char('-'))
           && !address.startsWith(QLatin1String("mailto:"), Qt::CaseInsensitive) && !address.contains(controls);
}

int ResultOf(const KvRunResult &run)
{
    switch (run.status) {
    case KvRunResult::Status::NotStarted:
    case KvRunResult::Status::Crashed:
        return MAPI_USER_ABORT;
    case KvRunResult::Status::StillRunning:
        return SUCCESS_SUCCESS;
    case KvRunResult::Status::Finished:
        break;
    }
    switch (run.exitCode) {
    case 0:
        return SUCCESS_SUCCESS;
    case 2:
        return MAPI_E_ATTACHMENT_NOT_FOUND;
    case 3: // no mail program to hand the message to
        return MAPI_USER_ABORT;
    case 5:
        return MAPI_E_ATTACHMENT_OPEN_FAILURE;
    default:
        return MAPI_E_FAILURE;
    }
}

QString BodyArgument(QString noteText)
{
    noteText.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    if (noteText.endsWith(QLatin1Char('\n')))
        noteText.chop(1);
    return noteText;
}

} // namespace

void StartHandingOver(const QString &program, const QStringList &arguments, KvRunDone done)
{
    // Nothing here waits: the window stays alive while the mail program comes up.
    auto *process = new QProcess;
    auto told = std::make_shared<bool>(false);
    const auto tell = [done = std::move(done), told](const KvRunResult &result) {
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
        tell({KvRunResult::Status::NotStarted, 0});
        process->deleteLater();
    });
    QObject::connect(process, &QProcess::finished, process, [process, tell](int exitCode, QProcess::ExitStatus status) {
        tell({status == QProcess::NormalExit ? KvRunResult::Status::Finished : KvRunResult::Status::Crashed, exitCode});
        process->deleteLater();
    });
    // Still running after a while: a mail program started in the foreground has the message.
    // It is reaped when it ends; deleting the QProcess now would kill it.
    QTimer::singleShot(kHandOverMs, process, [tell] { tell({KvRunResult::Status::StillRunning, 0}); });
    process->start();
}

KvXdgEmailBackend::KvXdgEmailBackend(KvProgramRunner runner)
    : FRun(runner ? std::move(runner) : KvProgramRunner(StartHandingOver))
{
}

int KvXdgEmailBackend::logon(const QString &, const QString &, unsigned, quintptr &session)
{
    if (XdgEmail().isEmpty())
        return MAPI_USER_ABORT;
    session = ++FLastSession;
    return SUCCESS_SUCCESS;
}

int KvXdgEmailBackend::logoff(quintptr)
{
    return SUCCESS_SUCCESS;
}

int KvXdgEmailBackend::resolveName(quintptr, const QString &name, unsigned, KvMailRecipient &recipient)
{
    const QString address = BareAddress(name);
    if (!IsPlainAddress(address))
        return MAPI_E_UNKNOWN_RECIPIENT;
    recipient.name = name;
    recipient.address = kAddressType + address;
    return SUCCESS_SUCCESS;
}

int KvXdgEmailBackend::sendMail(quintptr, const KvMailMessage &message, unsigned, KvMailDone done)
{
    const QString program = XdgEmail();
    if (program.isEmpty())
        return MAPI_USER_ABORT;

    // The values are UTF-8 already; without --utf8 xdg-email would convert them from the locale.
    QStringList arguments{QStringLiteral("--utf8")};
    QString subject = message.subject;
    subject.replace(QRegularExpression(QStringLiteral("[\\r\\n]+")), QStringLiteral(" "));
    // xdg-email refuses an option without a value.
    if (!subject.isEmpty())
        arguments << QStringLiteral("--subject") << subject;
    const QString body = BodyArgument(message.noteText);
    if (!body.isEmpty())
        arguments << QStringLiteral("--body") << body;

    QStringList to;
    for (const KvMailRecipient &recipient : message.recipients) {
        const QString address = BareAddress(recipient.address);
        if (!IsPlainAddress(address))
            return MAPI_E_INVALID_RECIPS;
        if (recipient.recipClass == MAPI_CC)
            arguments << QStringLiteral("--cc") << address;
        else if (recipient.recipClass == MAPI_BCC)
            arguments << QStringLiteral("--bcc") << address;
        else
            to << address;
    }
    for (const QString &file : message.files) {
        const QFileInfo info(file);
        if (!info.isFile())
            return MAPI_E_ATTACHMENT_NOT_FOUND;
        if (!info.isReadable())
            return MAPI_E_ATTACHMENT_OPEN_FAILURE;
        arguments << QStringLiteral("--attach") << info.absoluteFilePath();
    }
    arguments << to;
    FRun(program, arguments, [alive = std::weak_ptr<bool>(FAlive), done = std::move(done)](const KvRunResult &run) {
        if (!alive.expired())
            done(ResultOf(run));
    });
    return SUCCESS_SUCCESS;
}
