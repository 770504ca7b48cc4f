// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestSupport.h"
#include "desktop/MailMessage.h"
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QtTest>

namespace {

// A mail system that records what the component hands it.
struct RecordingMail : MailBackend {
    QList<MailLogonOptions> logons;
    QList<MailPromptOptions> resolveOptions, sendOptions;
    QList<MailContent> sent;
    QString unknownName;

    MailResult logon(const QString &, const QString &, MailLogonOptions options, MailSession &session) override
    {
        logons << options;
        session = MailSession{42};
        return MailResult::Success;
    }
    MailResult logoff(MailSession) override { return MailResult::Success; }
    MailResult resolveName(MailSession, const QString &name, MailPromptOptions options, MailRecipient &recipient) override
    {
        resolveOptions << options;
        recipient = {RecipientClass::To, QStringLiteral("Resolved ") + name, QStringLiteral("SMTP:") + name};
        return name == unknownName ? MailResult::UnknownRecipient : MailResult::Success;
    }
    MailResult sendMail(MailSession, const MailContent &message, MailPromptOptions options, MailDone done) override
    {
        sent << message;
        sendOptions << options;
        done(MailResult::Success);
        return MailResult::Success;
    }
};

const MailPromptOptions kAskAndShow = MailPromptOption::AskUser | MailPromptOption::ShowDialog;

// The error a call raises: "abort" for MailUserAbort, the message for MailError.
QString raised(const std::function<void()> &action)
{
    try {
        action();
    } catch (const MailUserAbort &) {
        return QStringLiteral("abort");
    } catch (const MailError &error) {
        return QString::fromUtf8(error.what());
    }
    return QString();
}

// What Send raises at once, else what the hand-over tells once it is done ("sent" for Success).
QString handedOver(MailMessage &mail)
{
    QList<MailResult> results;
    mail.onHandedOver = [&results](MailResult result) { results << result; };
    const QString error = raised([&] { mail.send(); });
    if (!error.isEmpty())
        return error;
    if (!QTest::qWaitFor([&] { return !results.isEmpty(); }, 10000))
        return QStringLiteral("never told");
    mail.onHandedOver = nullptr;
    const MailResult result = results.first();
    if (result == MailResult::Success)
        return QStringLiteral("sent");
    return raised([result] { raiseMailError(result); });
}

} // namespace

class SendMessageTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void stubOnPathReceivesTheMessage();
    void recipientsAndTheComposeRule();
    void unsafeRecipientsAndLimitsAreRejected();

private:
    TestFolder m_bin;
    QString m_argsFile;
};

void SendMessageTest::initTestCase()
{
    // A stand-in xdg-email first on PATH: it writes its arguments, each ended by NUL, to a file
    // and ends with the code in XDG_STUB_EXIT after XDG_STUB_SLEEP seconds.
    m_argsFile = m_bin.file(QStringLiteral("args"));
    QFile stub(m_bin.file(QStringLiteral("xdg-email")));
    QVERIFY(stub.open(QIODevice::WriteOnly));
    stub.write("#!/bin/sh\nprintf '%s\\0' \"$@\" > '" + m_argsFile.toUtf8() + "'\nsleep ${XDG_STUB_SLEEP:-0}\nexit ${XDG_STUB_EXIT:-0}\n");
    stub.close();
    stub.setPermissions(stub.permissions() | QFileDevice::ExeOwner);
    qputenv("PATH", m_bin.path().toUtf8() + ':' + qgetenv("PATH"));
}

