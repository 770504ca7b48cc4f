// Commands act on what the user sees: hidden memos are not selected, every move target can
// be reached, printing loses no line, the tip panel fits the window.
#include "TestSupport.h"
#include "app/Fm_Main.h"
#include "memos/Fr_kvMemos.h"
#include "store/KvBatch.h"
#include "store/KvConnection.h"
#include "tree/KvVirtualTree.h"
#include <QAction>
#include <QFrame>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

namespace {

// Every move item under menu, groups opened as a user opens them.
QList<QAction *> MoveItems(QMenu *menu)
{
    QList<QAction *> items;
    for (QAction *action : menu->actions()) {
        if (QMenu *group = action->menu()) {
            emit group->aboutToShow();
            if (group->actions().size() > 40)
                return {}; // a group too large to open quickly
            items += MoveItems(group);
        } else if (!action->isSeparator()) {
            items << action;
        }
    }
    return items;
}

} // namespace

class TestMemosSight : public QObject {
    Q_OBJECT
private slots:
    void hiddenMemosAreDeselected();
    void everyMoveTargetIsReachable();
    void expandAllStoresEveryMemo();
    void tallMemoPrintsOnFollowingPages();
    void tipPanelFollowsTheWidth();
};

void TestMemosSight::hiddenMemosAreDeselected()
{
    TestFolder folder;
    {
        KvConnection connection;
        connection.open(folder.file(QStringLiteral("kvData.kvb")));
        InsertMemoRow(connection, QStringLiteral("{A}"), QStringLiteral("root"), QStringLiteral("apple"), true);
        InsertMemoRow(connection, QStringLiteral("{A1}"), QStringLiteral("{A}"), QStringLiteral("apricot"));
        InsertMemoRow(connection, QStringLiteral("{B}"), QStringLiteral("root"), QStringLiteral("banana"), true);
        InsertMemoRow(connection, QStringLiteral("{C}"), QStringLiteral("root"), QStringLiteral("cherry"));
    }
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    TkvMemosFrame &frame = program.frame();

    // Select All, a search with one hit, Delete: only the hit goes.
    frame.Action_SelectAllExecute();
    QCOMPARE(frame.VtMemos->selectedCount(), 4);
    frame.Edt_SearchEnter();
    frame.Edt_Search->setText(QStringLiteral("cherry"));
    QCOMPARE(frame.VtMemos->selectedCount(), 1);
    QVERIFY(frame.Action_MemoDelete->isEnabled());
    frame.Action_MemoDeleteExecute();
    QCOMPARE(prompts.lastText(), QStringLiteral("Are you sure you want to delete this memo?"));
    QCOMPARE(StoredMemoTexts(folder.path()).size(), 3);
    frame.Btn_SearchClick();

    // A sub-memo goes out of sight with its memo's collapse: Copy then has nothing to copy.
    frame.VtMemos->setSelected(FindMemo(frame, QStringLiteral("{A1}")), true);
    frame.VtMemos->setExpanded(FindMemo(frame, QStringLiteral("{A}")), false);
    QCOMPARE(frame.VtMemos->selectedCount(), 0);
    QVERIFY(!frame.Action_MemoDelete->isEnabled());
    QVERIFY(!frame.Menu_Moveto->menuAction()->isEnabled());
}

void TestMemosSight::everyMoveTargetIsReachable()
{
    TestFolder folder;
    const int memos = 2000;
    {
        KvConnection connection;
        connection.open(folder.file(QStringLiteral("kvData.kvb")));
        KvBatch batch(connection);
        for (int i = 0; i < memos; ++i)
            InsertMemoRow(connection, QStringLiteral("{%1}").arg(i, 4, 10, QLatin1Char('0')), QStringLiteral("root"),
                          QStringLiteral("memo %1 & co").arg(i, 4, 10, QLatin1Char('0')));
        InsertMemoRow(connection, QStringLiteral("{S}"), QStringLiteral("{0000}"), QStringLiteral("sub"));
        batch.commit();
    }
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    TkvMemosFrame &frame = program.frame();
    frame.VtMemos->setSelected(FindMemo(frame, QStringLiteral("{S}")), true);

    frame.BuildMovetoMenu(frame.MainMoveto);
    QMenu *menu = frame.MainMoveto;
    QVERIFY(menu->actions().size() <= 42); // Root, the separator and at most 40 entries
    QCOMPARE(menu->actions().at(0)->text(), QStringLiteral("Root"));
    QVERIFY(menu->actions().at(1)->isSeparator());
    const QList<QAction *> items = MoveItems(menu);
    // Root and every top-level memo but the sub-memo's own parent, each once, in order.
    QCOMPARE(items.size(), memos);
    QCOMPARE(items.at(1)->text(), QStringLiteral("memo 0001 && co"));
    QCOMPARE(items.last()->text(), QStringLiteral("memo 1999 && co"));

    frame.Action_MovetoExecute(items.last());
    QCOMPARE(FindMemo(frame, QStringLiteral("{S}"))->parent(), FindMemo(frame, QStringLiteral("{1999}")));

    // Opening the menu again starts afresh, the groups of the last opening gone.
    frame.VtMemos->setSelected(FindMemo(frame, QStringLiteral("{S}")), true);
    frame.BuildMovetoMenu(frame.MainMoveto);
    QCOMPARE(MoveItems(menu).size(), memos);
    QVERIFY(menu->findChildren<QMenu *>(Qt::FindDirectChildrenOnly).size() <= 40);
}

