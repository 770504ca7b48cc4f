#include "TestSupport.h"
#include "app/Fm_Main.h"
#include "app/pU_Funcs.h"
#include "memos/Fr_kvMemos.h"
#include "store/KvConnection.h"
#include "store/KvQuery.h"
#include "store/SqlCatalogue.h"
#include "tree/KvVirtualTree.h"
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QtTest>

namespace {

// The tree as text: "A[A1,A2] B" lists memos by id without braces, sub-memos in brackets.
QString Shape(TkvMemosFrame &frame)
{
    QStringList memos;
    const auto name = [](KvTreeNode *node) { return node->data.mid.mid(1, node->data.mid.size() - 2); };
    for (int i = 0; i < frame.VtMemos->topLevelCount(); ++i) {
        KvTreeNode *memo = frame.VtMemos->topLevelNode(i);
        QStringList subs;
        for (int j = 0; j < memo->childCount(); ++j)
            subs << name(memo->child(j));
        memos << name(memo) + (subs.isEmpty() ? QString() : QLatin1Char('[') + subs.join(QLatin1Char(',')) + QLatin1Char(']'));
    }
    return memos.join(QLatin1Char(' '));
}

// The stored parent of every row, "A1:A" for a sub-memo and "A:root" for a memo.
QString Parents(TmainFm &mainFm)
{
    KvQuery query(mainFm.connection());
    QStringList pairs;
    for (OpenSql(query, Sql::SelectAllMemos()); !query.eof(); query.next()) {
        const QString mid = query.fieldAsString("mid"), pid = query.fieldAsString("pid");
        pairs << mid.mid(1, mid.size() - 2) + QLatin1Char(':') + (pid == QLatin1String("root") ? pid : pid.mid(1, pid.size() - 2));
    }
    pairs.sort();
    return pairs.join(QLatin1Char(' '));
}

QStringList MenuCaptions(TkvMemosFrame &frame, QMenu *menu)
{
    frame.BuildMovetoMenu(menu);
    QStringList captions;
    for (QAction *item : menu->actions())
        captions << (item->isSeparator() ? QStringLiteral("-") : item->text());
    return captions;
}

QAction *MenuItem(TkvMemosFrame &frame, const QString &caption)
{
    frame.BuildMovetoMenu(frame.Menu_Moveto);
    for (QAction *item : frame.Menu_Moveto->actions())
        if (item->text() == caption)
            return item;
    return nullptr;
}

void Select(TkvMemosFrame &frame, std::initializer_list<const char *> mids)
{
    frame.VtMemos->clearSelection();
    for (const char *mid : mids)
        frame.VtMemos->setSelected(FindMemo(frame, QString::fromLatin1(mid)), true);
}

} // namespace

