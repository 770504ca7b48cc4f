#include "TestSupport.h"
#include "components/KvSndMsg.h"
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QtTest>

namespace {

// A mail system that records what the component hands it.
struct RecordingMail : KvMailBackend {
    QList<unsigned> logons, resolveFlags, sendFlags;
    QList<KvMailMessage> sent;
    QString unknownName;

    int logon(const QString &, const QString &, unsigned flags, quintptr &session) override
    {
        logons << flags;
        session = 42;
        return 0;
    }
    int logoff(quintptr) override { return 0; }
    int resolveName(quintptr, const QString &name, unsigned flags, KvMailRecipient &recipient) override
    {
        resolveFlags << flags;
        recipient = {0, QStringLiteral("Resolved ") + name, QStringLiteral("SMTP:") + name};
        return name == unknownName ? MAPI_E_UNKNOWN_RECIPIENT : 0;
    }
    int sendMail(quintptr, const KvMailMessage &message, unsigned flags, KvMailDone done) override
    {
        sent << message;
        sendFlags << flags;
        done(0);
        return 0;
    }
};

// The error a call raises: "abort" for EMapiUserAbort, the message for EMapiError.
QString raised(const std::function<void()> &action)
{
    try {
        action();
    } catch (const EMapiUserAbort &) {
        return QStringLiteral("abort");
    } catch (const EMapiError &error) {
        return QString::fromUtf8(error.what());
    }
    return QString();
}

// What Send raises at once, else what the hand-over tells once it is done ("sent" for 0).
QString handedOver(TKvSendMessage &mail)
{
    QList<int> results;
    mail.OnHandedOver = [&results](int result) { results << result; };
    const QString error = raised([&] { mail.Send(); });
    if (!error.isEmpty())
        return error;
    if (!QTest::qWaitFor([&] { return !results.isEmpty(); }, 10000))
        return QStringLiteral("never told");
    mail.OnHandedOver = nullptr;
    const int result = results.first();
    if (result == 0)
        return QStringLiteral("sent");
    return raised([result] { RaiseMapiError(result); });
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
    TestFolder FBin;
    QString FArgsFile;
};

void SendMessageTest::initTestCase()
{
    // A stand-in xdg-email first on PATH: it writes its arguments, each ended by NUL, to a file
    // and ends with the code in XDG_STUB_EXIT after XDG_STUB_SLEEP seconds.
    FArgsFile = FBin.file(QStringLiteral("args"));
    QFile stub(FBin.file(QStringLiteral("xdg-email")));
    QVERIFY(stub.open(QIODevice::WriteOnly));
    stub.write("#!/bin/sh\nprintf '%s\\0' \"$@\" > '" + FArgsFile.toUtf8() + "'\nsleep ${XDG_STUB_SLEEP:-0}\nexit ${XDG_STUB_EXIT:-0}\n");
    stub.close();
    stub.setPermissions(stub.permissions() | QFileDevice::ExeOwner);
    qputenv("PATH", FBin.path().toUtf8() + ':' + qgetenv("PATH"));
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
    TKvSendMessage mail;
    const auto received = [&] {
        QFile args(FArgsFile);
        args.open(QIODevice::ReadOnly);
        QStringList arguments = QString::fromUtf8(args.readAll()).split(QChar(0));
        arguments.removeLast();
        return arguments;
    };
    // The e-mail command's message, twice: the second holds exactly the same.
    for (int round = 0; round < 2; ++round) {
        mail.Clear();
        mail.Subject = QStringLiteral("Memos");
        mail.MessageText << QStringLiteral("Memos.html: ä") << QStringLiteral("Memos.kvx: b");
        mail.Attachments << QStringLiteral("Temp/Memos.html") << folder.file(QStringLiteral("Temp/Memos.kvx"));
        QCOMPARE(handedOver(mail), QStringLiteral("sent"));
    }
    const QString temp = QDir::currentPath() + QStringLiteral("/Temp/");
    QCOMPARE(received(), (QStringList{QStringLiteral("--utf8"), QStringLiteral("--subject"), QStringLiteral("Memos"),
                                      QStringLiteral("--body"), QStringLiteral("Memos.html: ä\nMemos.kvx: b"),
                                      QStringLiteral("--attach"), temp + QStringLiteral("Memos.html"),
                                      QStringLiteral("--attach"), temp + QStringLiteral("Memos.kvx")}));

    // Recipients go plain, To last; a missing file is found before anything runs.
    mail.Clear();
    mail.ToRecipients << QStringLiteral("SMTP:ann@example.org");
    mail.CcRecipients << QStringLiteral("cy@example.org");
    QCOMPARE(handedOver(mail), QStringLiteral("sent"));
    QCOMPARE(received().mid(3), (QStringList{QStringLiteral("--cc"), QStringLiteral("cy@example.org"),
                                             QStringLiteral("ann@example.org")}));
    mail.Attachments << QStringLiteral("missing.kvx");
    QCOMPARE(raised([&] { mail.Send(); }), QStringLiteral("MAPI: Attachment Not Found. ErrorCode = 11"));
    QDir::setCurrent(current);

    // No mail program (xdg-email's 3) is the silent abort, other failures are errors.
    mail.Clear();
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
    QList<int> results;
    mail.OnHandedOver = [&results](int result) { results << result; };
    mail.Send();
    QVERIFY(timer.elapsed() < 1000);
    QVERIFY(results.isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(results, QList<int>{0}, 10000);
    qunsetenv("XDG_STUB_SLEEP");
    // Gone before the hand-over ends: nobody is told.
    {
        TKvSendMessage brief;
        brief.OnHandedOver = [&results](int result) { results << result; };
        brief.Send();
    }
    QTest::qWait(300);
    QCOMPARE(results.size(), 1);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", "/nonexistent");
    TKvSendMessage nowhere;
    QCOMPARE(raised([&] { nowhere.Send(); }), QStringLiteral("abort"));
    qputenv("PATH", path);
}

void SendMessageTest::recipientsAndTheComposeRule()
{
    auto *mail = new RecordingMail;
    TKvSendMessage message(nullptr, std::unique_ptr<KvMailBackend>(mail));
    message.Review = false;
    message.Send(); // no recipients: the user picks them in the compose window
    QCOMPARE(mail->sendFlags.last(), 9u);
    QCOMPARE(mail->logons, QList<unsigned>{73u});

    message.ResolveNames = false;
    message.ToRecipients << QStringLiteral("SMTP:bob@example.org");
    message.BccRecipients << QStringLiteral("di@example.org");
    message.MessageText << QStringLiteral("one") << QStringLiteral("two");
    message.Send();
    QCOMPARE(mail->sendFlags.last(), 1u);
    KvMailMessage sent = mail->sent.last();
    QCOMPARE(sent.noteText, QStringLiteral("one\r\ntwo\r\n"));
    QCOMPARE(sent.recipients[0].name, QStringLiteral("SMTP:bob@example.org"));
    QCOMPARE(sent.recipients[0].address, QStringLiteral("SMTP:SMTP:bob@example.org"));
    QCOMPARE(sent.recipients[1].recipClass, int(MAPI_BCC));
    message.ToRecipients.clear();
    message.Send(); // only Bcc: the window opens all the same
    QCOMPARE(mail->sendFlags.last(), 9u);
    QCOMPARE(mail->logons.size(), 1); // one session for all

    message.ResolveNames = true;
    message.Review = true;
    mail->unknownName = QStringLiteral("di@example.org");
    QCOMPARE(raised([&] { message.Send(); }), QStringLiteral("MAPI: Unknown Recipient. ErrorCode = 14"));
    QCOMPARE(mail->resolveFlags, QList<unsigned>{9u});
    QCOMPARE(mail->sent.size(), 3);

    // Controls stand in for subject and body while they live.
    message.Clear();
    auto *subject = new QLineEdit(QStringLiteral("Edited"));
    auto *memo = new QPlainTextEdit(QStringLiteral("first\nsecond"));
    message.SubjectEdit = subject;
    message.MessageMemo = memo;
    message.Send();
    QCOMPARE(mail->sent.last().subject, QStringLiteral("Edited"));
    QCOMPARE(mail->sent.last().noteText, QStringLiteral("first\r\nsecond\r\n"));
    delete subject;
    delete memo;
    message.Subject = QStringLiteral("Memos");
    message.Send();
    QCOMPARE(mail->sent.last().subject, QStringLiteral("Memos"));
}

void SendMessageTest::unsafeRecipientsAndLimitsAreRejected()
{
    // Nothing xdg-email would read as an option, a whole message of its own or a second field.
    TKvSendMessage mail;
    mail.ResolveNames = false;
    for (const char *recipient : {"--attach=/etc/passwd@x", "mailto:a@b?attach=/etc/passwd", "a@b\nbcc: c@d", "nobody"}) {
        mail.ToRecipients = QStringList{QString::fromLatin1(recipient)};
        QCOMPARE(raised([&] { mail.Send(); }), QStringLiteral("MAPI: Invalid Recipients. ErrorCode = 25"));
    }

    auto *recorded = new RecordingMail;
    TKvSendMessage message(nullptr, std::unique_ptr<KvMailBackend>(recorded));
    message.ResolveNames = false;
    message.ToRecipients = QStringList(2000, QStringLiteral("a@example.org"));
    message.BccRecipients = QStringList(730, QString(255, QLatin1Char('b')));
    message.Attachments = QStringList(2730, QLatin1Char('/') + QString(254, QLatin1Char('f')));
    message.Send();
    QCOMPARE(recorded->sent.size(), 1);

    const auto rejected = [&](QStringList &list, const QString &item) {
        list << item;
        const QString error = raised([&] { message.Send(); });
        list.removeLast();
        return error;
    };
    QCOMPARE(rejected(message.CcRecipients, QStringLiteral("c@example.org")),
             QStringLiteral("MAPI: Too Many Recipients. ErrorCode = 10"));
    message.ToRecipients.removeLast();
    QCOMPARE(rejected(message.CcRecipients, QString(256, QLatin1Char('c'))),
             QStringLiteral("MAPI: Invalid Recipients. ErrorCode = 25"));
    QCOMPARE(rejected(message.Attachments, QStringLiteral("/tmp/a")), QStringLiteral("MAPI: Too Many Files. ErrorCode = 9"));
    message.Attachments.removeLast();
    QCOMPARE(rejected(message.Attachments, QLatin1Char('/') + QString(255, QLatin1Char('f'))),
             QStringLiteral("MAPI: Attachment Open Failure. ErrorCode = 12"));
    QCOMPARE(recorded->sent.size(), 1);
}

JOTWELL_TEST_MAIN(SendMessageTest)
#include "tst_sndmsg.moc"
