// SPDX-License-Identifier: GPL-3.0-or-later
// The memo commands on a list and a database, without a window around them.
#include "TestSupport.h"
#include "gui/memos/MemoController.h"
#include "gui/memos/MemoHistory.h"
#include "gui/memos/MemoNode.h"
#include "core/ConflictCopy.h"
#include "core/Database.h"
#include "core/MemoStore.h"
#include "treeview/MemoTree.h"
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QtTest>

namespace {

// A list and its controller on a database seeded with memos "{A}" "a", "{A1}" "a1" under it,
// "{B}" "b", and two rows the two levels leave out: one under a missing memo, one under a sub-memo.
struct Fixture {
    Fixture()
    {
        database.open(folder.file(QStringLiteral("kvData.kvb")));
        insertMemoRow(database, QStringLiteral("{A}"), QStringLiteral("root"), QStringLiteral("a"));
        insertMemoRow(database, QStringLiteral("{A1}"), QStringLiteral("{A}"), QStringLiteral("a1"));
        insertMemoRow(database, QStringLiteral("{B}"), QStringLiteral("root"), QStringLiteral("b"));
        insertMemoRow(database, QStringLiteral("{X1}"), QStringLiteral("{X}"), QStringLiteral("orphan"));
        insertMemoRow(database, QStringLiteral("{A11}"), QStringLiteral("{A1}"), QStringLiteral("too deep"));
        list.reload();
    }
    TreeNode *node(const QString &content) const
    {
        for (TreeNode *node = tree.firstNode(); node; node = tree.nextNode(node))
            if (memoOf(node).content == content)
                return node;
        return nullptr;
    }
    // "a[a1] b": the shown memos in order, sub-memos in brackets.
    QString shape() const
    {
        QStringList memos;
        for (int i = 0; i < tree.topLevelCount(); ++i) {
            TreeNode *memo = tree.topLevelNode(i);
            if (!memo->isVisible())
                continue;
            QStringList subMemos;
            for (TreeNode *sub = memo->firstChild(); sub; sub = sub->nextSibling())
                if (sub->isVisible())
                    subMemos << memoOf(sub).content;
            memos << memoOf(memo).content + (subMemos.isEmpty() ? QString() : QLatin1Char('[') + subMemos.join(QLatin1Char(' ')) + QLatin1Char(']'));
        }
        return memos.join(QLatin1Char(' '));
    }
    QStringList stored()
    {
        QStringList texts;
        for (const Memo &memo : MemoStore(database).allMemos())
            texts << memo.content;
        texts.sort();
        return texts;
    }

    ScriptedPrompts prompts;
    TestFolder folder;
    Database database;
    MemoStore store{database};
    MemoTree tree{nullptr, makeMemoNode};
    MemoController list{tree, store, nullptr};
};

} // namespace

class TestMemoController : public QObject {
    Q_OBJECT
private slots:
    void loadsTwoLevels();
    void filters_data();
    void filters();
    void deleteMoveAndPasteAreSteps();
    void editKeepsAnOutsideChange_data();
    void editKeepsAnOutsideChange();
};

void TestMemoController::loadsTwoLevels()
{
    Fixture f;
    QVERIFY(f.list.hasLoaded());
    QCOMPARE(f.shape(), QStringLiteral("a[a1] b"));
    QSignalSpy counted(&f.list, &MemoController::memosCounted);
    f.list.reload();
    QCOMPARE(counted.value(0).value(0).toLongLong(), 5); // every row is counted, shown or not
}

void TestMemoController::filters_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("wide");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("noResult");
    QTest::newRow("no search") << QString() << false << QStringLiteral("a[a1] b") << false;
    QTest::newRow("a memo") << QStringLiteral("b") << false << QStringLiteral("b") << false;
    QTest::newRow("a sub-memo shows its memo") << QStringLiteral("a1") << false << QStringLiteral("a[a1]") << false;
    QTest::newRow("wide shows all sub-memos") << QStringLiteral("a") << true << QStringLiteral("a[a1]") << false;
    QTest::newRow("nothing") << QStringLiteral("zzz") << false << QString() << true;
}

