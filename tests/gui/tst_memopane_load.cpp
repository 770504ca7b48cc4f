// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestSupport.h"
#include "gui/memos/MoveToMenu.h"
#include "gui/MainWindow.h"
#include "core/SettingsFile.h"
#include "desktop/WindowPlacement.h"
#include "gui/StatusBar.h"
#include "gui/MemoPane.h"
#include "gui/memos/TipPanel.h"
#include "gui/memos/SearchBar.h"
#include "gui/memos/MemoStatusBar.h"
#include "gui/memos/MemoRowPainter.h"
#include "gui/memos/MemoNode.h"
#include "core/Database.h"
#include "treeview/MemoTree.h"
#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QtTest>
#include <sqlite3.h>

namespace {

// Builds a database in folder before the program opens it.
class Seed {
public:
    explicit Seed(const TestFolder &folder) { m_connection.open(folder.file(QStringLiteral("kvData.kvb"))); }
    Seed &memo(const QString &mid, const QString &content, bool expanded = false)
    {
        insertMemoRow(m_connection, mid, QStringLiteral("root"), content, expanded);
        return *this;
    }
    Seed &sub(const QString &mid, const QString &pid, const QString &content)
    {
        insertMemoRow(m_connection, mid, pid, content);
        return *this;
    }

private:
    Database m_connection;
};

QStringList texts(MemoPane &frame, TreeNode *parent = nullptr)
{
    QStringList texts;
    const int count = parent ? parent->childCount() : frame.tree()->topLevelCount();
    for (int i = 0; i < count; ++i)
        texts << frame.rowPainter()->nodeText(parent ? parent->child(i) : frame.tree()->topLevelNode(i));
    return texts;
}

QString iniValue(const TestFolder &folder, const QString &section, const QString &key)
{
    return SettingsFile(folder.file(QStringLiteral("kvConf.ini"))).readString(section, key, QStringLiteral("<none>"));
}

} // namespace

class TestMemosLoad : public QObject {
    Q_OBJECT
private slots:
    void loadsTwoLevelsOnly();
    void subMemosAheadOfTheirMemoKeepTableOrder();
    void emptyDatabase();
    void sortsStablyBothWays();
    void listViewNumbersAndFlattens();
    void expandStateIsStoredOnlyOnChange();
    void refreshCommandsFollowsSelectionAndEdit();
    void selectAllTakesVisibleNodesOnly();
    void selectionShowsCreationTime();
    void unwritableSettingsStillShowMemos();
};

void TestMemosLoad::loadsTwoLevelsOnly()
{
    TestFolder folder;
    Seed(folder)
        .memo(QStringLiteral("{A}"), QStringLiteral("memo a"), true)
        .sub(QStringLiteral("{A1}"), QStringLiteral("{A}"), QStringLiteral("sub a1"))
        .sub(QStringLiteral("{A11}"), QStringLiteral("{A1}"), QStringLiteral("too deep"))
        .sub(QStringLiteral("{X}"), QStringLiteral("{gone}"), QStringLiteral("orphan"))
        .memo(QStringLiteral("{B}"), QStringLiteral("memo b"), false)
        .sub(QStringLiteral("{B1}"), QStringLiteral("{B}"), QStringLiteral("sub b1"));
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    MemoPane &frame = program.frame();

    QCOMPARE(frame.tree()->totalCount(), 4);
    TreeNode *a = findMemo(frame, QStringLiteral("{A}"));
    TreeNode *b = findMemo(frame, QStringLiteral("{B}"));
    QVERIFY(a && b);
    QCOMPARE(a->childCount(), 1);
    QCOMPARE(memoOf(a->child(0)).content, QStringLiteral("sub a1"));
    QCOMPARE(memoOf(a->child(0)).pid, QStringLiteral("{A}"));
    QVERIFY(a->isExpanded() && memoOf(a).expandFlag);
    QVERIFY(!b->isExpanded());
    QVERIFY(a->child(0)->isMultiline());
    QCOMPARE(a->child(0)->verticalAlignment(), 0);
    QCOMPARE(frame.tree()->visibleCount(), 3); // b's sub-memo is collapsed
    // Every row counts, also those the tree does not show.
    QCOMPARE(iniValue(folder, QStringLiteral("log"), QStringLiteral("privateMemos")), QStringLiteral("6"));
    QCOMPARE(iniValue(folder, QStringLiteral("log"), QStringLiteral("publicMemos")), QStringLiteral("0"));
    QCOMPARE(frame.tree()->hint(), QStringLiteral("Double click to add a Memo!"));
    QVERIFY(prompts.shown.isEmpty());
    QCOMPARE(program.mainWindow().menuBar()->objectName(), QStringLiteral("menuBar"));
}

