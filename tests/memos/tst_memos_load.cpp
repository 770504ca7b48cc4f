#include "TestSupport.h"
#include "app/Fm_Main.h"
#include "app/KvIniFile.h"
#include "components/KvFormState.h"
#include "components/KvStatusBar.h"
#include "memos/Fr_kvMemos.h"
#include "store/KvConnection.h"
#include "tree/KvVirtualTree.h"
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
    explicit Seed(const TestFolder &folder) { FConnection.open(folder.file(QStringLiteral("kvData.kvb"))); }
    Seed &memo(const QString &mid, const QString &content, bool expanded = false)
    {
        InsertMemoRow(FConnection, mid, QStringLiteral("root"), content, expanded);
        return *this;
    }
    Seed &sub(const QString &mid, const QString &pid, const QString &content)
    {
        InsertMemoRow(FConnection, mid, pid, content);
        return *this;
    }

private:
    KvConnection FConnection;
};

QStringList Texts(TkvMemosFrame &frame, KvTreeNode *parent = nullptr)
{
    QStringList texts;
    const int count = parent ? parent->childCount() : frame.VtMemos->topLevelCount();
    for (int i = 0; i < count; ++i)
        texts << frame.VtMemosGetText(parent ? parent->child(i) : frame.VtMemos->topLevelNode(i));
    return texts;
}

QString Ini(const TestFolder &folder, const QString &section, const QString &key)
{
    return KvIniFile(folder.file(QStringLiteral("kvConf.ini"))).readString(section, key, QStringLiteral("<none>"));
}

} // namespace

class TestMemosLoad : public QObject {
    Q_OBJECT
private slots:
    void loadsTwoLevelsOnly();
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
    TkvMemosFrame &frame = program.frame();

    QCOMPARE(frame.VtMemos->totalCount(), 4);
    KvTreeNode *a = FindMemo(frame, QStringLiteral("{A}"));
    KvTreeNode *b = FindMemo(frame, QStringLiteral("{B}"));
    QVERIFY(a && b);
    QCOMPARE(a->childCount(), 1);
    QCOMPARE(a->child(0)->data.content, QStringLiteral("sub a1"));
    QCOMPARE(a->child(0)->data.pid, QStringLiteral("{A}"));
    QVERIFY(a->isExpanded() && a->data.expandFlag);
    QVERIFY(!b->isExpanded());
    QVERIFY(a->child(0)->isMultiline());
    QCOMPARE(a->child(0)->verticalAlignment(), 0);
    QCOMPARE(frame.VtMemos->visibleCount(), 3); // b's sub-memo is collapsed
    // Every row counts, also those the tree does not show.
    QCOMPARE(Ini(folder, QStringLiteral("log"), QStringLiteral("privateMemos")), QStringLiteral("6"));
    QCOMPARE(Ini(folder, QStringLiteral("log"), QStringLiteral("publicMemos")), QStringLiteral("0"));
    QCOMPARE(frame.VtMemos->hint(), QStringLiteral("Double click to add a Memo!"));
    QVERIFY(prompts.shown.isEmpty());
    QVERIFY(program.mainFm().menuBar() == frame.MainMenu1);
}

