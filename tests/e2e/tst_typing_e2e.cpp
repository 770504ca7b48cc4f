// SPDX-License-Identifier: GPL-3.0-or-later
// The program itself on a real X server with a window manager, driven by keys as a user
// drives it: memos typed around a cancelled backup and an import are all stored.
#include "DesktopSession.h"
#include "TestSupport.h"
#include "gui/MainWindow.h"
#include "gui/MemoPane.h"
#include "core/Database.h"
#include <QtTest>

namespace {

// An exchange file holding one memo, written by the program's own export.

} // namespace

class TypingTest : public QObject {
    Q_OBJECT
private slots:
    void typedMemosSurviveDialogsAndImport();
};

void TypingTest::typedMemosSurviveDialogsAndImport()
{
    DesktopSession desktop;
    if (!desktop.skipReason().isEmpty())
        QSKIP(qPrintable(desktop.skipReason()));
    TestFolder exchange;
    const QString kvx = exportOneMemo(exchange);
    QVERIFY(!kvx.isEmpty());

    TestFolder folder;
    ChildProcess &program = desktop.startProgram({QStringLiteral("--data-dir"), folder.path()});
    const auto windows = [&] { return desktop.visibleWindowCount(program.processId()); };
    QTRY_VERIFY_WITH_TIMEOUT(!desktop.viewableWindows(QStringLiteral("Korvel Jotwell")).isEmpty(), 15000);
    const QString window = desktop.viewableWindows(QStringLiteral("Korvel Jotwell")).constFirst();
    desktop.xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), window});
    QTest::qWait(500);
    // A click on the list's blank space gives it the keys.
    desktop.xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), window, QStringLiteral("150"),
                     QStringLiteral("300"), QStringLiteral("click"), QStringLiteral("1")});
    QTest::qWait(400);
    const int base = windows(); // the main window and the tray icon's

    // A memo typed, then File > Database Backup, cancelled, then Esc.
    desktop.pressKeys("Return");
    desktop.typeText(QStringLiteral("first memo"));
    desktop.pressKeys("alt+f");
    desktop.pressKeys("b");
    QTRY_COMPARE_WITH_TIMEOUT(windows(), base + 1, 10000);
    desktop.pressKeys("Escape");
    QTRY_COMPARE_WITH_TIMEOUT(windows(), base, 10000);
    desktop.pressKeys("Escape");

    // Another memo typed, then File > Import of a file.
    desktop.pressKeys("Return");
    desktop.typeText(QStringLiteral("second memo"));
    desktop.pressKeys("alt+f");
    desktop.pressKeys("i");
    QTRY_COMPARE_WITH_TIMEOUT(windows(), base + 1, 10000);
    desktop.pressKeys("ctrl+a");
    desktop.typeText(kvx);
    desktop.pressKeys("Return");
    QTRY_COMPARE_WITH_TIMEOUT(windows(), base, 10000);
    QTRY_COMPARE_WITH_TIMEOUT(storedMemoTexts(folder.path()),
                              QStringList({QStringLiteral("first memo"), QStringLiteral("imported memo"),
                                           QStringLiteral("second memo")}),
                              10000);

    // Keys still work on the list afterwards: Enter opens an editor, Esc drops it unstored.
    desktop.pressKeys("Return");
    desktop.typeText(QStringLiteral("never stored"));
    desktop.pressKeys("Escape");
    const QString iconX = QString::number(DesktopSession::kTrayIconX), iconY = QString::number(DesktopSession::kTrayIconY);
    desktop.xdotool({QStringLiteral("mousemove"), iconX, iconY, QStringLiteral("click"), QStringLiteral("3")});
    QTest::qWait(700);
    desktop.pressKeys("x");
    // What matters is in the file whichever way the program ends; the tray's own test covers Exit.
    if (!program.waitForFinished(10000)) {
        program.kill();
        program.waitForFinished(10000);
    }
    QCOMPARE(program.state(), QProcess::NotRunning);
    QCOMPARE(storedMemoTexts(folder.path()), QStringList({QStringLiteral("first memo"), QStringLiteral("imported memo"),
                                                      QStringLiteral("second memo")}));
}

JOTWELL_TEST_MAIN(TypingTest)
#include "tst_typing_e2e.moc"
