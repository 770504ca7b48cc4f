// SPDX-License-Identifier: GPL-3.0-or-later
// The program itself on a private X server with a window manager, as a user sees it: what is
// on the screen and in the taskbar after minimising into the tray, coming back from the tray
// painted, a second start, stay on top, and life without a notification area.
#include "DesktopSession.h"
#include "TestSupport.h"
#include "core/SettingsFile.h"
#include "core/Database.h"
#include "core/MemoStore.h"

#include <QElapsedTimer>
#include <QtTest>

namespace {

const QString kTitle = QStringLiteral("Korvel Jotwell");

QString arg(int value)
{
    return QString::number(value);
}

// The program on the desktop, with its window up and its list loaded.
struct RunningProgram {
    RunningProgram(DesktopSession &desktop, const QString &folder) : desktop(desktop)
    {
        process = &desktop.startProgram({QStringLiteral("--data-dir"), folder});
    }
    // The one window of the program that is on the screen, once it is there.
    bool windowUp(int timeoutMs = 15000)
    {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < timeoutMs) {
            const QStringList shown = desktop.viewableWindows(kTitle);
            if (shown.size() == 1 && desktop.windowPainted(shown[0])) {
                window = shown[0];
                return true;
            }
            QTest::qWait(100);
        }
        return false;
    }
    // Lets the start finish: the list loads and takes the focus once, which would bring back a
    // window minimised at that moment.
    void settle() const { QTest::qWait(1000); }
    bool nothingOnScreen() const { return desktop.viewableWindows(kTitle).isEmpty(); }
    QString describeShown() const
    {
        QString text = QStringLiteral("left on the screen:");
        for (const QString &id : desktop.viewableWindows(kTitle))
            text += QLatin1Char('\n') + desktop.run(QStringLiteral("xprop"), {QStringLiteral("-id"), id, QStringLiteral("WM_STATE")});
        return text;
    }
    bool inTaskbar() const { return desktop.taskbarWindows().contains(window); }
    // Focus into the list, as a click on it gives; the window manager may take a moment to let
    // a window it has just mapped have the focus.
    void clickList() const
    {
        for (int attempt = 0; attempt < 10; ++attempt) {
            desktop.xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), window});
            desktop.xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), window, arg(150), arg(200),
                             QStringLiteral("click"), QStringLiteral("1")});
            if (desktop.xdotool({QStringLiteral("getactivewindow")}) == window)
                return;
            QTest::qWait(200);
        }
    }
    // Keys in turn, as "alt+f c".
    void keys(const QString &keys) const
    {
        desktop.xdotool(QStringList{QStringLiteral("key"), QStringLiteral("--delay"), arg(60)} + keys.split(QLatin1Char(' ')));
    }
    // The tray menu's Exit; the icon may still be docking, so the menu is asked for again.
    bool exitFromTrayMenu() const
    {
        for (int attempt = 0; attempt < 5 && process->state() == QProcess::Running; ++attempt) {
            desktop.xdotool({QStringLiteral("mousemove"), arg(DesktopSession::kTrayIconX), arg(DesktopSession::kTrayIconY),
                             QStringLiteral("click"), QStringLiteral("3")});
            QTest::qWait(700);
            desktop.xdotool({QStringLiteral("key"), QStringLiteral("x")});
            process->waitForFinished(2000);
        }
        return process->state() == QProcess::NotRunning && process->exitStatus() == QProcess::NormalExit
               && process->exitCode() == 0;
    }

    DesktopSession &desktop;
    ChildProcess *process;
    QString window;
};

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

QStringList storedContents(const QString &folder)
{
    Database connection;
    connection.open(folder + QStringLiteral("kvData.kvb"));
    QStringList contents;
    for (const Memo &memo : MemoStore(connection).allMemos())
        contents << memo.content;
    return contents;
}

} // namespace

class DesktopTest : public QObject {
    Q_OBJECT
private slots:
    void minimiseIntoTheTrayAndBack();
    void minimisedStartStaysOffTheScreen();
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
    QVERIFY(program.inTaskbar());
    // Its designed size is its size on the screen, frame and title bar included.
    QTRY_COMPARE_WITH_TIMEOUT(desktop.outerSize(program.window), QSize(371, 480), 5000);
    program.settle();

    // The title bar's minimise (the window manager's iconify), then Ctrl+F12 in the list: back
    // from the tray, the window stands where it stood, to the pixel.
    const QRect placed = desktop.outerRect(program.window);
    desktop.xdotool({QStringLiteral("windowminimize"), program.window});
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
    QCOMPARE(storedContents(folder.path()), QStringList());
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
    QCOMPARE(storedContents(folder.path()), QStringList{QStringLiteral("kept")});
}

JOTWELL_TEST_MAIN(DesktopTest)
#include "tst_desktop_e2e.moc"
