// SPDX-License-Identifier: GPL-3.0-or-later
// The program itself on a private X server with a window manager, as a user sees it: what is
// on the screen and in the taskbar after minimising into the tray, coming back from the tray
// painted, a second start, stay on top, and life without a notification area.
#include "DesktopSession.h"
#include "TestSupport.h"
#include "core/SettingsFile.h"

#include <QtTest>

namespace {

const QString kTitle = QStringLiteral("Korvel Jotwell");

// Hidden into the tray: off the screen and out of the taskbar, with the program running on.
#define VERIFY_IN_TRAY(program)                                                                   \
    do {                                                                                          \
        QTRY_VERIFY2_WITH_TIMEOUT((program).nothingOnScreen(), qPrintable((program).describeShown()), 5000); \
        QTest::qWait(500); /* a window manager that maps it again does so at once */              \
        QVERIFY2((program).nothingOnScreen(), qPrintable((program).describeShown()));             \
        QVERIFY2(!(program).inTaskbar(), "the window is left in the taskbar");                    \
        QCOMPARE((program).process->state(), QProcess::Running);                                  \
    } while (false)

// Back from the tray: on the screen and painted.
#define VERIFY_BACK_FROM_TRAY(desktop, program)                                                   \
    QVERIFY2((desktop).clickTrayIconUntil([&] { return (program).windowUp(300); }),               \
             "the tray icon did not bring the window back painted")

} // namespace

class DesktopTest : public QObject {
    Q_OBJECT
private slots:
    void minimiseIntoTheTrayAndBack();
    void minimisedStartStaysOffTheScreen();
    void minimisedStartWithALateTray_data();
    void minimisedStartWithALateTray();
    void secondStartOnAFreshFolder();
    void stayOnTopOpensNoEditor();
    void withoutANotificationArea();
};

void DesktopTest::minimiseIntoTheTrayAndBack()
{
    DesktopSession desktop;
    if (!desktop.skipReason().isEmpty())
        QSKIP(qPrintable(desktop.skipReason()));
    TestFolder folder;
    RunningProgram program(desktop, folder.path());
    QVERIFY2(program.windowUp(), "the window did not come up painted");
    // A window manager slow to start under load lists the window only once it has taken it over.
    QTRY_VERIFY_WITH_TIMEOUT(program.inTaskbar(), 5000);
    // Its designed size is its size on the screen, frame and title bar included.
    QTRY_COMPARE_WITH_TIMEOUT(desktop.outerSize(program.window), QSize(371, 480), 5000);
    program.settle();

    // The title bar's minimise (the window manager's iconify), then Ctrl+F12 in the list: back
    // from the tray, the window stands where it stood, to the pixel.
    const QRect placed = desktop.outerRect(program.window);
    desktop.xdotool({QStringLiteral("windowminimize"), program.window});
    VERIFY_IN_TRAY(program);
    // The balloon shows now: a right press on the icon brings the menu, not the window.
    desktop.xdotool({QStringLiteral("mousemove"), QString::number(DesktopSession::kTrayIconX),
                     QString::number(DesktopSession::kTrayIconY), QStringLiteral("click"), QStringLiteral("3")});
    QTest::qWait(700);
    desktop.xdotool({QStringLiteral("key"), QStringLiteral("Escape")});
    VERIFY_IN_TRAY(program);
    VERIFY_BACK_FROM_TRAY(desktop, program);
    QVERIFY(program.inTaskbar());
    QTRY_COMPARE_WITH_TIMEOUT(desktop.outerRect(program.window), placed, 2000);

    program.clickList();
    program.keys(QStringLiteral("ctrl+F12"));
    VERIFY_IN_TRAY(program);
    VERIFY_BACK_FROM_TRAY(desktop, program);
    QTRY_COMPARE_WITH_TIMEOUT(desktop.outerRect(program.window), placed, 2000);

    // File > Close.
    program.clickList();
    program.keys(QStringLiteral("alt+f c"));
    VERIFY_IN_TRAY(program);
    VERIFY_BACK_FROM_TRAY(desktop, program);

    QVERIFY2(program.exitFromTrayMenu(), "the program did not end from the tray menu");
}