void TestMemosLoad::emptyDatabase()
{
    TestFolder folder;
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    TkvMemosFrame &frame = program.frame();
    QCOMPARE(frame.VtMemos->totalCount(), 0);
    QVERIFY(QFile::exists(folder.file(QStringLiteral("kvData.kvb"))));
    QCOMPARE(Ini(folder, QStringLiteral("log"), QStringLiteral("privateMemos")), QStringLiteral("0"));
    QVERIFY(TkvMemosFrame::StatusTips.contains(frame.KvStatusBar1->panelText()));
    QCOMPARE(frame.FTipMode, 2);
    QCOMPARE(frame.label_tip->text(), QStringLiteral("Click here to Add a new Item."));
    QCOMPARE(frame.Edt_Search->text(), QStringLiteral("  Search..."));
    QVERIFY(!frame.FSearching);
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
        TkvMemosFrame &frame = program.frame();
        QCOMPARE(Texts(frame), QStringList({"app", "apple", "Banana", "cherry", "Same", "SAME"}));
        QCOMPARE(Texts(frame, FindMemo(frame, QStringLiteral("{6}"))), QStringList({"Alpha", "zed"}));
        QCOMPARE(frame.Action_ViewAsc->toolTip(), QStringLiteral("Descending Sort"));

        frame.Action_ViewAsc->trigger();
        // Equal texts keep their order in both directions.
        QCOMPARE(Texts(frame), QStringList({"Same", "SAME", "cherry", "Banana", "apple", "app"}));
        QCOMPARE(Texts(frame, FindMemo(frame, QStringLiteral("{6}"))), QStringList({"zed", "Alpha"}));
        QCOMPARE(frame.Action_ViewAsc->toolTip(), QStringLiteral("Ascending Sort"));
        QCOMPARE(Ini(folder, QStringLiteral("memo"), QStringLiteral("viewAscEn")), QStringLiteral("0"));
    }
    // The direction survives a restart.
    StartedProgram program(folder.path());
    QCOMPARE(Texts(program.frame()), QStringList({"Same", "SAME", "cherry", "Banana", "apple", "app"}));
    QCOMPARE(program.frame().Action_ViewAsc->toolTip(), QStringLiteral("Ascending Sort"));
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
    TkvMemosFrame &frame = program.frame();
    KvTreeNode *a = FindMemo(frame, QStringLiteral("{A}"));
    KvTreeNode *empty = FindMemo(frame, QStringLiteral("{B}"));

    QCOMPARE(frame.VtMemosGetText(a), QStringLiteral("alpha\r\nsecond\r\nthird"));
    QCOMPARE(frame.VtMemosGetText(empty), QStringLiteral("Input content here"));
    int plainHeight = 0;
    frame.VtMemosMeasureItem(a, plainHeight);
    QCOMPARE(plainHeight, frame.VtMemos->textHeight(a, QStringLiteral("l\nl\nl")) + 4);

    frame.Action_ViewList->trigger();
    QVERIFY(frame.Action_ViewList->isChecked());
    QCOMPARE(Ini(folder, QStringLiteral("memo"), QStringLiteral("viewListEn")), QStringLiteral("1"));
    // Ascending: "" sorts before "alpha".
    QCOMPARE(Texts(frame), QStringList({"Input content here", "2. alpha  second  third"}));
    QCOMPARE(Texts(frame, a), QStringList({"(1) one", "(2) two"}));
    QCOMPARE(frame.VtMemosGetText(a->child(1)), QStringLiteral("(2) two"));
    int listHeight = 0;
    frame.VtMemosMeasureItem(a, listHeight);
    QCOMPARE(listHeight, frame.VtMemos->textHeight(a, QStringLiteral("l")) + 4);

    frame.FHoverNode = a; // the memo the mouse rests on shows all its lines
    QCOMPARE(frame.VtMemosGetText(a), QStringLiteral("2. alpha\r\nsecond\r\nthird"));
    frame.FHoverNode = nullptr;

    frame.Action_ViewAsc->trigger();
    QCOMPARE(Texts(frame), QStringList({"1. alpha  second  third", "Input content here"}));
    QCOMPARE(Texts(frame, a), QStringList({"(1) two", "(2) one"}));

    frame.Action_ViewList->trigger();
    QCOMPARE(Ini(folder, QStringLiteral("memo"), QStringLiteral("viewListEn")), QStringLiteral("0"));
    QCOMPARE(frame.VtMemosGetText(a), QStringLiteral("alpha\r\nsecond\r\nthird"));
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
    TkvMemosFrame &frame = program.frame();
    sqlite3 *db = program.mainFm().connection().handle();
    KvTreeNode *a = FindMemo(frame, QStringLiteral("{A}"));

    // Loading sets the stored states without writing them back.
    int changes = sqlite3_total_changes(db);
    QCOMPARE(changes, 0);
    frame.VtMemos->setExpanded(a, false);
    QCOMPARE(sqlite3_total_changes(db), changes);

    frame.VtMemos->setExpanded(a, true);
    QCOMPARE(sqlite3_total_changes(db), ++changes);
    QCOMPARE(StoredExpandFlag(program.mainFm(), QStringLiteral("{A}")), 1);
    frame.VtMemos->setExpanded(a, false);
    QCOMPARE(sqlite3_total_changes(db), ++changes);
    QCOMPARE(StoredExpandFlag(program.mainFm(), QStringLiteral("{A}")), 0);

    // One statement per memo whose flag changes; a memo without sub-memos is stored too.
    frame.Action_ExpandAll->trigger();
    changes += 2; // a and c; b was expanded already
    QCOMPARE(sqlite3_total_changes(db), changes);
    QCOMPARE(StoredExpandFlag(program.mainFm(), QStringLiteral("{C}")), 1);
    frame.Action_CollapseAll->trigger();
    QCOMPARE(sqlite3_total_changes(db), changes + 3);
    QCOMPARE(StoredExpandFlag(program.mainFm(), QStringLiteral("{B}")), 0);
}

