#include "TestSupport.h"
#include "app/Fm_Main.h"
#include "app/KvIniFile.h"
#include "memos/Fr_kvMemos.h"
#include "store/KvConnection.h"
#include "tree/KvVirtualTree.h"
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QtTest>
#include <sqlite3.h>

namespace {

// The ids of the memos the filter leaves shown, in tree order.
QStringList Shown(TkvMemosFrame &frame)
{
    QStringList ids;
    for (KvTreeNode *node = frame.VtMemos->firstNode(); node; node = frame.VtMemos->nextNode(node)) {
        if (node->isVisible() && (!node->parent() || node->parent()->isVisible()))
            ids << node->data.mid;
    }
    return ids;
}

void Type(TkvMemosFrame &frame, const QString &text)
{
    frame.Edt_Search->setFocus();
    QTRY_VERIFY(frame.FSearching);
    frame.Edt_Search->selectAll();
    QTest::keyClicks(frame.Edt_Search, text);
}

} // namespace

class TestMemosSearch : public QObject {
    Q_OBJECT
private:
    void seed(const TestFolder &folder)
    {
        KvConnection connection;
        connection.open(folder.file(QStringLiteral("kvData.kvb")));
        InsertMemoRow(connection, QStringLiteral("{A}"), QStringLiteral("root"), QStringLiteral("Shopping list"));
        InsertMemoRow(connection, QStringLiteral("{A1}"), QStringLiteral("{A}"), QStringLiteral("fresh bread"));
        InsertMemoRow(connection, QStringLiteral("{A2}"), QStringLiteral("{A}"), QStringLiteral("milk"));
        InsertMemoRow(connection, QStringLiteral("{B}"), QStringLiteral("root"), QStringLiteral("Memo about bread"));
        InsertMemoRow(connection, QStringLiteral("{B1}"), QStringLiteral("{B}"), QStringLiteral("rye"));
        InsertMemoRow(connection, QStringLiteral("{C}"), QStringLiteral("root"), QStringLiteral("memo in lower case"));
    }

private slots:
    void placeholderNeverFilters();
    void matchingIsCaseSensitiveAndTrimmed();
    void subMemoMatchShowsAndStoresItsMemo();
    void wideSearchShowsAllSubMemos();
    void clearingAndLeavingTheBox();
    void searchWithoutResultOffersToClear();
};

void TestMemosSearch::placeholderNeverFilters()
{
    TestFolder folder;
    seed(folder);
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    TkvMemosFrame &frame = program.frame();
    QCOMPARE(frame.Edt_Search->text(), QStringLiteral("  Search..."));
    QCOMPARE(frame.FSearchText, QStringLiteral("Search..."));
    QVERIFY(!frame.FSearching);
    QCOMPARE(Shown(frame).size(), 6);
    QVERIFY(frame.Btn_Search->toolTip().isEmpty());
}

void TestMemosSearch::matchingIsCaseSensitiveAndTrimmed()
{
    TestFolder folder;
    seed(folder);
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    TkvMemosFrame &frame = program.frame();

    Type(frame, QStringLiteral("memo"));
    QCOMPARE(Shown(frame), QStringList{QStringLiteral("{C}")});
    QCOMPARE(frame.Btn_Search->toolTip(), QStringLiteral("Clear search"));

    Type(frame, QStringLiteral("  Memo  "));
    QCOMPARE(frame.FSearchText, QStringLiteral("Memo"));
    QCOMPARE(Shown(frame), QStringList{QStringLiteral("{B}")});

    Type(frame, QStringLiteral("in lower"));
    QCOMPARE(Shown(frame), QStringList{QStringLiteral("{C}")});
    Type(frame, QStringLiteral("in  lower"));
    QVERIFY(Shown(frame).isEmpty());
}

void TestMemosSearch::subMemoMatchShowsAndStoresItsMemo()
{
    TestFolder folder;
    seed(folder);
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    TkvMemosFrame &frame = program.frame();
    QVERIFY(!FindMemo(frame, QStringLiteral("{A}"))->isExpanded());

    Type(frame, QStringLiteral("bread"));
    // {A} does not match but shows for its sub-memo, expanded; its other sub-memo stays hidden.
    QCOMPARE(Shown(frame), QStringList({QStringLiteral("{B}"), QStringLiteral("{A}"), QStringLiteral("{A1}")}));
    QVERIFY(FindMemo(frame, QStringLiteral("{A}"))->isExpanded());
    QCOMPARE(StoredExpandFlag(program.mainFm(), QStringLiteral("{A}")), 1);
    QCOMPARE(StoredExpandFlag(program.mainFm(), QStringLiteral("{B}")), 0);
}