void TestMemosSight::expandAllStoresEveryMemo()
{
    TestFolder folder;
    {
        KvConnection connection;
        connection.open(folder.file(QStringLiteral("kvData.kvb")));
        for (const char *memo : {"{A}", "{B}"}) {
            InsertMemoRow(connection, QLatin1String(memo), QStringLiteral("root"), QStringLiteral("memo"));
            InsertMemoRow(connection, QLatin1String(memo) + QStringLiteral("1"), QLatin1String(memo),
                          QStringLiteral("sub"));
        }
    }
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    TkvMemosFrame &frame = program.frame();
    frame.Action_ExpandAll->trigger();
    QCOMPARE(frame.VtMemos->visibleCount(), 4);
    for (const char *memo : {"{A}", "{B}"})
        QCOMPARE(StoredExpandFlag(program.mainFm(), QLatin1String(memo)), 1);
    frame.Action_CollapseAll->trigger();
    QCOMPARE(frame.VtMemos->visibleCount(), 2);
    for (const char *memo : {"{A}", "{B}"})
        QCOMPARE(StoredExpandFlag(program.mainFm(), QLatin1String(memo)), 0);
    QVERIFY(prompts.shown.isEmpty());
}

void TestMemosSight::tallMemoPrintsOnFollowingPages()
{
    TestFolder folder;
    QStringList lines;
    for (int i = 0; i < 300; ++i)
        lines << QStringLiteral("line %1").arg(i, 3, 10, QLatin1Char('0'));
    {
        KvConnection connection;
        connection.open(folder.file(QStringLiteral("kvData.kvb")));
        InsertMemoRow(connection, QStringLiteral("{A}"), QStringLiteral("root"), QStringLiteral("short before"));
        InsertMemoRow(connection, QStringLiteral("{B}"), QStringLiteral("root"), lines.join(QStringLiteral("\r\n")));
        InsertMemoRow(connection, QStringLiteral("{C}"), QStringLiteral("root"), QStringLiteral("short after"));
    }
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    TkvMemosFrame &frame = program.frame();
    const QString pdf = folder.file(QStringLiteral("print.pdf"));
    prompts.printToPdf = pdf;
    frame.Action_Print->trigger();
    QVERIFY(QFile::exists(pdf));

    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty())
        QSKIP("pdftotext is not installed; the PDF's text cannot be checked");
    QProcess process;
    process.start(pdftotext, {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    QVERIFY(process.waitForFinished(30000));
    const QString text = QString::fromUtf8(process.readAllStandardOutput());
    QVERIFY(text.count(QLatin1Char('\f')) > 2);
    // Every line once, none cut in two at a page's end.
    for (const QString &line : lines)
        QVERIFY2(text.count(line) == 1, qPrintable(line));
    QVERIFY(text.contains(QStringLiteral("short before")));
    QVERIFY(text.contains(QStringLiteral("short after")));
}

void TestMemosSight::tipPanelFollowsTheWidth()
{
    TestFolder folder;
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    TkvMemosFrame &frame = program.frame();
    TmainFm &window = program.mainFm();
    QCOMPARE(frame.FTipMode, 2); // the empty list's tip
    window.resize(600, 400);
    QTRY_COMPARE(frame.Panel_tip->width(), frame.width());
    const int wide = frame.Panel_tip->height();
    window.resize(90, 400);
    QTRY_VERIFY(frame.Panel_tip->height() > wide);
    window.resize(600, 400);
    QTRY_COMPARE(frame.Panel_tip->width(), frame.width());
    QTRY_COMPARE(frame.Panel_tip->height(), wide);
}

JOTWELL_TEST_MAIN(TestMemosSight)
#include "tst_memos_sight.moc"
