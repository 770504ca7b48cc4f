// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestSupport.h"
#include "gui/MainWindow.h"
#include "core/SettingsFile.h"
#include "gui/MemoPane.h"
#include "gui/memos/TipPanel.h"
#include "gui/memos/SearchBar.h"
#include "gui/memos/MemoNode.h"
#include "core/Database.h"
#include "treeview/MemoTree.h"
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QtTest>
#include <sqlite3.h>

namespace {

// The ids of the memos the filter leaves shown, in tree order.
QStringList shown(MemoPane &frame)
{
    QStringList ids;
    for (TreeNode *node = frame.tree()->firstNode(); node; node = frame.tree()->nextNode(node)) {
        if (node->isVisible() && (!node->parent() || node->parent()->isVisible()))
            ids << memoOf(node).mid;
    }
    return ids;
}

void type(MemoPane &frame, const QString &text)
{
    findNamed<QLineEdit>(frame, "searchBox")->setFocus();
    QTRY_VERIFY(frame.searchBar().isSearching());
    findNamed<QLineEdit>(frame, "searchBox")->selectAll();
    QTest::keyClicks(findNamed<QLineEdit>(frame, "searchBox"), text);
}

} // namespace

class TestMemosSearch : public QObject {
    Q_OBJECT
private:
    void seed(const TestFolder &folder)
    {
        Database connection;
        connection.open(folder.file(QStringLiteral("kvData.kvb")));
        insertMemoRow(connection, QStringLiteral("{A}"), QStringLiteral("root"), QStringLiteral("Shopping list"));
        insertMemoRow(connection, QStringLiteral("{A1}"), QStringLiteral("{A}"), QStringLiteral("fresh bread"));
        insertMemoRow(connection, QStringLiteral("{A2}"), QStringLiteral("{A}"), QStringLiteral("milk"));
        insertMemoRow(connection, QStringLiteral("{B}"), QStringLiteral("root"), QStringLiteral("Memo about bread"));
        insertMemoRow(connection, QStringLiteral("{B1}"), QStringLiteral("{B}"), QStringLiteral("rye"));
        insertMemoRow(connection, QStringLiteral("{C}"), QStringLiteral("root"), QStringLiteral("memo in lower case"));
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
    MemoPane &frame = program.frame();
    QCOMPARE(findNamed<QLineEdit>(frame, "searchBox")->text(), QStringLiteral("  Search..."));
    QCOMPARE(frame.searchBar().searchText(), QStringLiteral("Search..."));
    QVERIFY(!frame.searchBar().isSearching());
    QCOMPARE(shown(frame).size(), 6);
    QVERIFY(findNamed<QToolButton>(frame, "searchButton")->toolTip().isEmpty());
}

void TestMemosSearch::matchingIsCaseSensitiveAndTrimmed()
{
    TestFolder folder;
    seed(folder);
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    MemoPane &frame = program.frame();

    type(frame, QStringLiteral("memo"));
    QCOMPARE(shown(frame), QStringList{QStringLiteral("{C}")});
    QCOMPARE(findNamed<QToolButton>(frame, "searchButton")->toolTip(), QStringLiteral("Clear search"));

    type(frame, QStringLiteral("  Memo  "));
    QCOMPARE(frame.searchBar().searchText(), QStringLiteral("Memo"));
    QCOMPARE(shown(frame), QStringList{QStringLiteral("{B}")});

    type(frame, QStringLiteral("in lower"));
    QCOMPARE(shown(frame), QStringList{QStringLiteral("{C}")});
    type(frame, QStringLiteral("in  lower"));
    QVERIFY(shown(frame).isEmpty());
}

void TestMemosSearch::subMemoMatchShowsAndStoresItsMemo()
{
    TestFolder folder;
    seed(folder);
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    MemoPane &frame = program.frame();
    QVERIFY(!findMemo(frame, QStringLiteral("{A}"))->isExpanded());

    type(frame, QStringLiteral("bread"));
    // {A} does not match but shows for its sub-memo, expanded; its other sub-memo stays hidden.
    QCOMPARE(shown(frame), QStringList({QStringLiteral("{B}"), QStringLiteral("{A}"), QStringLiteral("{A1}")}));
    QVERIFY(findMemo(frame, QStringLiteral("{A}"))->isExpanded());
    QCOMPARE(storedExpandFlag(program.mainWindow(), QStringLiteral("{A}")), 1);
    QCOMPARE(storedExpandFlag(program.mainWindow(), QStringLiteral("{B}")), 0);
}

void TestMemosSearch::wideSearchShowsAllSubMemos()
{
    TestFolder folder;
    seed(folder);
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    MemoPane &frame = program.frame();
    const QString ini = folder.file(QStringLiteral("kvConf.ini"));

    // Toggled while idle: nothing to filter, but the choice is kept.
    findAction(frame, "wideSearch")->trigger();
    QVERIFY(findAction(frame, "wideSearch")->isChecked());
    QCOMPARE(SettingsFile(ini).readString(QStringLiteral("memo"), QStringLiteral("searchWideEn")), QStringLiteral("1"));
    QCOMPARE(shown(frame).size(), 6);

    type(frame, QStringLiteral("Shopping"));
    QCOMPARE(shown(frame), QStringList({QStringLiteral("{A}"), QStringLiteral("{A1}"), QStringLiteral("{A2}")}));
    QVERIFY(findMemo(frame, QStringLiteral("{A}"))->isExpanded());

    findAction(frame, "wideSearch")->trigger();
    QCOMPARE(shown(frame), QStringList{QStringLiteral("{A}")});
    QCOMPARE(SettingsFile(ini).readString(QStringLiteral("memo"), QStringLiteral("searchWideEn")), QStringLiteral("0"));
}

void TestMemosSearch::clearingAndLeavingTheBox()
{
    TestFolder folder;
    seed(folder);
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    MemoPane &frame = program.frame();

    // Leaving the box with text keeps the filter; coming back keeps the text.
    type(frame, QStringLiteral("milk"));
    frame.tree()->setFocus();
    QTRY_VERIFY(!findNamed<QLineEdit>(frame, "searchBox")->hasFocus());
    QVERIFY(frame.searchBar().isSearching());
    QCOMPARE(shown(frame), QStringList({QStringLiteral("{A}"), QStringLiteral("{A2}")}));
    findNamed<QLineEdit>(frame, "searchBox")->setFocus();
    QTRY_VERIFY(findNamed<QLineEdit>(frame, "searchBox")->hasFocus());
    QCOMPARE(findNamed<QLineEdit>(frame, "searchBox")->text(), QStringLiteral("milk"));

    // Ctrl+A selects the text, Esc clears the search and returns to the tree.
    findNamed<QLineEdit>(frame, "searchBox")->deselect();
    QTest::keyClick(findNamed<QLineEdit>(frame, "searchBox"), Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(findNamed<QLineEdit>(frame, "searchBox")->selectedText(), QStringLiteral("milk"));
    QTest::keyClick(findNamed<QLineEdit>(frame, "searchBox"), Qt::Key_Escape);
    QVERIFY(!frame.searchBar().isSearching());
    QCOMPARE(findNamed<QLineEdit>(frame, "searchBox")->text(), QStringLiteral("  Search..."));
    QCOMPARE(shown(frame).size(), 6);
    QTRY_VERIFY(frame.tree()->hasFocus());

    // Leaving an empty box returns it to its placeholder.
    findNamed<QLineEdit>(frame, "searchBox")->setFocus();
    QTRY_VERIFY(frame.searchBar().isSearching());
    QCOMPARE(findNamed<QLineEdit>(frame, "searchBox")->text(), QString());
    frame.tree()->setFocus();
    QTRY_VERIFY(!frame.searchBar().isSearching());
    QCOMPARE(findNamed<QLineEdit>(frame, "searchBox")->text(), QStringLiteral("  Search..."));

    // The clear button enters the idle box, and clears an active one.
    findNamed<QToolButton>(frame, "searchButton")->click();
    QTRY_VERIFY(frame.searchBar().isSearching());
    QTest::keyClicks(findNamed<QLineEdit>(frame, "searchBox"), QStringLiteral("rye"));
    QCOMPARE(shown(frame), QStringList({QStringLiteral("{B}"), QStringLiteral("{B1}")}));
    findNamed<QToolButton>(frame, "searchButton")->click();
    QVERIFY(!frame.searchBar().isSearching());
    QCOMPARE(shown(frame).size(), 6);
}

void TestMemosSearch::searchWithoutResultOffersToClear()
{
    TestFolder folder;
    seed(folder);
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    MemoPane &frame = program.frame();
    type(frame, QStringLiteral("nothing like this"));
    QVERIFY(shown(frame).isEmpty());
    QCOMPARE(frame.tipPanel().mode(), TipMode::NoSearchResult);
    QCOMPARE(findNamed<QLabel>(frame, "tipLabel")->text(), QStringLiteral("Search no result"));
    type(frame, QStringLiteral("rye"));
    QCOMPARE(frame.tipPanel().mode(), TipMode::None);

    // The box active but empty: a delete that empties the list is a search without result too.
    findNamed<QLineEdit>(frame, "searchBox")->clear();
    QCOMPARE(shown(frame).size(), 6);
    frame.tree()->selectAllVisible();
    findAction(frame, "delete")->trigger();
    QCOMPARE(frame.tree()->totalCount(), 0);
    QVERIFY(frame.searchBar().isSearching());
    QCOMPARE(frame.tipPanel().mode(), TipMode::NoSearchResult);
}

JOTWELL_TEST_MAIN(TestMemosSearch)
#include "tst_memopane_search.moc"