void TestMemosSearch::wideSearchShowsAllSubMemos()
{
    TestFolder folder;
    seed(folder);
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    TkvMemosFrame &frame = program.frame();
    const QString ini = folder.file(QStringLiteral("kvConf.ini"));

    // Toggled while idle: nothing to filter, but the choice is kept.
    frame.Action_searchWide->trigger();
    QVERIFY(frame.Action_searchWide->isChecked());
    QCOMPARE(KvIniFile(ini).readString(QStringLiteral("memo"), QStringLiteral("searchWideEn")), QStringLiteral("1"));
    QCOMPARE(Shown(frame).size(), 6);

    Type(frame, QStringLiteral("Shopping"));
    QCOMPARE(Shown(frame), QStringList({QStringLiteral("{A}"), QStringLiteral("{A1}"), QStringLiteral("{A2}")}));
    QVERIFY(FindMemo(frame, QStringLiteral("{A}"))->isExpanded());

    frame.Action_searchWide->trigger();
    QCOMPARE(Shown(frame), QStringList{QStringLiteral("{A}")});
    QCOMPARE(KvIniFile(ini).readString(QStringLiteral("memo"), QStringLiteral("searchWideEn")), QStringLiteral("0"));
}

void TestMemosSearch::clearingAndLeavingTheBox()
{
    TestFolder folder;
    seed(folder);
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    TkvMemosFrame &frame = program.frame();

    // Leaving the box with text keeps the filter; coming back keeps the text.
    Type(frame, QStringLiteral("milk"));
    frame.VtMemos->setFocus();
    QTRY_VERIFY(!frame.Edt_Search->hasFocus());
    QVERIFY(frame.FSearching);
    QCOMPARE(Shown(frame), QStringList({QStringLiteral("{A}"), QStringLiteral("{A2}")}));
    frame.Edt_Search->setFocus();
    QTRY_VERIFY(frame.Edt_Search->hasFocus());
    QCOMPARE(frame.Edt_Search->text(), QStringLiteral("milk"));

    // Ctrl+A selects the text, Esc clears the search and returns to the tree.
    frame.Edt_Search->deselect();
    QTest::keyClick(frame.Edt_Search, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(frame.Edt_Search->selectedText(), QStringLiteral("milk"));
    QTest::keyClick(frame.Edt_Search, Qt::Key_Escape);
    QVERIFY(!frame.FSearching);
    QCOMPARE(frame.Edt_Search->text(), QStringLiteral("  Search..."));
    QCOMPARE(Shown(frame).size(), 6);
    QTRY_VERIFY(frame.VtMemos->hasFocus());

    // Leaving an empty box returns it to its placeholder.
    frame.Edt_Search->setFocus();
    QTRY_VERIFY(frame.FSearching);
    QCOMPARE(frame.Edt_Search->text(), QString());
    frame.VtMemos->setFocus();
    QTRY_VERIFY(!frame.FSearching);
    QCOMPARE(frame.Edt_Search->text(), QStringLiteral("  Search..."));

    // The clear button enters the idle box, and clears an active one.
    frame.Btn_Search->click();
    QTRY_VERIFY(frame.FSearching);
    QTest::keyClicks(frame.Edt_Search, QStringLiteral("rye"));
    QCOMPARE(Shown(frame), QStringList({QStringLiteral("{B}"), QStringLiteral("{B1}")}));
    frame.Btn_Search->click();
    QVERIFY(!frame.FSearching);
    QCOMPARE(Shown(frame).size(), 6);
}

void TestMemosSearch::searchWithoutResultOffersToClear()
{
    TestFolder folder;
    seed(folder);
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    TkvMemosFrame &frame = program.frame();
    Type(frame, QStringLiteral("nothing like this"));
    QVERIFY(Shown(frame).isEmpty());
    QCOMPARE(frame.FTipMode, 3);
    QCOMPARE(frame.label_tip->text(), QStringLiteral("Search no result"));
    Type(frame, QStringLiteral("rye"));
    QCOMPARE(frame.FTipMode, 0);
}

JOTWELL_TEST_MAIN(TestMemosSearch)
#include "tst_memos_search.moc"
