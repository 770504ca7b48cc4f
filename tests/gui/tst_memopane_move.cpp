// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestSupport.h"
#include "gui/memos/MoveToMenu.h"
#include "gui/MainWindow.h"

#include "gui/MemoPane.h"
#include "gui/memos/TipPanel.h"
#include "gui/memos/MemoNode.h"
#include "core/Database.h"
#include "core/MemoStore.h"
#include "treeview/MemoTree.h"
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QtTest>

namespace {

// The tree as text: "A[A1,A2] B" lists memos by id without braces, sub-memos in brackets.
QString shape(MemoPane &frame)
{
    QStringList memos;
    const auto name = [](TreeNode *node) { return memoOf(node).mid.mid(1, memoOf(node).mid.size() - 2); };
    for (int i = 0; i < frame.tree()->topLevelCount(); ++i) {
        TreeNode *memo = frame.tree()->topLevelNode(i);
        QStringList subs;
        for (int j = 0; j < memo->childCount(); ++j)
            subs << name(memo->child(j));
        memos << name(memo) + (subs.isEmpty() ? QString() : QLatin1Char('[') + subs.join(QLatin1Char(',')) + QLatin1Char(']'));
    }
    return memos.join(QLatin1Char(' '));
}

// The stored parent of every row, "A1:A" for a sub-memo and "A:root" for a memo.
QString parents(MainWindow &mainWindow)
{
    QStringList pairs;
    for (const Memo &memo : mainWindow.memoStore().allMemos()) {
        const QString &mid = memo.mid, &pid = memo.pid;
        pairs << mid.mid(1, mid.size() - 2) + QLatin1Char(':') + (pid == QLatin1String("root") ? pid : pid.mid(1, pid.size() - 2));
    }
    pairs.sort();
    return pairs.join(QLatin1Char(' '));
}

QStringList menuCaptions(MoveToMenu *menu)
{
    menu->rebuild();
    QStringList captions;
    for (QAction *item : menu->actions())
        captions << (item->isSeparator() ? QStringLiteral("-") : item->text());
    return captions;
}

QAction *menuItem(MemoPane &frame, const QString &caption)
{
    findNamed<MoveToMenu>(frame, "moveToMenu")->rebuild();
    for (QAction *item : findNamed<MoveToMenu>(frame, "moveToMenu")->actions())
        if (item->text() == caption)
            return item;
    return nullptr;
}

void select(MemoPane &frame, std::initializer_list<const char *> mids)
{
    frame.tree()->clearSelection();
    for (const char *mid : mids)
        frame.tree()->setSelected(findMemo(frame, QString::fromLatin1(mid)), true);
}

} // namespace

class TestMemosMove : public QObject {
    Q_OBJECT
private:
    // Memos A, B, C (sorted by their texts), A with sub-memos A1 and A2, B with B1.
    void seed(const TestFolder &folder)
    {
        Database connection;
        connection.open(folder.file(QStringLiteral("kvData.kvb")));
        insertMemoRow(connection, QStringLiteral("{A}"), QStringLiteral("root"), QStringLiteral("a & co"), true);
        insertMemoRow(connection, QStringLiteral("{A1}"), QStringLiteral("{A}"), QStringLiteral("a1"));
        insertMemoRow(connection, QStringLiteral("{A2}"), QStringLiteral("{A}"), QStringLiteral("a2"));
        insertMemoRow(connection, QStringLiteral("{B}"), QStringLiteral("root"), QStringLiteral("b"), false);
        insertMemoRow(connection, QStringLiteral("{B1}"), QStringLiteral("{B}"), QStringLiteral("b1"));
        insertMemoRow(connection, QStringLiteral("{C}"), QStringLiteral("root"), QStringLiteral("c"), true);
    }

private slots:
    void deleteAsksAndRemovesSubMemos();
    void moveMenuContents();
    void menuMovesGoFirstInReverse();
    void dropsGoLastInOrder();
    void memoWithSubMemosKeepsTwoLevels();
    void dropsFromOtherProgramsMoveNothing();
};