void TestMemosLoad::subMemosAheadOfTheirMemoKeepTableOrder()
{
    // Rows moved under a memo stored after them: the load meets them first. Equal texts, so
    // that the stable sort keeps the order the load gave.
    TestFolder folder;
    Seed(folder)
        .sub(QStringLiteral("{C2}"), QStringLiteral("{C}"), QStringLiteral("same"))
        .sub(QStringLiteral("{D1}"), QStringLiteral("{C2}"), QStringLiteral("under a sub-memo"))
        .memo(QStringLiteral("{C}"), QStringLiteral("memo c"), true)
        .sub(QStringLiteral("{C1}"), QStringLiteral("{C}"), QStringLiteral("same"))
        .sub(QStringLiteral("{C3}"), QStringLiteral("{C}"), QStringLiteral("same"));
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    MemoPane &frame = program.frame();

    QCOMPARE(frame.tree()->totalCount(), 4);
    TreeNode *c = findMemo(frame, QStringLiteral("{C}"));
    QVERIFY(c && c->isExpanded());
    QStringList order;
    for (int i = 0; i < c->childCount(); ++i)
        order << memoOf(c->child(i)).mid + QLatin1Char(':') + memoOf(c->child(i)).pid;
    QCOMPARE(order, QStringList({"{C2}:{C}", "{C1}:{C}", "{C3}:{C}"}));
}

void TestMemosLoad::emptyDatabase()
{
    TestFolder folder;
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    MemoPane &frame = program.frame();
    QCOMPARE(frame.tree()->totalCount(), 0);
    QVERIFY(QFile::exists(folder.file(QStringLiteral("kvData.kvb"))));
    QCOMPARE(iniValue(folder, QStringLiteral("log"), QStringLiteral("privateMemos")), QStringLiteral("0"));
    QVERIFY(MemoStatusBar::kTips.contains(findNamed<StatusBar>(frame, "statusBar")->panelText()));
    QCOMPARE(frame.tipPanel().mode(), TipMode::AddMemo);
    QCOMPARE(findNamed<QLabel>(frame, "tipLabel")->text(), QStringLiteral("Click here to Add a new Item."));
    QCOMPARE(findNamed<QLineEdit>(frame, "searchBox")->text(), QStringLiteral("  Search..."));
    QVERIFY(!frame.searchBar().isSearching());
}