void DesktopTest::minimisedStartStaysOffTheScreen()
{
    DesktopSession desktop;
    if (!desktop.skipReason().isEmpty())
        QSKIP(qPrintable(desktop.skipReason()));
    TestFolder folder;
    SettingsFile(folder.file(QStringLiteral("kvConf.ini"))).writeBool(QStringLiteral("option"), QStringLiteral("runMinimizedEn"), true);
    RunningProgram program(desktop, folder.path());
    // Its windows exist (they come and go while it starts); once it has settled, none may be
    // on the screen.
    QVERIFY(QTest::qWaitFor([&] { return !desktop.windows(kTitle).isEmpty(); }, 15000));
    QTest::qWait(1500);
    VERIFY_IN_TRAY(program);
    VERIFY_BACK_FROM_TRAY(desktop, program);
    QVERIFY(program.inTaskbar());
    QVERIFY(program.exitFromTrayMenu());
}

void DesktopTest::minimisedStartWithALateTray_data()
{
    QTest::addColumn<QRect>("placed"); // the frame as saved by an earlier run, or none
    QTest::addColumn<QSize>("outerSize");
    QTest::newRow("first start") << QRect() << QSize(371, 480);
    QTest::newRow("saved placement") << QRect(100, 50, 400, 500) << QSize(400, 500);
}

void DesktopTest::minimisedStartWithALateTray()
{
    QFETCH(QRect, placed);
    QFETCH(QSize, outerSize);
    DesktopSession::Options options;
    options.tray = false; // started after the program, as a login may
    DesktopSession desktop(options);
    if (!desktop.skipReason().isEmpty())
        QSKIP(qPrintable(desktop.skipReason()));
    TestFolder folder;
    const SettingsFile settings(folder.file(QStringLiteral("kvConf.ini")));
    settings.writeBool(QStringLiteral("option"), QStringLiteral("runMinimizedEn"), true);
    if (placed.isValid()) {
        const QString form = QStringLiteral("form");
        settings.writeInteger(form, QStringLiteral("Left"), placed.left());
        settings.writeInteger(form, QStringLiteral("Top"), placed.top());
        settings.writeInteger(form, QStringLiteral("Right"), placed.left() + placed.width());
        settings.writeInteger(form, QStringLiteral("Bottom"), placed.top() + placed.height());
        settings.writeBool(form, QStringLiteral("Saved"), true);
    }
    RunningProgram program(desktop, folder.path());
    // Without an area it starts minimised in the taskbar; the frame comes meanwhile, and fitting
    // the window to it must not bring it back.
    QVERIFY(QTest::qWaitFor([&] { return !desktop.windows(kTitle).isEmpty(); }, 15000));
    QTest::qWait(1500);
    QVERIFY2(program.nothingOnScreen(), qPrintable(program.describeShown()));
    for (const QString &id : desktop.windows(kTitle))
        if (desktop.taskbarWindows().contains(id))
            program.window = id;
    QVERIFY2(!program.window.isEmpty(), "the minimised window is not in the taskbar");

    QVERIFY2(desktop.startTray(), "trayer did not start");
    VERIFY_IN_TRAY(program);
    VERIFY_BACK_FROM_TRAY(desktop, program);
    // Hidden into the area before it was ever fitted to its frame, it keeps its size.
    QTRY_COMPARE_WITH_TIMEOUT(desktop.outerSize(program.window), outerSize, 5000);
    QVERIFY(program.exitFromTrayMenu());
}

void DesktopTest::secondStartOnAFreshFolder()
{
    DesktopSession desktop;
    if (!desktop.skipReason().isEmpty())
        QSKIP(qPrintable(desktop.skipReason()));
    TestFolder root;
    const QString fresh = root.file(QStringLiteral("not/yet/there/"));
    RunningProgram first(desktop, fresh);
    QVERIFY(first.windowUp());

    QElapsedTimer timer;
    timer.start();
    ChildProcess &second = desktop.startProgram({QStringLiteral("--data-dir"), fresh});
    QVERIFY2(second.waitForFinished(8000), "the second start did not end");
    QVERIFY(timer.elapsed() < 8000);
    QCOMPARE(second.exitCode(), 0);
    QTest::qWait(500);
    QCOMPARE(desktop.viewableWindows(kTitle).size(), 1);
    QVERIFY(first.exitFromTrayMenu());
}

