// SPDX-License-Identifier: GPL-3.0-or-later
// Undo and redo: every step taken back and done again gives the exact rows (row order included)
// and the same tree, a failure halfway changes nothing, and the history ends with the session.
#include "ExchangeTestSupport.h"
#include "TestSupport.h"
#include "gui/memos/MemoHistory.h"
#include "gui/memos/MoveToMenu.h"
#include "gui/MainWindow.h"
#include "gui/MemoPane.h"
#include "gui/memos/MemoNode.h"
#include "treeview/MemoTree.h"
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QUndoStack>
#include <QtTest>

namespace {

// Memos A (sub-memos A1, A2; open), B (sub-memo B1) and C; A2 was pasted (no assign time).
void seed(const TestFolder &folder)
{
    Database connection;
    connection.open(folder.file(QStringLiteral("kvData.kvb")));
    insertMemoRow(connection, QStringLiteral("{A}"), QStringLiteral("root"), QStringLiteral("a"), true, 45001.25);
    insertMemoRow(connection, QStringLiteral("{A1}"), QStringLiteral("{A}"), QStringLiteral("a1"), false, 45002.5);
    insertMemoRow(connection, QStringLiteral("{A2}"), QStringLiteral("{A}"), QStringLiteral("a2"), false, 45003.75);
    connection.execute(QStringLiteral("update memos set assignTime=null where mid='{A2}'"));
    insertMemoRow(connection, QStringLiteral("{B}"), QStringLiteral("root"), QStringLiteral("b"), false, 45004.5);
    insertMemoRow(connection, QStringLiteral("{B1}"), QStringLiteral("{B}"), QStringLiteral("b1"), false, 45005.5);
    insertMemoRow(connection, QStringLiteral("{C}"), QStringLiteral("root"), QStringLiteral("c"), false, 45006.5);
}

// The tree as the user sees its shape: texts in order, sub-memos in brackets, + for open.
QString shape(MemoPane &frame)
{
    QStringList memos;
    for (int i = 0; i < frame.tree()->topLevelCount(); ++i) {
        TreeNode *memo = frame.tree()->topLevelNode(i);
        QString text = memoOf(memo).content + (memo->isExpanded() ? QStringLiteral("+") : QString());
        QStringList subMemos;
        for (int j = 0; j < memo->childCount(); ++j)
            subMemos << memoOf(memo->child(j)).content + QLatin1Char('@') + memoOf(memo->child(j)).pid;
        if (!subMemos.isEmpty())
            text += QLatin1Char('[') + subMemos.join(QLatin1Char(' ')) + QLatin1Char(']');
        memos << text;
    }
    return memos.join(QLatin1Char(' '));
}

QStringList selectedTexts(MemoPane &frame)
{
    QStringList texts;
    for (TreeNode *node : frame.tree()->selectedNodes())
        texts << memoOf(node).content;
    return texts;
}

void select(MemoPane &frame, std::initializer_list<const char *> mids)
{
    frame.tree()->clearSelection();
    for (const char *mid : mids)
        frame.tree()->setSelected(findMemo(frame, QString::fromLatin1(mid)), true);
}

// Rows in the database and the tree's shape at one moment.
struct State {
    QList<QStringList> rows;
    QString tree;
    bool operator==(const State &other) const { return rows == other.rows && tree == other.tree; }
};

class UndoFixture {
public:
    UndoFixture()
    {
        seed(folder);
        program = std::make_unique<StartedProgram>(folder.path());
    }
    MemoPane &frame() const { return program->frame(); }
    // Every row with its rowid in table order, read past the program, and the tree's shape.
    State state() const
    {
        Database connection;
        connection.open(folder.file(QStringLiteral("kvData.kvb")));
        return {tableRows(connection, "memos", true), shape(frame())};
    }
    QAction *undo() const { return findAction(frame(), "undo"); }
    QAction *redo() const { return findAction(frame(), "redo"); }

    // Takes the newest step back and does it again, checking both ends against the database
    // and the tree; leaves it undone when asked.
    void backAndForth(const State &before, const char *name, bool leaveUndone = false)
    {
        const State after = state();
        QVERIFY2(!(after == before), name);
        QCOMPARE(undo()->text(), QStringLiteral("&Undo ") + QLatin1String(name));
        QVERIFY(undo()->isEnabled());
        undo()->trigger();
        QCOMPARE(state().rows, before.rows);
        QCOMPARE(state().tree, before.tree);
        QCOMPARE(redo()->text(), QStringLiteral("&Redo ") + QLatin1String(name));
        redo()->trigger();
        QCOMPARE(state().rows, after.rows);
        QCOMPARE(state().tree, after.tree);
        if (leaveUndone) {
            undo()->trigger();
            QCOMPARE(state().rows, before.rows);
        }
    }