void TestMemosMove::deleteAsksAndRemovesSubMemos()
{
    TestFolder folder;
    seed(folder);
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    MemoPane &frame = program.frame();

    select(frame, {"{A}"});
    prompts.answers = {BoxAnswer::Cancel};
    findAction(frame, "delete")->trigger();
    QCOMPARE(prompts.lastText(), QStringLiteral("Are you sure you want to delete this memo?"));
    QCOMPARE(prompts.shown.last().caption, QStringLiteral("Ask"));
    QCOMPARE(shape(frame), QStringLiteral("A[A1,A2] B[B1] C"));

    frame.tree()->setFocus();
    QTest::keyClick(frame.tree(), Qt::Key_Delete);
    QCOMPARE(shape(frame), QStringLiteral("B[B1] C"));
    QCOMPARE(parents(program.mainWindow()), QStringLiteral("B1:B B:root C:root"));
    QCOMPARE(frame.tree()->selectedCount(), 0);

    select(frame, {"{B1}"});
    frame.controller().deleteMemos();
    QCOMPARE(shape(frame), QStringLiteral("B C"));
    QCOMPARE(parents(program.mainWindow()), QStringLiteral("B:root C:root"));

    select(frame, {"{B}", "{C}"});
    frame.controller().deleteMemos();
    QCOMPARE(prompts.lastText(), QStringLiteral("Are you sure you want to delete these memos?"));
    QCOMPARE(shape(frame), QString());
    QCOMPARE(parents(program.mainWindow()), QString());
    QCOMPARE(frame.tipPanel().mode(), TipMode::AddMemo);
}

void TestMemosMove::moveMenuContents()
{
    TestFolder folder;
    seed(folder);
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    MemoPane &frame = program.frame();

    QVERIFY(!findNamed<MoveToMenu>(frame, "moveToMenu")->menuAction()->isEnabled());
    select(frame, {"{B}"});
    QVERIFY(findNamed<MoveToMenu>(frame, "moveToMenu")->menuAction()->isEnabled() && findNamed<MoveToMenu>(frame, "mainMoveToMenu")->menuAction()->isEnabled());
    // Every other memo, with its text as it stands.
    QCOMPARE(menuCaptions(findNamed<MoveToMenu>(frame, "mainMoveToMenu")), QStringList({"a && co", "c"}));

    // Hidden memos are offered too.
    findNamed<QLineEdit>(frame, "searchBox")->setFocus();
    QTest::keyClicks(findNamed<QLineEdit>(frame, "searchBox"), QStringLiteral("b1"));
    QVERIFY(!findMemo(frame, QStringLiteral("{C}"))->isVisible());
    select(frame, {"{B1}"});
    QCOMPARE(menuCaptions(findNamed<MoveToMenu>(frame, "moveToMenu")), QStringList({"Root", "-", "a && co", "c"}));
    clickSearchButton(frame);

    select(frame, {"{A1}"});
    QCOMPARE(menuCaptions(findNamed<MoveToMenu>(frame, "moveToMenu")), QStringList({"Root", "-", "b", "c"}));
}

void TestMemosMove::menuMovesGoFirstInReverse()
{
    TestFolder folder;
    seed(folder);
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    MemoPane &frame = program.frame();

    select(frame, {"{A1}", "{A2}"});
    menuItem(frame, QStringLiteral("b"))->trigger();
    QCOMPARE(shape(frame), QStringLiteral("A B[A2,A1,B1] C"));
    QVERIFY(findMemo(frame, QStringLiteral("{B}"))->isExpanded());
    QCOMPARE(frame.tree()->selectedCount(), 0);
    QCOMPARE(parents(program.mainWindow()), QStringLiteral("A1:B A2:B A:root B1:B B:root C:root"));

    select(frame, {"{B1}"});
    menuItem(frame, QStringLiteral("Root"))->trigger();
    QCOMPARE(shape(frame), QStringLiteral("B1 A B[A2,A1] C"));
    QCOMPARE(memoOf(findMemo(frame, QStringLiteral("{B1}"))).pid, QStringLiteral("root"));
    QCOMPARE(parents(program.mainWindow()), QStringLiteral("A1:B A2:B A:root B1:root B:root C:root"));

    // B1, a memo now, is offered the three other memos and no "Root".
    select(frame, {"{B1}"});
    MoveToMenu *moveToMenu = findNamed<MoveToMenu>(frame, "moveToMenu");
    QVERIFY(moveToMenu->menuAction()->isEnabled());
    QCOMPARE(menuCaptions(moveToMenu), QStringList({"a && co", "b", "c"}));
}