void TestMemosLoad::sortsStablyBothWays()
{
    TestFolder folder;
    Seed(folder)
        .memo(QStringLiteral("{1}"), QStringLiteral("cherry"))
        .memo(QStringLiteral("{2}"), QStringLiteral("Same"))
        .memo(QStringLiteral("{3}"), QStringLiteral("apple"))
        .memo(QStringLiteral("{4}"), QStringLiteral("SAME"))
        .memo(QStringLiteral("{5}"), QStringLiteral("Banana"))
        .memo(QStringLiteral("{6}"), QStringLiteral("app"))
        .sub(QStringLiteral("{61}"), QStringLiteral("{6}"), QStringLiteral("zed"))
        .sub(QStringLiteral("{62}"), QStringLiteral("{6}"), QStringLiteral("Alpha"));
    ScriptedPrompts prompts;
    {
        StartedProgram program(folder.path());
        MemoPane &frame = program.frame();
        QCOMPARE(texts(frame), QStringList({"app", "apple", "Banana", "cherry", "Same", "SAME"}));
        QCOMPARE(texts(frame, findMemo(frame, QStringLiteral("{6}"))), QStringList({"Alpha", "zed"}));
        QCOMPARE(findAction(frame, "sort")->toolTip(), QStringLiteral("Descending Sort"));

        findAction(frame, "sort")->trigger();
        // Equal texts keep their order in both directions.
        QCOMPARE(texts(frame), QStringList({"Same", "SAME", "cherry", "Banana", "apple", "app"}));
        QCOMPARE(texts(frame, findMemo(frame, QStringLiteral("{6}"))), QStringList({"zed", "Alpha"}));
        QCOMPARE(findAction(frame, "sort")->toolTip(), QStringLiteral("Ascending Sort"));
        QCOMPARE(iniValue(folder, QStringLiteral("memo"), QStringLiteral("viewAscEn")), QStringLiteral("0"));
    }
    // The direction survives a restart.
    StartedProgram program(folder.path());
    QCOMPARE(texts(program.frame()), QStringList({"Same", "SAME", "cherry", "Banana", "apple", "app"}));
    QCOMPARE(findAction(program.frame(), "sort")->toolTip(), QStringLiteral("Ascending Sort"));
}

void TestMemosLoad::listViewNumbersAndFlattens()
{
    TestFolder folder;
    Seed(folder)
        .memo(QStringLiteral("{A}"), QStringLiteral("alpha\r\nsecond\r\nthird"), true)
        .sub(QStringLiteral("{A1}"), QStringLiteral("{A}"), QStringLiteral("one"))
        .sub(QStringLiteral("{A2}"), QStringLiteral("{A}"), QStringLiteral("two"))
        .memo(QStringLiteral("{B}"), QString());
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    MemoPane &frame = program.frame();
    TreeNode *a = findMemo(frame, QStringLiteral("{A}"));
    TreeNode *empty = findMemo(frame, QStringLiteral("{B}"));

    QCOMPARE(frame.rowPainter()->nodeText(a), QStringLiteral("alpha\r\nsecond\r\nthird"));
    QCOMPARE(frame.rowPainter()->nodeText(empty), QStringLiteral("Input content here"));
    const int plainHeight = frame.rowPainter()->nodeHeight(a);
    QCOMPARE(plainHeight, frame.tree()->textHeight(a, QStringLiteral("l\nl\nl")) + 4);

    findAction(frame, "listView")->trigger();
    QVERIFY(findAction(frame, "listView")->isChecked());
    QCOMPARE(iniValue(folder, QStringLiteral("memo"), QStringLiteral("viewListEn")), QStringLiteral("1"));
    // Ascending: "" sorts before "alpha".
    QCOMPARE(texts(frame), QStringList({"Input content here", "2. alpha  second  third"}));
    QCOMPARE(texts(frame, a), QStringList({"(1) one", "(2) two"}));
    QCOMPARE(frame.rowPainter()->nodeText(a->child(1)), QStringLiteral("(2) two"));
    const int listHeight = frame.rowPainter()->nodeHeight(a);
    QCOMPARE(listHeight, frame.tree()->textHeight(a, QStringLiteral("l")) + 4);

    // The memo the mouse rests on shows all its lines, and stays open over blank space.
    auto moveMouse = [&](const QPoint &pos) {
        QWidget *viewport = frame.tree()->viewport();
        QMouseEvent move(QEvent::MouseMove, pos, viewport->mapToGlobal(pos), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &move);
    };
    moveMouse(frame.tree()->nodeRect(a).center());
    QTRY_COMPARE(frame.rowPainter()->hoveredNode(), a);
    QCOMPARE(frame.rowPainter()->nodeText(a), QStringLiteral("2. alpha\r\nsecond\r\nthird"));
    moveMouse(QPoint(5, frame.tree()->viewport()->height() - 2));
    QTest::qWait(400); // past the hover's rest
    QCOMPARE(frame.rowPainter()->hoveredNode(), a);

    findAction(frame, "sort")->trigger();
    QCOMPARE(texts(frame), QStringList({"1. alpha\r\nsecond\r\nthird", "Input content here"}));
    QCOMPARE(texts(frame, a), QStringList({"(1) two", "(2) one"}));

    findAction(frame, "listView")->trigger();
    QCOMPARE(iniValue(folder, QStringLiteral("memo"), QStringLiteral("viewListEn")), QStringLiteral("0"));
    QCOMPARE(frame.rowPainter()->nodeText(a), QStringLiteral("alpha\r\nsecond\r\nthird"));
}