    TestFolder folder;
    ScriptedPrompts prompts;
    std::unique_ptr<StartedProgram> program;
};

QPlainTextEdit *typeInto(MemoPane &frame, const QString &text)
{
    QPlainTextEdit *editor = openEditor(frame);
    if (editor) {
        editor->selectAll();
        QTest::keyClicks(editor, text);
    }
    return editor;
}

} // namespace

class TestMemoPaneUndo : public QObject {
    Q_OBJECT
private slots:
    void everyCommandGoesBackAndForthExactly();
    void undoBringsBackAndSelectsWhatWasDeleted();
    void importIsOneStepRemovingExactlyItsRows();
    void failureHalfwayChangesNothing();
    void historyIsPerSessionBoundedAndWaitsForEdits();
    void historyKeepsTheNewestStepsThatFitItsTextBound();
};

void TestMemoPaneUndo::everyCommandGoesBackAndForthExactly()
{
    UndoFixture f;
    MemoPane &frame = f.frame();
    QVERIFY(!f.undo()->isEnabled() && !f.redo()->isEnabled());
    QCOMPARE(f.undo()->text(), QStringLiteral("&Undo"));

    State before = f.state();
    select(frame, {"{A}"});
    frame.controller().deleteMemos();
    f.backAndForth(before, "Delete", true);

    // Move by menu into another memo carries the sub-memos, and opens the target.
    before = f.state();
    select(frame, {"{A}"});
    findNamed<MoveToMenu>(frame, "moveToMenu")->rebuild();
    QAction *intoC = nullptr;
    for (QAction *item : findNamed<MoveToMenu>(frame, "moveToMenu")->actions())
        intoC = item->text() == QLatin1String("c") ? item : intoC;
    QVERIFY(intoC);
    intoC->trigger();
    QCOMPARE(shape(frame), QStringLiteral("b[b1@{B}] c+[a@{C} a1@{C} a2@{C}]"));
    f.backAndForth(before, "Move", true);
    QCOMPARE(selectedTexts(frame), QStringList{QStringLiteral("a")}); // not the memo it went into

    // A drop of a sub-memo on another memo, and of a memo on blank space.
    before = f.state();
    select(frame, {"{A2}"});
    frame.drop(findMemo(frame, QStringLiteral("{B}")), nullptr, true);
    f.backAndForth(before, "Move", true);
    before = f.state();
    select(frame, {"{A}"});
    frame.drop(nullptr, nullptr, true);
    f.backAndForth(before, "Move", true);

    // Typing: a new memo, then an edit of an existing one.
    before = f.state();
    frame.controller().addMemo();
    QPlainTextEdit *editor = typeInto(frame, QStringLiteral("typed"));
    QVERIFY(editor);
    QTest::keyClick(editor, Qt::Key_Return, Qt::ControlModifier);
    f.backAndForth(before, "Add", true);
    before = f.state();
    select(frame, {"{C}"});
    frame.controller().editMemo();
    editor = typeInto(frame, QStringLiteral("c changed"));
    QVERIFY(editor);
    QTest::keyClick(editor, Qt::Key_Return, Qt::ControlModifier);
    f.backAndForth(before, "Edit", true);

    before = f.state();
    frame.controller().pasteAsMemo(QStringLiteral("pasted"));
    f.backAndForth(before, "Paste", true);
    before = f.state();
    QMimeData text;
    text.setText(QStringLiteral("dropped"));
    frame.drop(nullptr, &text, false);
    f.backAndForth(before, "Drop", true);

    before = f.state();
    frame.controller().expandAll();
    f.backAndForth(before, "Expand All", true);
    before = f.state();
    frame.controller().collapseAll();
    f.backAndForth(before, "Collapse All");

    // A new command after an undo ends the steps that could be done again.
    f.undo()->trigger();
    QVERIFY(f.redo()->isEnabled());
    frame.controller().pasteAsMemo(QStringLiteral("new"));
    QVERIFY(!f.redo()->isEnabled());
    QCOMPARE(f.undo()->text(), QStringLiteral("&Undo Paste"));

    // The commands are at the top of the Edit menu and of both context menus.
    QMenu *edit = nullptr;
    for (QAction *menu : f.program->mainWindow().menuBar()->actions())
        edit = menu->text() == QLatin1String("&Edit") ? menu->menu() : edit;
    QVERIFY(edit);
    QCOMPARE(edit->actions().mid(0, 2), (QList<QAction *>{f.undo(), f.redo()}));
    for (TreeNode *node : {findMemo(frame, QStringLiteral("{B}")), static_cast<TreeNode *>(nullptr)})
        QCOMPARE(frame.contextMenu(node)->actions().mid(0, 2), (QList<QAction *>{f.undo(), f.redo()}));
}