void TestMemoController::filters()
{
    QFETCH(QString, text);
    QFETCH(bool, wide);
    Fixture f;
    QSignalSpy tips(&f.list, &MemoController::tipWanted);
    f.list.setSearch({text, true, wide});
    f.list.applyFilter();
    QTEST(f.shape(), "shown");
    QTEST(tips.last().value(0).value<TipMode>() == TipMode::NoSearchResult, "noResult");
}

void TestMemoController::deleteMoveAndPasteAreSteps()
{
    Fixture f;
    const QStringList seeded = f.stored();
    f.tree.setSelected(f.node(QStringLiteral("a")), true);
    f.list.deleteMemos();
    QCOMPARE(f.shape(), QStringLiteral("b"));
    QVERIFY(!f.stored().contains(QStringLiteral("a1"))); // with its sub-memo
    f.list.undoStep();
    QCOMPARE(f.shape(), QStringLiteral("a[a1] b"));
    QCOMPARE(f.stored(), seeded);

    f.tree.clearSelection();
    f.tree.setSelected(f.node(QStringLiteral("a1")), true);
    f.list.moveSelectedMemos(nullptr, MemoTree::AttachMode::AddChildFirst);
    QCOMPARE(f.shape(), QStringLiteral("a1 a b"));
    f.list.pasteAsMemo(QStringLiteral("pasted\nline"));
    QVERIFY(f.stored().contains(QStringLiteral("pasted\r\nline")));
    QCOMPARE(f.list.history().steps().count(), 2); // the move ended the delete's redo
    f.list.undoStep();
    f.list.undoStep();
    QCOMPARE(f.shape(), QStringLiteral("a[a1] b"));
    f.list.redoStep();
    QCOMPARE(f.shape(), QStringLiteral("a1 a b"));
}

void TestMemoController::editKeepsAnOutsideChange_data()
{
    QTest::addColumn<QString>("edited");
    QTest::addColumn<QString>("outside");
    QTest::addColumn<QString>("shown"); // after a reload
    const QString copy = kConflictMark + QStringLiteral("outside");
    QTest::newRow("changed") << QStringLiteral("b") << QStringLiteral("update memos set content='outside' where mid='{B}'")
                             << QStringLiteral("a[a1] typed ") + copy;
    QTest::newRow("changed to the typed text") << QStringLiteral("b")
                                               << QStringLiteral("update memos set content='typed' where mid='{B}'")
                                               << QStringLiteral("a[a1] typed");
    QTest::newRow("sub-memo changed") << QStringLiteral("a1")
                                      << QStringLiteral("update memos set content='outside' where mid='{A1}'")
                                      << QStringLiteral("a[typed ") + copy + QStringLiteral("] b");
    QTest::newRow("deleted") << QStringLiteral("b") << QStringLiteral("delete from memos where mid='{B}'")
                             << QStringLiteral("a[a1] typed");
    QTest::newRow("deleted with its memo") << QStringLiteral("a1")
                                           << QStringLiteral("delete from memos where mid in ('{A}', '{A1}')")
                                           << QStringLiteral("b typed");
}

void TestMemoController::editKeepsAnOutsideChange()
{
    QFETCH(QString, edited);
    QFETCH(QString, outside);
    QFETCH(QString, shown);
    Fixture f;
    f.tree.setSelected(f.node(edited), true);
    f.list.editMemo();
    QVERIFY(QTest::qWaitFor([&f] { return f.tree.isEditing(); }, 5000));
    f.database.execute(outside);
    f.tree.findChild<QPlainTextEdit *>()->setPlainText(QStringLiteral("typed"));
    f.list.commitOpenEdit();
    QCOMPARE(f.list.unsavedCount(), 0);
    // Undo takes back the typing alone: the other writer's text stays.
    f.list.undoStep();
    QCOMPARE(f.stored().filter(kConflictMark).size(), shown.count(kConflictMark));
    f.list.redoStep();
    f.list.reload();
    QCOMPARE(f.shape(), shown);
}

JOTWELL_TEST_MAIN(TestMemoController)
#include "tst_memocontroller.moc"
