// SPDX-License-Identifier: GPL-3.0-or-later
// The program on a real X server beside another writer, driven by keys as a user drives it:
// typed text outlives the other program's lock, Exit asks for it, nothing is stored under a
// memo without a row, a search keeps the keyboard and every keystroke, and what the other
// program adds shows, also after an import, whose undo leaves it alone, and its change of a memo
// being edited stays beside the typed text.
#include "DesktopSession.h"
#include "ExchangeTestSupport.h"
#include "TestSupport.h"
#include "core/ConflictCopy.h"
#include "core/Database.h"
#include <QtTest>

namespace {

const QString kRoot = QStringLiteral("root");

int cli(const QString &folder, const QStringList &arguments)
{
    QProcess tool;
    tool.start(QStringLiteral(JOTWELL_CLI_BINARY), QStringList{QStringLiteral("--data-dir"), folder} + arguments);
    return tool.waitForFinished(20000) ? tool.exitCode() : -1;
}

// The watch looks every two seconds.
void waitForTheWatch()
{
    QTest::qWait(3000);
}

} // namespace

class WritersTest : public QObject {
    Q_OBJECT
private slots:
    void typedTextAndOutsideChangesBothLive();
    void searchKeepsTheKeyboardAndEveryKeystroke();
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
    insertMemoRow(other, QStringLiteral("{A}"), kRoot, QStringLiteral("alpha"));
    RunningProgram program(desktop, folder.path());
    QVERIFY(program.windowUp());
    program.clickList();
    const int base = program.windowCount();

    // Another program holds the write lock: the typed memo is refused with one box and stays.
    other.execute(QStringLiteral("begin immediate"));
    desktop.pressKeys("Return");
    desktop.typeText(QStringLiteral("typed under a lock"));
    desktop.pressKeys("ctrl+Return");
    QTRY_COMPARE_WITH_TIMEOUT(program.windowCount(), base + 1, 10000);
    desktop.pressKeys("Return");
    QTRY_COMPARE_WITH_TIMEOUT(program.windowCount(), base, 5000);
    // A sub-memo under it is refused with a word, not stored under an empty parent.
    desktop.pressKeys("ctrl+Return");
    QTRY_COMPARE_WITH_TIMEOUT(program.windowCount(), base + 1, 5000);
    desktop.pressKeys("Return");
    QTRY_COMPARE_WITH_TIMEOUT(program.windowCount(), base, 5000);
    // Exit asks, as an editor asks about an unsaved document; No keeps the program.
    program.chooseExitInTrayMenu();
    QTRY_COMPARE_WITH_TIMEOUT(program.windowCount(), base + 1, 5000);
    desktop.pressKeys("Escape");
    QTRY_COMPARE_WITH_TIMEOUT(program.windowCount(), base, 5000);
    QCOMPARE(program.process->state(), QProcess::Running);

    // The other program commits a memo of its own: the typed one is stored beside it.
    insertMemoRow(other, QStringLiteral("{OUT}"), kRoot, QStringLiteral("from outside"));
    other.execute(QStringLiteral("commit"));
    QTRY_COMPARE_WITH_TIMEOUT(storedMemoTexts(folder.path()),
                              QStringList({QStringLiteral("alpha"), QStringLiteral("from outside"),
                                           QStringLiteral("typed under a lock")}),
                              10000);
    QCOMPARE(cli(folder.path(), {QStringLiteral("check")}), 0);

    // File > Import, and jotwell-cli adds a memo while the Open dialog is up: Ctrl+Z takes back
    // the imported memo alone.
    desktop.pressKeys("alt+f");
    desktop.pressKeys("i");
    QTRY_COMPARE_WITH_TIMEOUT(program.windowCount(), base + 1, 10000);
    QCOMPARE(cli(folder.path(), {QStringLiteral("add"), QStringLiteral("added meanwhile")}), 0);
    desktop.pressKeys("ctrl+a");
    desktop.typeText(kvx);
    desktop.pressKeys("Return");
    QTRY_COMPARE_WITH_TIMEOUT(program.windowCount(), base, 10000);
    QTRY_VERIFY_WITH_TIMEOUT(storedMemoTexts(folder.path()).contains(QStringLiteral("imported memo")), 10000);
    program.clickList();
    desktop.pressKeys("ctrl+z");
    QTRY_COMPARE_WITH_TIMEOUT(storedMemoTexts(folder.path()),
                              QStringList({QStringLiteral("added meanwhile"), QStringLiteral("alpha"),
                                           QStringLiteral("from outside"), QStringLiteral("typed under a lock")}),
                              10000);

