// SPDX-License-Identifier: GPL-3.0-or-later
// The program ended by a signal, as a session ends a program that does not speak its
// protocol: what is being typed is stored, the placement saved and the instance socket gone.
#include "DesktopSession.h"
#include "TestSupport.h"
#include "core/SettingsFile.h"
#include "desktop/SingleInstance.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtTest>
#include <csignal>

namespace {

// Where the instance socket lies: a full path, or a name that the local socket layer puts in
// the runtime or the temporary folder.
QString socketPath(const QString &serverName)
{
    if (QFileInfo(serverName).isAbsolute())
        return serverName;
    for (const QString &folder : {qEnvironmentVariable("XDG_RUNTIME_DIR"), QDir::tempPath()}) {
        const QString path = folder + QLatin1Char('/') + serverName;
        if (!folder.isEmpty() && QFileInfo::exists(path))
            return path;
    }
    return {};
}

} // namespace

class SignalTest : public QObject {
    Q_OBJECT
private slots:
    void signalEndsAsExit_data();
    void signalEndsAsExit();
};

void SignalTest::signalEndsAsExit_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("TERM") << int(SIGTERM);
    QTest::newRow("INT") << int(SIGINT);
    QTest::newRow("HUP") << int(SIGHUP);
}

void SignalTest::signalEndsAsExit()
{
    QFETCH(int, signalNumber);
    DesktopSession::Options options;
    options.tray = false;
    DesktopSession desktop(options);
    if (!desktop.skipReason().isEmpty())
        QSKIP(qPrintable(desktop.skipReason()));
    TestFolder folder;
    ChildProcess &program = desktop.startProgram({QStringLiteral("--data-dir"), folder.path()});
    QTRY_VERIFY_WITH_TIMEOUT(!desktop.viewableWindows(QStringLiteral("Korvel Jotwell")).isEmpty(), 15000);
    const QString window = desktop.viewableWindows(QStringLiteral("Korvel Jotwell")).constFirst();
    desktop.xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), window});
    desktop.xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), window, QStringLiteral("150"),
                     QStringLiteral("300"), QStringLiteral("click"), QStringLiteral("1")});
    QTest::qWait(400);
    desktop.xdotool({QStringLiteral("key"), QStringLiteral("Return")});
    QTest::qWait(400);
    desktop.xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("30"),
                     QStringLiteral("typed before the signal")});
    QTest::qWait(300);
    const QString socket = socketPath(SingleInstance(folder.path()).serverName());
    QVERIFY(!socket.isEmpty());
    QVERIFY(QFile::exists(socket));

    ::kill(pid_t(program.processId()), signalNumber);
    QVERIFY(program.waitForFinished(10000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    QCOMPARE(storedMemoTexts(folder.path()), QStringList{QStringLiteral("typed before the signal")});
    QVERIFY(SettingsFile(folder.file(QStringLiteral("kvConf.ini"))).readBool(QStringLiteral("form"), QStringLiteral("Saved"), false));
    QVERIFY(!QFile::exists(socket));
}

JOTWELL_TEST_MAIN(SignalTest)
#include "tst_signal_e2e.moc"