void TestMemosLoad::refreshCommandsFollowsSelectionAndEdit()
{
    TestFolder folder;
    Seed(folder).memo(QStringLiteral("{A}"), QStringLiteral("a")).memo(QStringLiteral("{B}"), QStringLiteral("b"));
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    TkvMemosFrame &frame = program.frame();
    const QList<QAction *> listCommands = {frame.Action_ViewAsc, frame.Action_ViewList, frame.Action_ExpandAll,
                                           frame.Action_CollapseAll, frame.Action_SelectAll, frame.Action_Deselect};

    frame.RefreshCommands();
    for (QAction *action : listCommands)
        QVERIFY2(action->isEnabled(), qPrintable(action->text()));
    QVERIFY(!frame.Menu_Moveto->menuAction()->isEnabled());
    QVERIFY(!frame.MainMoveto->menuAction()->isEnabled());

    frame.VtMemos->setSelected(FindMemo(frame, QStringLiteral("{A}")), true);
    for (QAction *action : listCommands)
        QVERIFY(action->isEnabled());

    // While an edit is open every command waits.
    frame.FEditNode = FindMemo(frame, QStringLiteral("{B}"));
    frame.RefreshCommands();
    for (QAction *action : listCommands)
        QVERIFY2(!action->isEnabled(), qPrintable(action->text()));
    frame.FEditNode = nullptr;
    frame.RefreshCommands();
    QVERIFY(frame.Action_ExpandAll->isEnabled());
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
    TkvMemosFrame &frame = program.frame();
    frame.Action_SelectAll->trigger();
    QCOMPARE(frame.VtMemos->selectedCount(), 3);
    QVERIFY(!FindMemo(frame, QStringLiteral("{A1}"))->isSelected());
    QVERIFY(FindMemo(frame, QStringLiteral("{B1}"))->isSelected());
    frame.Action_Deselect->trigger();
    QCOMPARE(frame.VtMemos->selectedCount(), 0);
}

void TestMemosLoad::selectionShowsCreationTime()
{
    TestFolder folder;
    Seed(folder).memo(QStringLiteral("{A}"), QStringLiteral("a"));
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    TkvMemosFrame &frame = program.frame();
    KvTreeNode *a = FindMemo(frame, QStringLiteral("{A}"));
    a->data.createTime = QDateTimeToDateTime(QDateTime(QDate(2026, 3, 4), QTime(0, 0)));
    frame.VtMemos->setSelected(a, true);
    const QString date = QLocale::system().toString(QDate(2026, 3, 4), QLocale::ShortFormat);
    QCOMPARE(frame.KvStatusBar1->panelText(), date + QStringLiteral(" created"));
    QVERIFY(frame.StatusImage->isHidden());

    a->data.createTime = QDateTimeToDateTime(QDateTime(QDate(2026, 3, 4), QTime(9, 30, 15)));
    frame.VtMemos->clearSelection();
    QVERIFY(TkvMemosFrame::StatusTips.contains(frame.KvStatusBar1->panelText()));
    QVERIFY(!frame.StatusImage->isHidden());
    frame.VtMemos->setSelected(a, true);
    QVERIFY(frame.KvStatusBar1->panelText().startsWith(date + QLatin1Char(' ')));
    QVERIFY(frame.KvStatusBar1->panelText().contains(QStringLiteral("30")));
}

void TestMemosLoad::unwritableSettingsStillShowMemos()
{
    TestFolder folder;
    Seed(folder).memo(QStringLiteral("{A}"), QStringLiteral("a"));
    QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::ExeOwner);
    ScriptedPrompts prompts;
    {
        StartedProgram program(folder.path());
        QCOMPARE(program.frame().VtMemos->totalCount(), 1);
        // The database beside it cannot be written either, which is said first; then one box
        // for the start-up stamps and one for the load's usage figures.
        QCOMPARE(prompts.shown.size(), 3);
        QCOMPARE(prompts.shown[0].caption, QStringLiteral("Warning"));
        for (const ScriptedPrompts::Box &box : prompts.shown.mid(1)) {
            QCOMPARE(box.caption, QStringLiteral("Korvel Jotwell"));
            QCOMPARE(box.text, QStringLiteral("Unable to write to %1.").arg(folder.file(QStringLiteral("kvConf.ini"))));
        }
        // The start went on past the settings it could not write.
        QCOMPARE(program.mainFm().KvFormState1->IniPath, folder.file(QStringLiteral("kvConf.ini")));
        program.mainFm().hide(); // a hide saves the placement, which fails and says so once
        QCOMPARE(prompts.shown.size(), 4);
        QCOMPARE(prompts.shown[3].caption, QStringLiteral("Error"));
    }
    QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

JOTWELL_TEST_MAIN(TestMemosLoad)
#include "tst_memos_load.moc"