void TestMemosLoad::expandStateIsStoredOnlyOnChange()
{
    TestFolder folder;
    Seed(folder)
        .memo(QStringLiteral("{A}"), QStringLiteral("a"), false)
        .sub(QStringLiteral("{A1}"), QStringLiteral("{A}"), QStringLiteral("a1"))
        .memo(QStringLiteral("{B}"), QStringLiteral("b"), true)
        .memo(QStringLiteral("{C}"), QStringLiteral("c"), false);
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    MemoPane &frame = program.frame();
    sqlite3 *db = program.mainWindow().connection().handle();
    TreeNode *a = findMemo(frame, QStringLiteral("{A}"));

    // Loading sets the stored states without writing them back.
    int changes = sqlite3_total_changes(db);
    QCOMPARE(changes, 0);
    frame.tree()->setExpanded(a, false);
    QCOMPARE(sqlite3_total_changes(db), changes);

    frame.tree()->setExpanded(a, true);
    QCOMPARE(sqlite3_total_changes(db), ++changes);
    QCOMPARE(storedExpandFlag(program.mainWindow(), QStringLiteral("{A}")), 1);
    frame.tree()->setExpanded(a, false);
    QCOMPARE(sqlite3_total_changes(db), ++changes);
    QCOMPARE(storedExpandFlag(program.mainWindow(), QStringLiteral("{A}")), 0);

    // One statement per memo whose flag changes; a memo without sub-memos is stored too.
    findAction(frame, "expandAll")->trigger();
    changes += 2; // a and c; b was expanded already
    QCOMPARE(sqlite3_total_changes(db), changes);
    QCOMPARE(storedExpandFlag(program.mainWindow(), QStringLiteral("{C}")), 1);
    findAction(frame, "collapseAll")->trigger();
    QCOMPARE(sqlite3_total_changes(db), changes + 3);
    QCOMPARE(storedExpandFlag(program.mainWindow(), QStringLiteral("{B}")), 0);
}

void TestMemosLoad::refreshCommandsFollowsSelectionAndEdit()
{
    TestFolder folder;
    Seed(folder).memo(QStringLiteral("{A}"), QStringLiteral("a")).memo(QStringLiteral("{B}"), QStringLiteral("b"));
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    MemoPane &frame = program.frame();
    const QList<QAction *> listCommands = {findAction(frame, "sort"), findAction(frame, "listView"), findAction(frame, "expandAll"),
                                           findAction(frame, "collapseAll"), findAction(frame, "selectAll"), findAction(frame, "deselect")};

    frame.refreshCommands();
    for (QAction *action : listCommands)
        QVERIFY2(action->isEnabled(), qPrintable(action->text()));
    QVERIFY(!findNamed<MoveToMenu>(frame, "moveToMenu")->menuAction()->isEnabled());
    QVERIFY(!findNamed<MoveToMenu>(frame, "mainMoveToMenu")->menuAction()->isEnabled());

    frame.tree()->setSelected(findMemo(frame, QStringLiteral("{A}")), true);
    for (QAction *action : listCommands)
        QVERIFY(action->isEnabled());

    // While an edit is open every command waits.
    markForEditing(frame, findMemo(frame, QStringLiteral("{B}")));
    frame.refreshCommands();
    for (QAction *action : listCommands)
        QVERIFY2(!action->isEnabled(), qPrintable(action->text()));
    frame.controller().commitOpenEdit();
    frame.refreshCommands();
    QVERIFY(findAction(frame, "expandAll")->isEnabled());
}

