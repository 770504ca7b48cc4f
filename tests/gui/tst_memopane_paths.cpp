// SPDX-License-Identifier: GPL-3.0-or-later
// Moves to the top level, and deletes and moves that the database refuses or makes wait: the
// tree must always show what the table holds.
#include "ExchangeTestSupport.h"
#include "TestSupport.h"
#include "gui/memos/MoveToMenu.h"
#include "gui/MainWindow.h"
#include "gui/MemoPane.h"
#include "gui/memos/MemoNode.h"
#include "treeview/MemoTree.h"
#include <QAction>
#include <QMenu>
#include <QtTest>
#include <chrono>
#include <thread>

namespace {

// Memos A (sub-memos A1, A2), B (sub-memo B1) and C, sorted by their texts.
void seed(const TestFolder &folder)
{
    Database connection;
    connection.open(folder.file(QStringLiteral("kvData.kvb")));
    insertMemoRow(connection, QStringLiteral("{A}"), QStringLiteral("root"), QStringLiteral("a"), true);
    insertMemoRow(connection, QStringLiteral("{A1}"), QStringLiteral("{A}"), QStringLiteral("a1"));
    insertMemoRow(connection, QStringLiteral("{A2}"), QStringLiteral("{A}"), QStringLiteral("a2"));
    insertMemoRow(connection, QStringLiteral("{B}"), QStringLiteral("root"), QStringLiteral("b"), true);
    insertMemoRow(connection, QStringLiteral("{B1}"), QStringLiteral("{B}"), QStringLiteral("b1"));
    insertMemoRow(connection, QStringLiteral("{C}"), QStringLiteral("root"), QStringLiteral("c"));
}

QString name(const QString &mid)
{
    return mid == QLatin1String("root") ? mid : mid.mid(1, mid.size() - 2);
}

// Every memo as "child:parent", sorted: from the tree, and from the file past the program.
QString treeParents(MemoPane &frame)
{
    QStringList pairs;
    for (int i = 0; i < frame.tree()->topLevelCount(); ++i) {
        TreeNode *memo = frame.tree()->topLevelNode(i);
        pairs << name(memoOf(memo).mid) + QStringLiteral(":root");
        for (int j = 0; j < memo->childCount(); ++j)
            pairs << name(memoOf(memo->child(j)).mid) + QLatin1Char(':') + name(memoOf(memo).mid);
    }
    pairs.sort();
    return pairs.join(QLatin1Char(' '));
}

QString storedParents(const QString &folder)
{
    Database connection;
    connection.open(folder + QStringLiteral("kvData.kvb"));
    QStringList pairs;
    for (const QStringList &row : tableRows(connection, "memos"))
        pairs << name(row[0]) + QLatin1Char(':') + name(row[1]);
    pairs.sort();
    return pairs.join(QLatin1Char(' '));
}

QString topLevelOrder(MemoPane &frame)
{
    QStringList mids;
    for (int i = 0; i < frame.tree()->topLevelCount(); ++i)
        mids << name(memoOf(frame.tree()->topLevelNode(i)).mid);
    return mids.join(QLatin1Char(' '));
}

void select(MemoPane &frame, std::initializer_list<const char *> mids)
{
    frame.tree()->clearSelection();
    for (const char *mid : mids)
        frame.tree()->setSelected(findMemo(frame, QString::fromLatin1(mid)), true);
}

QAction *moveToItem(MemoPane &frame, const QString &caption)
{
    findNamed<MoveToMenu>(frame, "moveToMenu")->rebuild();
    for (QAction *item : findNamed<MoveToMenu>(frame, "moveToMenu")->actions())
        if (item->text() == caption)
            return item;
    return nullptr;
}

// Runs a command as the event loop would, as the user starts it.
template <typename Command>
void runAsEvent(MemoPane &frame, Command command)
{
    QMetaObject::invokeMethod(&frame, command, Qt::QueuedConnection);
    QCoreApplication::processEvents();
}

// Holds the database's write lock from another connection for a while, as another program would.
class LockHolder {
public:
    LockHolder(const QString &file, std::chrono::milliseconds hold)
    {
        sqlite3_open(file.toUtf8().constData(), &m_db);
        sqlite3_exec(m_db, "begin exclusive", nullptr, nullptr, nullptr);
        m_thread = std::thread([this, hold] {
            std::this_thread::sleep_for(hold);
            sqlite3_exec(m_db, "commit", nullptr, nullptr, nullptr);
        });
    }
    ~LockHolder()
    {
        m_thread.join();
        sqlite3_close(m_db);
    }

private:
    sqlite3 *m_db = nullptr;
    std::thread m_thread;
};

} // namespace

class TestMemoPanePaths : public QObject {
    Q_OBJECT
private slots:
    void memoWithSubMemosMovedToTopLevelKeepsThem();
    void singleMemoHasNothingToMoveTo();
    void readOnlyDeleteAndMoveKeepTreeAndRowsAlike();
    void briefLockIsWaitedForLongOneReported();
};