void TestMemoPaneUndo::undoBringsBackAndSelectsWhatWasDeleted()
{
    UndoFixture f;
    MemoPane &frame = f.frame();
    // Two memos with their sub-memos, then a lone sub-memo of the one left.
    const State start = f.state();
    select(frame, {"{A}", "{C}"});
    frame.controller().deleteMemos();
    const State withoutAC = f.state();
    select(frame, {"{B1}"});
    frame.controller().deleteMemos();
    QCOMPARE(shape(frame), QStringLiteral("b"));

    f.undo()->trigger();
    QCOMPARE(f.state(), withoutAC);
    QCOMPARE(selectedTexts(frame), QStringList{QStringLiteral("b1")});
    f.undo()->trigger();
    QCOMPARE(f.state(), start);
    QCOMPARE(selectedTexts(frame), (QStringList{QStringLiteral("a"), QStringLiteral("c")}));
    QCOMPARE(shape(frame), QStringLiteral("a+[a1@{A} a2@{A}] b[b1@{B}] c"));
    QVERIFY(!f.undo()->isEnabled());
    // Nothing was reloaded: the nodes that stayed are the same nodes.
    TreeNode *b = findMemo(frame, QStringLiteral("{B}"));
    const quint64 serial = b->serial();
    f.redo()->trigger();
    f.redo()->trigger();
    QVERIFY(frame.tree()->isAlive(b, serial));
    QCOMPARE(f.state().rows.size(), 1);
    QCOMPARE(shape(frame), QStringLiteral("b"));
}

void TestMemoPaneUndo::importIsOneStepRemovingExactlyItsRows()
{
    UndoFixture f;
    MemoPane &frame = f.frame();
    // Through the program's own connection: a write from another one is an outside change,
    // which ends the history.
    insertTaskRow(f.program->mainWindow().connection(),
                  {"{T}", "root", "task", "0", "0", "0", "0", "0", "45000.5", "45000.5", "0", "0", "0"});
    const QString file = f.folder.file(QStringLiteral("all.kvx"));
    f.prompts.fileAnswers << file << file;
    f.program->mainWindow().backupDatabase();
    const State before = f.state();
    const auto tasks = [&f] {
        Database connection;
        connection.open(f.folder.file(QStringLiteral("kvData.kvb")));
        return tableRows(connection, "tasks");
    };
    const QList<QStringList> tasksBefore = tasks();

    f.program->mainWindow().importFile();
    QTRY_COMPARE(frame.tree()->totalCount(), 12);
    QCOMPARE(f.undo()->text(), QStringLiteral("&Undo Import"));
    const State imported = f.state();
    QCOMPARE(tasks().size(), 2);

    // A memo added afterwards is its own step; the import's undo takes its rows only.
    frame.controller().pasteAsMemo(QStringLiteral("later"));
    f.undo()->trigger();
    f.undo()->trigger();
    QCOMPARE(f.state(), before);
    QCOMPARE(tasks(), tasksBefore);
    f.redo()->trigger();
    QCOMPARE(f.state().rows, imported.rows);
    QCOMPARE(f.state().tree, imported.tree);
    QCOMPARE(tasks().size(), 2);
    f.redo()->trigger();
    QCOMPARE(frame.tree()->totalCount(), 13);
}

void TestMemoPaneUndo::failureHalfwayChangesNothing()
{
    UndoFixture f;
    MemoPane &frame = f.frame();
    select(frame, {"{A}", "{C}"});
    frame.controller().deleteMemos();
    const State deleted = f.state();
    {
        // Another program refuses C coming back: A has been put back by then.
        Database other;
        other.open(f.folder.file(QStringLiteral("kvData.kvb")));
        other.execute(QStringLiteral("create trigger refuseC before insert on memos when new.mid='{C}'"
                                     " begin select raise(abort, 'C is refused'); end"));
    }
    f.undo()->trigger();
    QCOMPARE(f.state(), deleted);
    QVERIFY(f.prompts.lastText().contains(QStringLiteral("Undo Delete failed: C is refused")));
    QVERIFY(f.prompts.lastText().endsWith(QStringLiteral("The memos were left as they were.")));
    QCOMPARE(f.undo()->text(), QStringLiteral("&Undo Delete")); // still there to try again
    QVERIFY(!f.redo()->isEnabled());
    {
        Database other;
        other.open(f.folder.file(QStringLiteral("kvData.kvb")));
        other.execute(QStringLiteral("drop trigger refuseC"));
    }
    f.undo()->trigger();
    QCOMPARE(shape(frame), QStringLiteral("a+[a1@{A} a2@{A}] b[b1@{B}] c"));

    // A database that became read-only: the same, for a step done again.
    QFile::setPermissions(f.folder.file(QStringLiteral("kvData.kvb")), QFile::ReadOwner);
    f.program.reset();
    f.program = std::make_unique<StartedProgram>(f.folder.path());
    MemoPane &readOnly = f.frame();
    readOnly.controller().collapseAll(); // kept in memory only on a read-only file, and a step all the same
    QCOMPARE(shape(readOnly), QStringLiteral("a[a1@{A} a2@{A}] b[b1@{B}] c"));
    f.undo()->trigger();
    QCOMPARE(shape(readOnly), QStringLiteral("a+[a1@{A} a2@{A}] b[b1@{B}] c"));
}

