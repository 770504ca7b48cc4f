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
QString exportOneMemo(const TestFolder &folder)
{
    TestFolder source;
    {
        Database connection;
        connection.open(source.file(QStringLiteral("kvData.kvb")));
        insertMemoRow(connection, QStringLiteral("{11111111-2222-3333-4444-555555555555}"), QStringLiteral("root"),
                      QStringLiteral("imported memo"));
    }
    ScriptedPrompts prompts;
    StartedProgram program(source.path());
    program.frame().selectAll();
    const QString path = folder.file(QStringLiteral("one.kvx"));
    return program.frame().exportSelection(path) ? path : QString();
}

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
    const QString pid = QString::number(program.processId());
    const auto windows = [&] {
        const QString ids = desktop.xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                             QStringLiteral("--pid"), pid});
        return ids.isEmpty() ? 0 : int(ids.split(QLatin1Char('\n')).size());
    };
    const auto key = [&](const char *keys) {
        desktop.xdotool({QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("80"), QLatin1String(keys)});
        QTest::qWait(400);
    };
    const auto type = [&](const QString &text) {
        desktop.xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("30"), text});
        QTest::qWait(300);
    };
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
    key("Return");
    type(QStringLiteral("first memo"));
    key("alt+f");
    key("b");
    QTRY_COMPARE_WITH_TIMEOUT(windows(), base + 1, 10000);
    key("Escape");
    QTRY_COMPARE_WITH_TIMEOUT(windows(), base, 10000);
    key("Escape");

    // Another memo typed, then File > Import of a file.
    key("Return");
    type(QStringLiteral("second memo"));
    key("alt+f");
    key("i");
    QTRY_COMPARE_WITH_TIMEOUT(windows(), base + 1, 10000);
    key("ctrl+a");
    type(kvx);
    key("Return");
    QTRY_COMPARE_WITH_TIMEOUT(windows(), base, 10000);
    QTRY_COMPARE_WITH_TIMEOUT(storedMemoTexts(folder.path()),
                              QStringList({QStringLiteral("first memo"), QStringLiteral("imported memo"),
                                           QStringLiteral("second memo")}),
                              10000);

    // Keys still work on the list afterwards: Enter opens an editor, Esc drops it unstored.
    key("Return");
    type(QStringLiteral("never stored"));
    key("Escape");
    const QString iconX = QString::number(DesktopSession::kTrayIconX), iconY = QString::number(DesktopSession::kTrayIconY);
    desktop.xdotool({QStringLiteral("mousemove"), iconX, iconY, QStringLiteral("click"), QStringLiteral("3")});
    QTest::qWait(700);
    key("x");
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