void SendMessageTest::stubOnPathReceivesTheMessage()
{
    TestFolder folder;
    QDir(folder.path()).mkdir(QStringLiteral("Temp"));
    for (const char *name : {"Temp/Memos.html", "Temp/Memos.kvx"}) {
        QFile file(folder.file(QString::fromLatin1(name)));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    const QString current = QDir::currentPath();
    QDir::setCurrent(folder.path());
    MailMessage mail;
    const auto received = [&] {
        QFile args(m_argsFile);
        args.open(QIODevice::ReadOnly);
        QStringList arguments = QString::fromUtf8(args.readAll()).split(QChar(0));
        arguments.removeLast();
        return arguments;
    };
    // The e-mail command's message, twice: the second holds exactly the same.
    for (int round = 0; round < 2; ++round) {
        mail.clear();
        mail.subject = QStringLiteral("Memos");
        mail.messageText << QStringLiteral("Memos.html: ä") << QStringLiteral("Memos.kvx: b");
        mail.attachments << QStringLiteral("Temp/Memos.html") << folder.file(QStringLiteral("Temp/Memos.kvx"));
        QCOMPARE(handedOver(mail), QStringLiteral("sent"));
    }
    const QString temp = QDir::currentPath() + QStringLiteral("/Temp/");
    QCOMPARE(received(), (QStringList{QStringLiteral("--utf8"), QStringLiteral("--subject"), QStringLiteral("Memos"),
                                      QStringLiteral("--body"), QStringLiteral("Memos.html: ä\nMemos.kvx: b"),
                                      QStringLiteral("--attach"), temp + QStringLiteral("Memos.html"),
                                      QStringLiteral("--attach"), temp + QStringLiteral("Memos.kvx")}));

    // Recipients go plain, To last; a missing file is found before anything runs.
    mail.clear();
    mail.toRecipients << QStringLiteral("SMTP:ann@example.org");
    mail.ccRecipients << QStringLiteral("cy@example.org");
    QCOMPARE(handedOver(mail), QStringLiteral("sent"));
    QCOMPARE(received().mid(3), (QStringList{QStringLiteral("--cc"), QStringLiteral("cy@example.org"),
                                             QStringLiteral("ann@example.org")}));
    mail.attachments << QStringLiteral("missing.kvx");
    QCOMPARE(raised([&] { mail.send(); }), QStringLiteral("MAPI: Attachment Not Found. ErrorCode = 11"));
    QDir::setCurrent(current);

    // No mail program (xdg-email's 3) is the silent abort, other failures are errors.
    mail.clear();
    qputenv("XDG_STUB_EXIT", "3");
    QCOMPARE(handedOver(mail), QStringLiteral("abort"));
    qputenv("XDG_STUB_EXIT", "4");
    QCOMPARE(handedOver(mail), QStringLiteral("MAPI: General Failure. ErrorCode = 2"));
    qputenv("XDG_STUB_EXIT", "5");
    QCOMPARE(handedOver(mail), QStringLiteral("MAPI: Attachment Open Failure. ErrorCode = 12"));
    qunsetenv("XDG_STUB_EXIT");

    // A mail program that takes its time: Send returns at once and the window goes on; it
    // counts as handed over while it still runs after a few seconds.
    qputenv("XDG_STUB_SLEEP", "7");
    QElapsedTimer timer;
    timer.start();
    QList<MailResult> results;
    mail.onHandedOver = [&results](MailResult result) { results << result; };
    mail.send();
    QVERIFY(timer.elapsed() < 1000);
    QVERIFY(results.isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(results, QList<MailResult>{MailResult::Success}, 10000);
    qunsetenv("XDG_STUB_SLEEP");
    // Gone before the hand-over ends: nobody is told.
    {
        MailMessage brief;
        brief.onHandedOver = [&results](MailResult result) { results << result; };
        brief.send();
    }
    QTest::qWait(300);
    QCOMPARE(results.size(), 1);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", "/nonexistent");
    MailMessage nowhere;
    QCOMPARE(raised([&] { nowhere.send(); }), QStringLiteral("abort"));
    qputenv("PATH", path);
}

void SendMessageTest::recipientsAndTheComposeRule()
{
    auto *mail = new RecordingMail;
    MailMessage message(nullptr, std::unique_ptr<MailBackend>(mail));
    message.review = false;
    message.send(); // no recipients: the user picks them in the compose window
    QCOMPARE(mail->sendOptions.last(), kAskAndShow);
    QCOMPARE(mail->logons, QList<MailLogonOptions>{MailLogonOption::AskUser | MailLogonOption::ShareSession
                                                   | MailLogonOption::DefaultProfile});

    message.resolveNames = false;
    message.toRecipients << QStringLiteral("SMTP:bob@example.org");
    message.bccRecipients << QStringLiteral("di@example.org");
    message.messageText << QStringLiteral("one") << QStringLiteral("two");
    message.send();
    QCOMPARE(mail->sendOptions.last(), MailPromptOptions(MailPromptOption::AskUser));
    MailContent sent = mail->sent.last();
    QCOMPARE(sent.noteText, QStringLiteral("one\r\ntwo\r\n"));
    QCOMPARE(sent.recipients[0].name, QStringLiteral("SMTP:bob@example.org"));
    QCOMPARE(sent.recipients[0].address, QStringLiteral("SMTP:SMTP:bob@example.org"));
    QCOMPARE(sent.recipients[1].recipientClass, RecipientClass::Bcc);
    message.toRecipients.clear();
    message.send(); // only Bcc: the window opens all the same
    QCOMPARE(mail->sendOptions.last(), kAskAndShow);
    QCOMPARE(mail->logons.size(), 1); // one session for all

    message.resolveNames = true;
    message.review = true;
    mail->unknownName = QStringLiteral("di@example.org");
    QCOMPARE(raised([&] { message.send(); }), QStringLiteral("MAPI: Unknown Recipient. ErrorCode = 14"));
    QCOMPARE(mail->resolveOptions, QList<MailPromptOptions>{kAskAndShow});
    QCOMPARE(mail->sent.size(), 3);

    // Controls stand in for subject and body while they live.
    message.clear();
    auto *subject = new QLineEdit(QStringLiteral("Edited"));
    auto *memo = new QPlainTextEdit(QStringLiteral("first\nsecond"));
    message.subjectEdit = subject;
    message.messageEdit = memo;
    message.send();
    QCOMPARE(mail->sent.last().subject, QStringLiteral("Edited"));
    QCOMPARE(mail->sent.last().noteText, QStringLiteral("first\r\nsecond\r\n"));
    delete subject;
    delete memo;
    message.subject = QStringLiteral("Memos");
    message.send();
    QCOMPARE(mail->sent.last().subject, QStringLiteral("Memos"));
}

void SendMessageTest::unsafeRecipientsAndLimitsAreRejected()
{
    // Nothing xdg-email would read as an option, a whole message of its own or a second field.
    MailMessage mail;
    mail.resolveNames = false;
    for (const char *recipient : {"--attach=/etc/passwd@x", "mailto:a@b?attach=/etc/passwd", "a@b\nbcc: c@d", "nobody"}) {
        mail.toRecipients = QStringList{QString::fromLatin1(recipient)};
        QCOMPARE(raised([&] { mail.send(); }), QStringLiteral("MAPI: Invalid Recipients. ErrorCode = 25"));
    }

    auto *recorded = new RecordingMail;
    MailMessage message(nullptr, std::unique_ptr<MailBackend>(recorded));
    message.resolveNames = false;
    message.toRecipients = QStringList(2000, QStringLiteral("a@example.org"));
    message.bccRecipients = QStringList(730, QString(255, QLatin1Char('b')));
    message.attachments = QStringList(2730, QLatin1Char('/') + QString(254, QLatin1Char('f')));
    message.send();
    QCOMPARE(recorded->sent.size(), 1);

    const auto rejected = [&](QStringList &list, const QString &item) {
        list << item;
        const QString error = raised([&] { message.send(); });
        list.removeLast();
        return error;
    };
    QCOMPARE(rejected(message.ccRecipients, QStringLiteral("c@example.org")),
             QStringLiteral("MAPI: Too Many Recipients. ErrorCode = 10"));
    message.toRecipients.removeLast();
    QCOMPARE(rejected(message.ccRecipients, QString(256, QLatin1Char('c'))),
             QStringLiteral("MAPI: Invalid Recipients. ErrorCode = 25"));
    QCOMPARE(rejected(message.attachments, QStringLiteral("/tmp/a")), QStringLiteral("MAPI: Too Many Files. ErrorCode = 9"));
    message.attachments.removeLast();
    QCOMPARE(rejected(message.attachments, QLatin1Char('/') + QString(255, QLatin1Char('f'))),
             QStringLiteral("MAPI: Attachment Open Failure. ErrorCode = 12"));
    QCOMPARE(recorded->sent.size(), 1);
}

JOTWELL_TEST_MAIN(SendMessageTest)
#include "tst_mailmessage.moc"