class TestMemosMove : public QObject {
    Q_OBJECT
private:
    // Memos A, B, C (sorted by their texts), A with sub-memos A1 and A2, B with B1.
    void seed(const TestFolder &folder)
    {
        KvConnection connection;
        connection.open(folder.file(QStringLiteral("kvData.kvb")));
        InsertMemoRow(connection, QStringLiteral("{A}"), QStringLiteral("root"), QStringLiteral("a & co"), true);
        InsertMemoRow(connection, QStringLiteral("{A1}"), QStringLiteral("{A}"), QStringLiteral("a1"));
        InsertMemoRow(connection, QStringLiteral("{A2}"), QStringLiteral("{A}"), QStringLiteral("a2"));
        InsertMemoRow(connection, QStringLiteral("{B}"), QStringLiteral("root"), QStringLiteral("b"), false);
        InsertMemoRow(connection, QStringLiteral("{B1}"), QStringLiteral("{B}"), QStringLiteral("b1"));
        InsertMemoRow(connection, QStringLiteral("{C}"), QStringLiteral("root"), QStringLiteral("c"), true);
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
    TkvMemosFrame &frame = program.frame();

    Select(frame, {"{A}"});
    prompts.answers = {IDCANCEL};
    frame.Action_MemoDelete->trigger();
    QCOMPARE(prompts.lastText(), QStringLiteral("Are you sure you want to delete this memo?"));
    QCOMPARE(prompts.shown.last().caption, QStringLiteral("Ask"));
    QCOMPARE(Shape(frame), QStringLiteral("A[A1,A2] B[B1] C"));

    frame.VtMemos->setFocus();
    QTest::keyClick(frame.VtMemos, Qt::Key_Delete);
    QCOMPARE(Shape(frame), QStringLiteral("B[B1] C"));
    QCOMPARE(Parents(program.mainFm()), QStringLiteral("B1:B B:root C:root"));
    QCOMPARE(frame.VtMemos->selectedCount(), 0);

    Select(frame, {"{B1}"});
    frame.Action_MemoDeleteExecute();
    QCOMPARE(Shape(frame), QStringLiteral("B C"));
    QCOMPARE(Parents(program.mainFm()), QStringLiteral("B:root C:root"));

    Select(frame, {"{B}", "{C}"});
    frame.Action_MemoDeleteExecute();
    QCOMPARE(prompts.lastText(), QStringLiteral("Are you sure you want to delete these memos?"));
    QCOMPARE(Shape(frame), QString());
    QCOMPARE(Parents(program.mainFm()), QString());
    QCOMPARE(frame.FTipMode, 2);
}

void TestMemosMove::moveMenuContents()
{
    TestFolder folder;
    seed(folder);
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    TkvMemosFrame &frame = program.frame();

    QVERIFY(!frame.Menu_Moveto->menuAction()->isEnabled());
    Select(frame, {"{B}"});
    QVERIFY(frame.Menu_Moveto->menuAction()->isEnabled() && frame.MainMoveto->menuAction()->isEnabled());
    // Every other memo, with its text as it stands.
    QCOMPARE(MenuCaptions(frame, frame.MainMoveto), QStringList({"a && co", "c"}));

    // Hidden memos are offered too.
    frame.Edt_Search->setFocus();
    QTest::keyClicks(frame.Edt_Search, QStringLiteral("b1"));
    QVERIFY(!FindMemo(frame, QStringLiteral("{C}"))->isVisible());
    Select(frame, {"{B1}"});
    QCOMPARE(MenuCaptions(frame, frame.Menu_Moveto), QStringList({"Root", "-", "a && co", "c"}));
    frame.Btn_SearchClick();

    Select(frame, {"{A1}"});
    QCOMPARE(MenuCaptions(frame, frame.Menu_Moveto), QStringList({"Root", "-", "b", "c"}));
}

void TestMemosMove::menuMovesGoFirstInReverse()
{
    TestFolder folder;
    seed(folder);
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    TkvMemosFrame &frame = program.frame();

    Select(frame, {"{A1}", "{A2}"});
    MenuItem(frame, QStringLiteral("b"))->trigger();
    QCOMPARE(Shape(frame), QStringLiteral("A B[A2,A1,B1] C"));
    QVERIFY(FindMemo(frame, QStringLiteral("{B}"))->isExpanded());
    QCOMPARE(frame.VtMemos->selectedCount(), 0);
    QCOMPARE(Parents(program.mainFm()), QStringLiteral("A1:B A2:B A:root B1:B B:root C:root"));

    Select(frame, {"{B1}"});
    MenuItem(frame, QStringLiteral("Root"))->trigger();
    QCOMPARE(Shape(frame), QStringLiteral("B1 A B[A2,A1] C"));
    QCOMPARE(FindMemo(frame, QStringLiteral("{B1}"))->data.pid, QStringLiteral("root"));
    QCOMPARE(Parents(program.mainFm()), QStringLiteral("A1:B A2:B A:root B1:root B:root C:root"));

    // With a single memo left to offer, the menu has nothing for it.
    Select(frame, {"{B1}"});
    QVERIFY(frame.Menu_Moveto->menuAction()->isEnabled());
}

void TestMemosMove::dropsGoLastInOrder()
{
    TestFolder folder;
    seed(folder);
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    TkvMemosFrame &frame = program.frame();

    Select(frame, {"{A1}", "{A2}"});
    frame.VtMemosDragDrop(nullptr, true); // blank space: the end of the top level
    QCOMPARE(Shape(frame), QStringLiteral("A B[B1] C A1 A2"));
    QCOMPARE(Parents(program.mainFm()), QStringLiteral("A1:root A2:root A:root B1:B B:root C:root"));

    // A drop on a sub-memo means its memo.
    Select(frame, {"{A1}"});
    frame.VtMemosDragDrop(FindMemo(frame, QStringLiteral("{B1}")), true);
    QCOMPARE(Shape(frame), QStringLiteral("A B[B1,A1] C A2"));
    QVERIFY(FindMemo(frame, QStringLiteral("{B}"))->isExpanded());
    QCOMPARE(frame.VtMemos->selectedCount(), 0);

    // The first selected memo refuses the drop; a memo offered to itself stays put.
    Select(frame, {"{C}"});
    bool accept = true;
    frame.VtMemosDragOver(FindMemo(frame, QStringLiteral("{C}")), true, accept);
    QVERIFY(!accept);
    frame.VtMemosDragOver(FindMemo(frame, QStringLiteral("{A}")), true, accept);
    QVERIFY(accept);
    QVERIFY(FindMemo(frame, QStringLiteral("{A}"))->isExpanded());

    // A memo dropped on one of its own sub-memos stays where it is.
    const QString before = Parents(program.mainFm());
    Select(frame, {"{B}"});
    frame.VtMemosDragDrop(FindMemo(frame, QStringLiteral("{A1}")), true);
    QCOMPARE(Shape(frame), QStringLiteral("A B[B1,A1] C A2"));
    QCOMPARE(Parents(program.mainFm()), before);
}

void TestMemosMove::memoWithSubMemosKeepsTwoLevels()
{
    TestFolder folder;
    seed(folder);
    ScriptedPrompts prompts;
    {
        StartedProgram program(folder.path());
        TkvMemosFrame &frame = program.frame();
        Select(frame, {"{A}"});
        MenuItem(frame, QStringLiteral("c"))->trigger();
        QCOMPARE(Shape(frame), QStringLiteral("B[B1] C[A,A1,A2]"));
        Select(frame, {"{B}"});
        frame.VtMemosDragDrop(FindMemo(frame, QStringLiteral("{C}")), true);
        QCOMPARE(Shape(frame), QStringLiteral("C[A,A1,A2,B,B1]"));
    }
    // Every memo is still there after a restart.
    StartedProgram program(folder.path());
    QCOMPARE(program.frame().VtMemos->totalCount(), 6);
    QCOMPARE(Parents(program.mainFm()), QStringLiteral("A1:C A2:C A:C B1:C B:C C:root"));
}

void TestMemosMove::dropsFromOtherProgramsMoveNothing()
{
    TestFolder folder;
    seed(folder);
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    TkvMemosFrame &frame = program.frame();
    Select(frame, {"{A1}"});
    bool accept = true;
    frame.VtMemosDragOver(FindMemo(frame, QStringLiteral("{B}")), false, accept);
    QVERIFY(!accept);
    frame.VtMemosDragDrop(FindMemo(frame, QStringLiteral("{B}")), false);
    QCOMPARE(Shape(frame), QStringLiteral("A[A1,A2] B[B1] C"));
}

JOTWELL_TEST_MAIN(TestMemosMove)
#include "tst_memos_move.moc"