void TestMemoPanePaths::memoWithSubMemosMovedToTopLevelKeepsThem()
{
    TestFolder folder;
    seed(folder);
    ScriptedPrompts prompts;
    const QString all = QStringLiteral("A1:A A2:A A:root B1:B B:root C:root");
    {
        StartedProgram program(folder.path());
        MemoPane &frame = program.frame();
        // A drop on blank space: A goes last, its sub-memos with it.
        select(frame, {"{A}"});
        frame.drop(nullptr, nullptr, true);
        QCOMPARE(topLevelOrder(frame), QStringLiteral("B C A"));
        QCOMPARE(treeParents(frame), all);
        QCOMPARE(findMemo(frame, QStringLiteral("{A}"))->childCount(), 2);
        QCOMPARE(storedParents(folder.path()), all);

        // Selections are of siblings only, so "Root" is offered for sub-memos alone; a memo is
        // at the top level already. A sub-memo sent there leaves its memo with the other one.
        select(frame, {"{A}"});
        QVERIFY(!moveToItem(frame, QStringLiteral("Root")));
        select(frame, {"{A1}"});
        QAction *root = moveToItem(frame, QStringLiteral("Root"));
        QVERIFY(root);
        root->trigger();
        QCOMPARE(topLevelOrder(frame), QStringLiteral("A1 B C A"));
        const QString moved = QStringLiteral("A1:root A2:A A:root B1:B B:root C:root");
        QCOMPARE(treeParents(frame), moved);
        QCOMPARE(storedParents(folder.path()), moved);
    }
    StartedProgram program(folder.path());
    QCOMPARE(program.frame().tree()->totalCount(), 6);
    QCOMPARE(treeParents(program.frame()), QStringLiteral("A1:root A2:A A:root B1:B B:root C:root"));
}

void TestMemoPanePaths::singleMemoHasNothingToMoveTo()
{
    TestFolder folder;
    {
        Database connection;
        connection.open(folder.file(QStringLiteral("kvData.kvb")));
        insertMemoRow(connection, QStringLiteral("{A}"), QStringLiteral("root"), QStringLiteral("alone"));
    }
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    MemoPane &frame = program.frame();
    select(frame, {"{A}"});
    frame.refreshCommands();
    QVERIFY(!findNamed<MoveToMenu>(frame, "moveToMenu")->menuAction()->isEnabled());
    QVERIFY(!findNamed<MoveToMenu>(frame, "mainMoveToMenu")->menuAction()->isEnabled());
}

void TestMemoPanePaths::readOnlyDeleteAndMoveKeepTreeAndRowsAlike()
{
    TestFolder folder;
    seed(folder);
    const QString file = folder.file(QStringLiteral("kvData.kvb"));
    QFile::setPermissions(file, QFile::ReadOwner);
    const QString before = storedParents(folder.path());
    {
        ScriptedPrompts prompts;
        StartedProgram program(folder.path());
        MemoPane &frame = program.frame();
        const qsizetype boxesAtStart = prompts.shown.size(); // the read-only warning

        select(frame, {"{A}"});
        runAsEvent(frame, [&frame] { findAction(frame, "delete")->trigger(); });
        QTRY_COMPARE(prompts.shown.size(), boxesAtStart + 2); // the question, then the error
        QCOMPARE(prompts.shown.last().caption, QStringLiteral("Korvel Jotwell"));
        QCOMPARE(prompts.lastText(), QStringLiteral("attempt to write a readonly database."));
        QCOMPARE(treeParents(frame), before);

        select(frame, {"{C}"});
        runAsEvent(frame, [&frame] { frame.drop(findMemo(frame, QStringLiteral("{A}")), nullptr, true); });
        QTRY_COMPARE(prompts.shown.size(), boxesAtStart + 3);
        QCOMPARE(prompts.lastText(), QStringLiteral("attempt to write a readonly database."));
        QCOMPARE(treeParents(frame), before);

        select(frame, {"{B1}"});
        QAction *root = moveToItem(frame, QStringLiteral("Root"));
        runAsEvent(frame, [root] { root->trigger(); });
        QTRY_COMPARE(prompts.shown.size(), boxesAtStart + 4);
        QCOMPARE(treeParents(frame), before);
    }
    QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner);
    QCOMPARE(storedParents(folder.path()), before);
}

void TestMemoPanePaths::briefLockIsWaitedForLongOneReported()
{
    TestFolder folder;
    seed(folder);
    const QString file = folder.file(QStringLiteral("kvData.kvb"));
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    MemoPane &frame = program.frame();
    {
        // Well under the wait the store allows: the delete waits and goes through.
        const LockHolder other(file, std::chrono::milliseconds(400));
        select(frame, {"{B}"});
        runAsEvent(frame, [&frame] { findAction(frame, "delete")->trigger(); });
        QTRY_VERIFY(!findMemo(frame, QStringLiteral("{B}")));
    }
    QCOMPARE(prompts.shown.size(), 1); // the question only
    QCOMPARE(storedParents(folder.path()), QStringLiteral("A1:A A2:A A:root C:root"));

    // Held past the wait: the engine's words, and nothing changed.
    const LockHolder other(file, std::chrono::milliseconds(5000));
    select(frame, {"{C}"});
    runAsEvent(frame, [&frame] { findAction(frame, "delete")->trigger(); });
    QTRY_COMPARE_WITH_TIMEOUT(prompts.shown.size(), 3, 10000);
    QCOMPARE(prompts.shown.last().caption, QStringLiteral("Korvel Jotwell"));
    QCOMPARE(prompts.lastText(), QStringLiteral("database is locked."));
    QVERIFY(findMemo(frame, QStringLiteral("{C}")));
    QCOMPARE(treeParents(frame), QStringLiteral("A1:A A2:A A:root C:root"));
}

JOTWELL_TEST_MAIN(TestMemoPanePaths)
#include "tst_memopane_paths.moc"