void TestMemosMove::dropsGoLastInOrder()
{
    TestFolder folder;
    seed(folder);
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    MemoPane &frame = program.frame();

    select(frame, {"{A1}", "{A2}"});
    frame.drop(nullptr, nullptr, true); // blank space: the end of the top level
    QCOMPARE(shape(frame), QStringLiteral("A B[B1] C A1 A2"));
    QCOMPARE(parents(program.mainWindow()), QStringLiteral("A1:root A2:root A:root B1:B B:root C:root"));

    // A drop on a sub-memo means its memo.
    select(frame, {"{A1}"});
    frame.drop(findMemo(frame, QStringLiteral("{B1}")), nullptr, true);
    QCOMPARE(shape(frame), QStringLiteral("A B[B1,A1] C A2"));
    QVERIFY(findMemo(frame, QStringLiteral("{B}"))->isExpanded());
    QCOMPARE(frame.tree()->selectedCount(), 0);

    // The first selected memo refuses the drop; a memo offered to itself stays put.
    select(frame, {"{C}"});
    QVERIFY(!frame.canDrop(findMemo(frame, QStringLiteral("{C}")), nullptr, true));
    QVERIFY(frame.canDrop(findMemo(frame, QStringLiteral("{A}")), nullptr, true));
    QVERIFY(findMemo(frame, QStringLiteral("{A}"))->isExpanded());

    // A memo dropped on one of its own sub-memos stays where it is, and leaves nothing to undo.
    const QString before = parents(program.mainWindow());
    select(frame, {"{B}"});
    frame.drop(findMemo(frame, QStringLiteral("{A1}")), nullptr, true);
    QCOMPARE(shape(frame), QStringLiteral("A B[B1,A1] C A2"));
    QCOMPARE(parents(program.mainWindow()), before);
    findAction(frame, "undo")->trigger(); // takes back the drop before it
    QCOMPARE(shape(frame), QStringLiteral("A B[B1] C A1 A2"));
}

void TestMemosMove::memoWithSubMemosKeepsTwoLevels()
{
    TestFolder folder;
    seed(folder);
    ScriptedPrompts prompts;
    {
        StartedProgram program(folder.path());
        MemoPane &frame = program.frame();
        select(frame, {"{A}"});
        menuItem(frame, QStringLiteral("c"))->trigger();
        QCOMPARE(shape(frame), QStringLiteral("B[B1] C[A,A1,A2]"));
        select(frame, {"{B}"});
        frame.drop(findMemo(frame, QStringLiteral("{C}")), nullptr, true);
        QCOMPARE(shape(frame), QStringLiteral("C[A,A1,A2,B,B1]"));
    }
    // Every memo is still there after a restart.
    StartedProgram program(folder.path());
    QCOMPARE(program.frame().tree()->totalCount(), 6);
    QCOMPARE(parents(program.mainWindow()), QStringLiteral("A1:C A2:C A:C B1:C B:C C:root"));
}

void TestMemosMove::dropsFromOtherProgramsMoveNothing()
{
    TestFolder folder;
    seed(folder);
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    MemoPane &frame = program.frame();
    select(frame, {"{A1}"});
    // Data without text is refused and moves nothing; text would become a memo of its own.
    QMimeData binary;
    binary.setData(QStringLiteral("application/octet-stream"), QByteArray("\x01\x02"));
    QVERIFY(!frame.canDrop(findMemo(frame, QStringLiteral("{B}")), &binary, false));
    frame.drop(findMemo(frame, QStringLiteral("{B}")), &binary, false);
    QMimeData text;
    text.setText(QStringLiteral("from elsewhere"));
    QVERIFY(frame.canDrop(findMemo(frame, QStringLiteral("{B}")), &text, false));
    QCOMPARE(shape(frame), QStringLiteral("A[A1,A2] B[B1] C"));
}

JOTWELL_TEST_MAIN(TestMemosMove)
#include "tst_memopane_move.moc"
