// The program itself on a real X server with a real notification area: its icon docks, the
// window hides into the tray while the program runs on, and the tray menu's Exit ends it.
#include "DesktopSession.h"
#include "TestSupport.h"
#include <QtTest>

class DesktopTest : public QObject {
    Q_OBJECT
private slots:
    void trayLifeOfTheProgram();
};

void DesktopTest::trayLifeOfTheProgram()
{
    DesktopSession::Options options;
    options.windowManager = false;
    DesktopSession desktop(options);
    if (!desktop.skipReason().isEmpty())
        QSKIP(qPrintable(desktop.skipReason()));
    // Whether the window shows on the screen: the middle of its list is the list's white,
    // where the empty screen is black. (Window states alone do not tell without a window manager.)
    const auto windowShown = [&] { return !desktop.pixelIsBlack(100, 200); };

    TestFolder folder;
    ChildProcess &program = desktop.startProgram({QStringLiteral("--data-dir"), folder.path()});
    QCOMPARE(program.state(), QProcess::Running);
    QTRY_VERIFY_WITH_TIMEOUT(windowShown(), 15000);

    // Ctrl+F12 in the list hides the window into the tray; the program keeps running.
    desktop.xdotool({QStringLiteral("mousemove"), QStringLiteral("100"), QStringLiteral("200"), QStringLiteral("click"), QStringLiteral("1")});
    desktop.xdotool({QStringLiteral("key"), QStringLiteral("ctrl+F12")});
    QTRY_VERIFY_WITH_TIMEOUT(!windowShown(), 10000);
    QTest::qWait(500);
    QCOMPARE(program.state(), QProcess::Running);

    // A left click on the docked icon brings the window back.
    const QString iconX = QString::number(DesktopSession::kTrayIconX), iconY = QString::number(DesktopSession::kTrayIconY);
    for (int attempt = 0; attempt < 10 && !windowShown(); ++attempt) {
        desktop.xdotool({QStringLiteral("mousemove"), iconX, iconY, QStringLiteral("click"), QStringLiteral("1")});
        QTest::qWait(500);
    }
    QVERIFY2(windowShown(), "the tray icon did not answer a click");

    // The tray menu's Exit ends the program.
    desktop.xdotool({QStringLiteral("mousemove"), iconX, iconY, QStringLiteral("click"), QStringLiteral("3")});
    QTest::qWait(700);
    desktop.xdotool({QStringLiteral("key"), QStringLiteral("x")});
    QVERIFY2(program.waitForFinished(10000), "the program did not end from the tray menu");
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
}

JOTWELL_TEST_MAIN(DesktopTest)
#include "tst_desktop_e2e.moc"