void DesktopTest::stayOnTopOpensNoEditor()
{
    DesktopSession desktop;
    if (!desktop.skipReason().isEmpty())
        QSKIP(qPrintable(desktop.skipReason()));
    TestFolder folder;
    SettingsFile(folder.file(QStringLiteral("kvConf.ini"))).writeBool(QStringLiteral("option"), QStringLiteral("addOpenEn"), true);
    RunningProgram program(desktop, folder.path());
    QVERIFY(program.windowUp());

    // File > Stay on top, then letters: in an editor they would become a memo.
    program.clickList();
    program.keys(QStringLiteral("alt+f t"));
    QTRY_VERIFY_WITH_TIMEOUT(program.windowUp(300), 5000);
    QTest::qWait(500);
    // In the list, with no editor open, Ctrl+Enter asks to edit, and there is no memo to edit
    // (an editor would take it as the end of an empty memo). No click: it would end an open
    // edit. Dialogs carry their own caption alone.
    desktop.xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), program.window});
    program.keys(QStringLiteral("ctrl+Return"));
    QTRY_VERIFY_WITH_TIMEOUT(desktop.viewableWindows(QStringLiteral("Tip")).size() == 1, 5000);
    program.keys(QStringLiteral("Return"));
    QTRY_VERIFY_WITH_TIMEOUT(desktop.viewableWindows(QStringLiteral("Tip")).isEmpty(), 5000);
    program.keys(QStringLiteral("alt+f o"));
    QTRY_VERIFY_WITH_TIMEOUT(desktop.viewableWindows(QStringLiteral("Options")).size() == 1, 5000);
    program.keys(QStringLiteral("Escape"));
    QTRY_VERIFY_WITH_TIMEOUT(desktop.viewableWindows(QStringLiteral("Options")).isEmpty(), 5000);

    QVERIFY(program.exitFromTrayMenu());
    QCOMPARE(storedMemoTexts(folder.path()), QStringList());
}

void DesktopTest::withoutANotificationArea()
{
    DesktopSession::Options options;
    options.tray = false;
    DesktopSession desktop(options);
    if (!desktop.skipReason().isEmpty())
        QSKIP(qPrintable(desktop.skipReason()));
    TestFolder folder;
    RunningProgram program(desktop, folder.path());
    QVERIFY(program.windowUp());
    program.settle();

    // Minimise iconifies as usual: off the screen, still in the taskbar.
    desktop.xdotool({QStringLiteral("windowminimize"), program.window});
    QTRY_VERIFY_WITH_TIMEOUT(program.nothingOnScreen(), 5000);
    QVERIFY(program.inTaskbar());
    desktop.xdotool({QStringLiteral("windowactivate"), program.window});
    QVERIFY(program.windowUp(5000));
    // So does Ctrl+F12, which would hide the window into the tray.
    program.clickList();
    program.keys(QStringLiteral("ctrl+F12"));
    QTRY_VERIFY_WITH_TIMEOUT(program.nothingOnScreen(), 5000);
    QVERIFY(program.inTaskbar());
    desktop.xdotool({QStringLiteral("windowactivate"), program.window});
    QVERIFY(program.windowUp(5000));

    // Closing ends the program, with the memo being typed stored.
    program.clickList();
    program.keys(QStringLiteral("Return"));
    QTest::qWait(500);
    program.keys(QStringLiteral("k e p t"));
    program.keys(QStringLiteral("alt+F4"));
    QVERIFY2(program.process->waitForFinished(10000), "closing did not end the program");
    QCOMPARE(program.process->exitCode(), 0);
    QCOMPARE(storedMemoTexts(folder.path()), QStringList{QStringLiteral("kept")});
}

JOTWELL_TEST_MAIN(DesktopTest)
#include "tst_desktop_e2e.moc"