    // A memo that jotwell-cli adds after the import and its undo shows: Select All and Delete
    // take it too.
    QCOMPARE(cli(folder.path(), {QStringLiteral("add"), QStringLiteral("added by the tool")}), 0);
    waitForTheWatch();
    program.clickList();
    desktop.pressKeys("ctrl+a");
    desktop.pressKeys("Delete");
    QTRY_COMPARE_WITH_TIMEOUT(program.windowCount(), base + 1, 5000);
    desktop.pressKeys("Return");
    QTRY_COMPARE_WITH_TIMEOUT(storedMemoTexts(folder.path()), QStringList(), 10000);

    // What matters is in the file whichever way the program ends.
    program.chooseExitInTrayMenu();
    if (!program.process->waitForFinished(10000)) {
        program.process->kill();
        program.process->waitForFinished(10000);
    }
    QCOMPARE(storedMemoTexts(folder.path()), QStringList());
}

void WritersTest::searchKeepsTheKeyboardAndEveryKeystroke()
{
    DesktopSession desktop;
    if (!desktop.skipReason().isEmpty())
        QSKIP(qPrintable(desktop.skipReason()));
    TestFolder folder;
    Database other;
    other.open(folder.file(QStringLiteral("kvData.kvb")));
    insertMemoRow(other, QStringLiteral("{A}"), kRoot, QStringLiteral("apple"));
    insertMemoRow(other, QStringLiteral("{A1}"), QStringLiteral("{A}"), QStringLiteral("kiwi 42"));
    insertMemoRow(other, QStringLiteral("{B}"), kRoot, QStringLiteral("banana 4"));
    insertMemoRow(other, QStringLiteral("{C}"), kRoot, QStringLiteral("cherry 2"));
    RunningProgram program(desktop, folder.path());
    QVERIFY(program.windowUp());
    program.settle();
    program.clickSearchBox();
    const int base = program.windowCount();

    // A search that opens the closed memo while another program holds the lock: no box over
    // the typing, no keystroke lost, and the memo stays closed in the file as in the list.
    other.execute(QStringLiteral("begin immediate"));
    desktop.typeText(QStringLiteral("42"));
    QTest::qWait(1000);
    QCOMPARE(program.windowCount(), base);
    other.execute(QStringLiteral("commit"));
    QVERIFY(storedShape(folder.path()).contains(QStringLiteral("root>apple|-")));

    // An outside change leaves the keyboard in the search box: Backspace shortens the search,
    // and Enter adds no memo.
    QCOMPARE(cli(folder.path(), {QStringLiteral("add"), QStringLiteral("date 42")}), 0);
    waitForTheWatch();
    desktop.pressKeys("BackSpace");
    desktop.pressKeys("Return");
    QCOMPARE(program.windowCount(), base);

    // The filter "4" shows apple (for its kiwi), banana and date: Select All and Delete take
    // them, and leave cherry.
    program.clickList();
    desktop.pressKeys("ctrl+a");
    desktop.pressKeys("Delete");
    QTRY_COMPARE_WITH_TIMEOUT(program.windowCount(), base + 1, 5000);
    desktop.pressKeys("Return");
    QTRY_COMPARE_WITH_TIMEOUT(storedMemoTexts(folder.path()), QStringList{QStringLiteral("cherry 2")}, 10000);

    // jotwell-cli changes cherry while it is being edited: the typed text becomes the memo, and
    // the tool's text comes back beside it, marked.
    program.clickSearchBox();
    desktop.pressKeys("ctrl+a");
    desktop.pressKeys("BackSpace"); // the search "4" hides cherry
    program.clickList();
    desktop.pressKeys("Home");
    desktop.pressKeys("F2");
    QTest::qWait(500);
    QCOMPARE(cli(folder.path(), {QStringLiteral("edit"), QStringLiteral("{C}"), QStringLiteral("cherry 3")}), 0);
    desktop.pressKeys("ctrl+a");
    desktop.typeText(QStringLiteral("typed"));
    desktop.pressKeys("ctrl+Return");
    QTRY_COMPARE_WITH_TIMEOUT(storedMemoTexts(folder.path()),
                              QStringList({kConflictMark + QStringLiteral("cherry 3"), QStringLiteral("typed")}), 10000);
    QVERIFY(program.exitFromTrayMenu());
}

JOTWELL_TEST_MAIN(WritersTest)
#include "tst_writers_e2e.moc"