void TestMemosLoad::selectAllTakesVisibleNodesOnly()
{
    TestFolder folder;
    Seed(folder)
        .memo(QStringLiteral("{A}"), QStringLiteral("a"), false)
        .sub(QStringLiteral("{A1}"), QStringLiteral("{A}"), QStringLiteral("a1"))
        .memo(QStringLiteral("{B}"), QStringLiteral("b"), true)
        .sub(QStringLiteral("{B1}"), QStringLiteral("{B}"), QStringLiteral("b1"));
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    MemoPane &frame = program.frame();
    findAction(frame, "selectAll")->trigger();
    QCOMPARE(frame.tree()->selectedCount(), 3);
    QVERIFY(!findMemo(frame, QStringLiteral("{A1}"))->isSelected());
    QVERIFY(findMemo(frame, QStringLiteral("{B1}"))->isSelected());
    findAction(frame, "deselect")->trigger();
    QCOMPARE(frame.tree()->selectedCount(), 0);
}

void TestMemosLoad::selectionShowsCreationTime()
{
    TestFolder folder;
    Seed(folder).memo(QStringLiteral("{A}"), QStringLiteral("a"));
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    MemoPane &frame = program.frame();
    TreeNode *a = findMemo(frame, QStringLiteral("{A}"));
    memoOf(a).createTime = toTimeStamp(QDateTime(QDate(2026, 3, 4), QTime(0, 0)));
    frame.tree()->setSelected(a, true);
    const QString date = QLocale::system().toString(QDate(2026, 3, 4), QLocale::ShortFormat);
    QCOMPARE(findNamed<StatusBar>(frame, "statusBar")->panelText(), date + QStringLiteral(" created"));
    QVERIFY(findNamed<StatusBar>(frame, "statusBar")->imagePanel()->isHidden());

    memoOf(a).createTime = toTimeStamp(QDateTime(QDate(2026, 3, 4), QTime(9, 30, 15)));
    frame.tree()->clearSelection();
    QVERIFY(MemoStatusBar::kTips.contains(findNamed<StatusBar>(frame, "statusBar")->panelText()));
    QVERIFY(!findNamed<StatusBar>(frame, "statusBar")->imagePanel()->isHidden());
    frame.tree()->setSelected(a, true);
    QVERIFY(findNamed<StatusBar>(frame, "statusBar")->panelText().startsWith(date + QLatin1Char(' ')));
    QVERIFY(findNamed<StatusBar>(frame, "statusBar")->panelText().contains(QStringLiteral("30")));
}

void TestMemosLoad::unwritableSettingsStillShowMemos()
{
    TestFolder folder;
    Seed(folder).memo(QStringLiteral("{A}"), QStringLiteral("a"));
    QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::ExeOwner);
    ScriptedPrompts prompts;
    {
        StartedProgram program(folder.path());
        QCOMPARE(program.frame().tree()->totalCount(), 1);
        // The database beside it cannot be written either, which is said first; then one box
        // for the start-up stamps and one for the load's usage figures.
        QCOMPARE(prompts.shown.size(), 3);
        QCOMPARE(prompts.shown[0].caption, QStringLiteral("Warning"));
        for (const ScriptedPrompts::Box &box : prompts.shown.mid(1)) {
            QCOMPARE(box.caption, QStringLiteral("Korvel Jotwell"));
            QCOMPARE(box.text, QStringLiteral("Unable to write to %1.").arg(folder.file(QStringLiteral("kvConf.ini"))));
        }
        // The start went on past the settings it could not write.
        QCOMPARE(program.mainWindow().placement()->iniPath, folder.file(QStringLiteral("kvConf.ini")));
        program.mainWindow().hide(); // a hide saves the placement, which fails and says so once
        QCOMPARE(prompts.shown.size(), 4);
        QCOMPARE(prompts.shown[3].caption, QStringLiteral("Error"));
    }
    QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

JOTWELL_TEST_MAIN(TestMemosLoad)
#include "tst_memopane_load.moc"