void TestMemoPaneUndo::historyIsPerSessionBoundedAndWaitsForEdits()
{
    UndoFixture f;
    select(f.frame(), {"{A}"});
    f.frame().controller().deleteMemos();
    const State deleted = f.state();
    // A new session starts with no history; the delete was whole.
    f.program.reset();
    f.program = std::make_unique<StartedProgram>(f.folder.path());
    MemoPane &frame = f.frame();
    QVERIFY(!f.undo()->isEnabled());
    QCOMPARE(frame.controller().history().steps().count(), 0);
    QCOMPARE(f.state(), deleted);
    QCOMPARE(shape(frame), QStringLiteral("b[b1@{B}] c"));

    // While a memo is being edited the editor has the keys; the list's history waits.
    frame.controller().pasteAsMemo(QStringLiteral("p"));
    QVERIFY(f.undo()->isEnabled());
    markForEditing(frame, findMemo(frame, QStringLiteral("{C}")));
    QVERIFY(!f.undo()->isEnabled());
    frame.controller().undoStep();
    QCOMPARE(frame.controller().history().steps().index(), 1);
    frame.controller().commitOpenEdit();
    QVERIFY(f.undo()->isEnabled());

    // A reload clears it; so does an outside change announced to the pane.
    frame.reloadMemos();
    QVERIFY(!f.undo()->isEnabled());
    frame.controller().pasteAsMemo(QStringLiteral("q"));
    frame.controller().history().clear();
    QVERIFY(!f.undo()->isEnabled());

    // The newest hundred steps are kept.
    for (int i = 0; i < 105; ++i)
        frame.controller().pasteAsMemo(QString::number(i));
    QCOMPARE(frame.controller().history().steps().count(), 100);
    for (int i = 0; i < 100; ++i)
        f.undo()->trigger();
    QVERIFY(!f.undo()->isEnabled());
    QCOMPARE(frame.tree()->topLevelCount(), 9); // b, c, p, q and the first five pasted
}

void TestMemoPaneUndo::historyKeepsTheNewestStepsThatFitItsTextBound()
{
    // Three closed memos, each with two sub-memos of 7 million characters (28 MB in memory
    // per memo): the history holds one such delete, not two.
    TestFolder folder;
    {
        Database connection;
        connection.open(folder.file(QStringLiteral("kvData.kvb")));
        const QString big(7'000'000, QLatin1Char('x'));
        for (const char *memo : {"{P}", "{Q}", "{R}"}) {
            const QString mid = QString::fromLatin1(memo);
            insertMemoRow(connection, mid, QStringLiteral("root"), mid);
            for (const char *sub : {"1}", "2}"})
                insertMemoRow(connection, mid.chopped(1) + QLatin1String(sub), mid, big);
        }
        for (const char *small : {"{S}", "{T}"})
            insertMemoRow(connection, QString::fromLatin1(small), QStringLiteral("root"), QStringLiteral("small"));
    }
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    MemoPane &frame = program.frame();
    for (const char *mid : {"{P}", "{S}", "{T}", "{Q}"}) {
        select(frame, {mid});
        frame.controller().deleteMemos();
    }
    QCOMPARE(frame.controller().history().steps().count(), 3);
    // The steps kept are whole and go back newest first: Q with its sub-memos, then T, then S.
    findAction(frame, "undo")->trigger();
    QCOMPARE(shape(frame).replace(QString(7'000'000, QLatin1Char('x')), QStringLiteral("x")),
             QStringLiteral("{Q}[x@{Q} x@{Q}] {R}[x@{R} x@{R}]"));
    findAction(frame, "undo")->trigger();
    QVERIFY(findMemo(frame, QStringLiteral("{T}")) && !findMemo(frame, QStringLiteral("{S}")));
    findAction(frame, "undo")->trigger();
    QVERIFY(findMemo(frame, QStringLiteral("{S}")));
    QVERIFY(!findAction(frame, "undo")->isEnabled());
    for (int i = 0; i < 3; ++i)
        findAction(frame, "redo")->trigger();
    QCOMPARE(frame.tree()->topLevelCount(), 1);
}

JOTWELL_TEST_MAIN(TestMemoPaneUndo)
#include "tst_memopane_undo.moc"
