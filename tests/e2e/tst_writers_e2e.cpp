// SPDX-License-Identifier: GPL-3.0-or-later
// The program on a real X server beside another writer, driven by keys as a user drives it:
// typed text outlives the other program's lock, Exit asks for it, nothing is stored under a
// memo without a row, and what the other program adds shows, also after an import.
#include "DesktopSession.h"
#include "ExchangeTestSupport.h"
#include "TestSupport.h"
#include "core/Database.h"
#include "gui/MemoPane.h"
#include <QtTest>

namespace {


int cli(const QString &folder, const QStringList &arguments)
{
    QProcess tool;
    tool.start(QStringLiteral(JOTWELL_CLI_BINARY), QStringList{QStringLiteral("--data-dir"), folder} + arguments);
    return tool.waitForFinished(20000) ? tool.exitCode() : -1;
}

} // namespace

class WritersTest : public QObject {
    Q_OBJECT
private slots:
    void typedTextAndOutsideChangesBothLive();
};

void WritersTest::typedTextAndOutsideChangesBothLive()
{
    DesktopSession desktop;
    if (!desktop.skipReason().isEmpty())
        QSKIP(qPrintable(desktop.skipReason()));
    TestFolder exchange;
    const QString kvx = exportOneMemo(exchange);
    QVERIFY(!kvx.isEmpty());

    TestFolder folder;
    Database other;
    other.open(folder.file(QStringLiteral("kvData.kvb")));
    insertMemoRow(other, QStringLiteral("{A}"), QStringLiteral("root"), QStringLiteral("alpha"));
    ChildProcess &program = desktop.startProgram({QStringLiteral("--data-dir"), folder.path()});
    const auto windows = [&] { return desktop.visibleWindowCount(program.processId()); };
    QTRY_VERIFY_WITH_TIMEOUT(!desktop.viewableWindows(QStringLiteral("Korvel Jotwell")).isEmpty(), 15000);
    const QString window = desktop.viewableWindows(QStringLiteral("Korvel Jotwell")).constFirst();
    desktop.xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), window});
    QTest::qWait(500);
    const auto clickList = [&] {
        desktop.xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), window, QStringLiteral("150"),
                         QStringLiteral("300"), QStringLiteral("click"), QStringLiteral("1")});
        QTest::qWait(400);
    };
    clickList();
    const int base = windows();
    const auto exitFromTray = [&] {
        desktop.xdotool({QStringLiteral("mousemove"), QString::number(DesktopSession::kTrayIconX),
                         QString::number(DesktopSession::kTrayIconY), QStringLiteral("click"), QStringLiteral("3")});
        QTest::qWait(700);
        desktop.pressKeys("x");
    };

    // Another program holds the write lock: the typed memo is refused with one box and stays.
    other.execute(QStringLiteral("begin immediate"));
    desktop.pressKeys("Return");
    desktop.typeText(QStringLiteral("typed under a lock"));
    desktop.pressKeys("ctrl+Return");
    QTRY_COMPARE_WITH_TIMEOUT(windows(), base + 1, 10000);
    desktop.pressKeys("Return");
    QTRY_COMPARE_WITH_TIMEOUT(windows(), base, 5000);
    // A sub-memo under it is refused with a word, not stored under an empty parent.
    desktop.pressKeys("ctrl+Return");
    QTRY_COMPARE_WITH_TIMEOUT(windows(), base + 1, 5000);
    desktop.pressKeys("Return");
    QTRY_COMPARE_WITH_TIMEOUT(windows(), base, 5000);
    // Exit asks, as an editor asks about an unsaved document; No keeps the program.
    exitFromTray();
    QTRY_COMPARE_WITH_TIMEOUT(windows(), base + 1, 5000);
    desktop.pressKeys("Escape");
    QTRY_COMPARE_WITH_TIMEOUT(windows(), base, 5000);
    QCOMPARE(program.state(), QProcess::Running);

    // The other program commits a memo of its own: the typed one is stored beside it.
    insertMemoRow(other, QStringLiteral("{OUT}"), QStringLiteral("root"), QStringLiteral("from outside"));
    other.execute(QStringLiteral("commit"));
    QTRY_COMPARE_WITH_TIMEOUT(storedMemoTexts(folder.path()),
                              QStringList({QStringLiteral("alpha"), QStringLiteral("from outside"),
                                           QStringLiteral("typed under a lock")}),
                              10000);
    QCOMPARE(cli(folder.path(), {QStringLiteral("check")}), 0);

    // After an import, a memo that jotwell-cli adds shows: Select All and Delete take it too.
    desktop.pressKeys("alt+f");
    desktop.pressKeys("i");
    QTRY_COMPARE_WITH_TIMEOUT(windows(), base + 1, 10000);
    desktop.pressKeys("ctrl+a");
    desktop.typeText(kvx);
    desktop.pressKeys("Return");
    QTRY_COMPARE_WITH_TIMEOUT(windows(), base, 10000);
    QTRY_COMPARE_WITH_TIMEOUT(storedMemoTexts(folder.path()).size(), 4, 10000);
    QCOMPARE(cli(folder.path(), {QStringLiteral("add"), QStringLiteral("added by the tool")}), 0);
    QTest::qWait(3000); // the watch looks every two seconds
    clickList();
    desktop.pressKeys("ctrl+a");
    desktop.pressKeys("Delete");
    QTRY_COMPARE_WITH_TIMEOUT(windows(), base + 1, 5000);
    desktop.pressKeys("Return");
    QTRY_COMPARE_WITH_TIMEOUT(storedMemoTexts(folder.path()), QStringList(), 10000);

    // What matters is in the file whichever way the program ends.
    exitFromTray();
    if (!program.waitForFinished(10000)) {
        program.kill();
        program.waitForFinished(10000);
    }
    QCOMPARE(storedMemoTexts(folder.path()), QStringList());
}

JOTWELL_TEST_MAIN(WritersTest)
#include "tst_writers_e2e.moc"
