// SPDX-License-Identifier: GPL-3.0-or-later
// The argument list the mail backend hands to xdg-email, taken from its program runner.
#include "desktop/MailBackend.h"
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestMailBackend : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void bccAndMultiLineSubject();

private:
    QTemporaryDir m_bin;
};

void TestMailBackend::initTestCase()
{
    // The backend looks for xdg-email on PATH before it runs anything.
    QFile stub(m_bin.filePath(QStringLiteral("xdg-email")));
    QVERIFY(stub.open(QIODevice::WriteOnly));
    stub.write("#!/bin/sh\nexit 0\n");
    stub.close();
    stub.setPermissions(stub.permissions() | QFileDevice::ExeOwner);
    qputenv("PATH", m_bin.path().toUtf8() + ':' + qgetenv("PATH"));
}

void TestMailBackend::bccAndMultiLineSubject()
{
    QStringList arguments;
    XdgEmailBackend backend([&arguments](const QString &, const QStringList &given, RunDone done) {
        arguments = given;
        done({MailRunResult::Status::Finished, 0});
    });
    const QString attachment = m_bin.filePath(QStringLiteral("xdg-email"));
    MailContent message;
    message.subject = QStringLiteral("Minutes\r\nof March\nand April");
    message.noteText = QStringLiteral("first line\r\nsecond line\r\n");
    message.recipients = {{RecipientClass::To, QStringLiteral("Ann"), QStringLiteral("SMTP:ann@example.org")},
                          {RecipientClass::Cc, QStringLiteral("Ben"), QStringLiteral("SMTP:ben@example.org")},
                          {RecipientClass::Bcc, QStringLiteral("Cy"), QStringLiteral("SMTP:cy@example.org")},
                          {RecipientClass::Bcc, QStringLiteral("Di"), QStringLiteral("SMTP:SMTP:di@example.org")},
                          {RecipientClass::To, QStringLiteral("Ed"), QStringLiteral("ed@example.org")}};
    message.files = {attachment};
    MailResult result = MailResult::Failure;
    QCOMPARE(backend.sendMail(MailSession::None, message, MailPromptOption::ShowDialog, [&result](MailResult told) { result = told; }), MailResult::Success);
    QCOMPARE(result, MailResult::Success);
    // Blind copies stay blind (never among the plain recipients at the end); the subject is
    // one line, as a mail header must be.
    QCOMPARE(arguments, QStringList({"--utf8", "--subject", "Minutes of March and April", "--body",
                                     "first line\nsecond line", "--cc", "ben@example.org", "--bcc", "cy@example.org",
                                     "--bcc", "di@example.org", "--attach", attachment, "ann@example.org",
                                     "ed@example.org"}));

    // Blind copies only: no plain recipient at all, and no empty subject option.
    arguments.clear();
    message = {};
    message.recipients = {{RecipientClass::Bcc, QString(), QStringLiteral("SMTP:cy@example.org")}};
    QCOMPARE(backend.sendMail(MailSession::None, message, {}, [](MailResult) {}), MailResult::Success);
    QCOMPARE(arguments, QStringList({"--utf8", "--bcc", "cy@example.org"}));
}

QTEST_GUILESS_MAIN(TestMailBackend)
#include "tst_mailbackend.moc"
