// SPDX-License-Identifier: GPL-3.0-or-later
// Commands act on what the user sees: hidden memos are not selected, every move target can
// be reached, printing loses no line, the tip panel fits the window.
#include "TestSupport.h"
#include "gui/memos/MoveToMenu.h"
#include "gui/MainWindow.h"
#include "gui/MemoPane.h"
#include "gui/memos/TipPanel.h"
#include "core/Transaction.h"
#include "core/Database.h"
#include "treeview/MemoTree.h"
#include <QAction>
#include <QFrame>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

namespace {

// Every move item under menu, groups opened as a user opens them.
QList<QAction *> moveItems(QMenu *menu)
{
    QList<QAction *> items;
    for (QAction *action : menu->actions()) {
        if (QMenu *group = action->menu()) {
            emit group->aboutToShow();
            if (group->actions().size() > 40)
                return {}; // a group too large to open quickly
            items += moveItems(group);
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
        Database connection;
        connection.open(folder.file(QStringLiteral("kvData.kvb")));
        insertMemoRow(connection, QStringLiteral("{A}"), QStringLiteral("root"), QStringLiteral("apple"), true);
        insertMemoRow(connection, QStringLiteral("{A1}"), QStringLiteral("{A}"), QStringLiteral("apricot"));
        insertMemoRow(connection, QStringLiteral("{B}"), QStringLiteral("root"), QStringLiteral("banana"), true);
        insertMemoRow(connection, QStringLiteral("{C}"), QStringLiteral("root"), QStringLiteral("cherry"));
    }
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    MemoPane &frame = program.frame();

    // select all, a search with one hit, Delete: only the hit goes.
    frame.selectAll();
    QCOMPARE(frame.tree()->selectedCount(), 4);
    enterSearchBox(frame);
    findNamed<QLineEdit>(frame, "searchBox")->setText(QStringLiteral("cherry"));
    QCOMPARE(frame.tree()->selectedCount(), 1);
    QVERIFY(findAction(frame, "delete")->isEnabled());
    frame.controller().deleteMemos();
    QCOMPARE(prompts.lastText(), QStringLiteral("Are you sure you want to delete this memo?"));
    QCOMPARE(storedMemoTexts(folder.path()).size(), 3);
    clickSearchButton(frame);

    // A sub-memo goes out of sight with its memo's collapse: Copy then has nothing to copy.
    frame.tree()->setSelected(findMemo(frame, QStringLiteral("{A1}")), true);
    frame.tree()->setExpanded(findMemo(frame, QStringLiteral("{A}")), false);
    QCOMPARE(frame.tree()->selectedCount(), 0);
    QVERIFY(!findAction(frame, "delete")->isEnabled());
    QVERIFY(!findNamed<MoveToMenu>(frame, "moveToMenu")->menuAction()->isEnabled());
}

void TestMemosSight::everyMoveTargetIsReachable()
{
    TestFolder folder;
    const int memos = 2000;
    {
        Database connection;
        connection.open(folder.file(QStringLiteral("kvData.kvb")));
        Transaction batch(connection);
        for (int i = 0; i < memos; ++i)
            insertMemoRow(connection, QStringLiteral("{%1}").arg(i, 4, 10, QLatin1Char('0')), QStringLiteral("root"),
                          QStringLiteral("memo %1 & co").arg(i, 4, 10, QLatin1Char('0')));
        insertMemoRow(connection, QStringLiteral("{S}"), QStringLiteral("{0000}"), QStringLiteral("sub"));
        batch.commit();
    }
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    MemoPane &frame = program.frame();
    frame.tree()->setSelected(findMemo(frame, QStringLiteral("{S}")), true);

    findNamed<MoveToMenu>(frame, "mainMoveToMenu")->rebuild();
    MoveToMenu *menu = findNamed<MoveToMenu>(frame, "mainMoveToMenu");
    QVERIFY(menu->actions().size() <= 42); // Root, the separator and at most 40 entries
    QCOMPARE(menu->actions().at(0)->text(), QStringLiteral("Root"));
    QVERIFY(menu->actions().at(1)->isSeparator());
    const QList<QAction *> items = moveItems(menu);
    // Root and every top-level memo but the sub-memo's own parent, each once, in order.
    QCOMPARE(items.size(), memos);
    QCOMPARE(items.at(1)->text(), QStringLiteral("memo 0001 && co"));
    QCOMPARE(items.last()->text(), QStringLiteral("memo 1999 && co"));

    items.last()->trigger();
    QCOMPARE(findMemo(frame, QStringLiteral("{S}"))->parent(), findMemo(frame, QStringLiteral("{1999}")));

    // Opening the menu again starts afresh, the groups of the last opening gone.
    frame.tree()->setSelected(findMemo(frame, QStringLiteral("{S}")), true);
    findNamed<MoveToMenu>(frame, "mainMoveToMenu")->rebuild();
    QCOMPARE(moveItems(menu).size(), memos);
    QVERIFY(menu->findChildren<QMenu *>(Qt::FindDirectChildrenOnly).size() <= 40);
}

void TestMemosSight::expandAllStoresEveryMemo()
{
    TestFolder folder;
    {
        Database connection;
        connection.open(folder.file(QStringLiteral("kvData.kvb")));
        for (const char *memo : {"{A}", "{B}"}) {
            insertMemoRow(connection, QLatin1String(memo), QStringLiteral("root"), QStringLiteral("memo"));
            insertMemoRow(connection, QLatin1String(memo) + QStringLiteral("1"), QLatin1String(memo),
                          QStringLiteral("sub"));
        }
    }
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    MemoPane &frame = program.frame();
    findAction(frame, "expandAll")->trigger();
    QCOMPARE(frame.tree()->visibleCount(), 4);
    for (const char *memo : {"{A}", "{B}"})
        QCOMPARE(storedExpandFlag(program.mainWindow(), QLatin1String(memo)), 1);
    findAction(frame, "collapseAll")->trigger();
    QCOMPARE(frame.tree()->visibleCount(), 2);
    for (const char *memo : {"{A}", "{B}"})
        QCOMPARE(storedExpandFlag(program.mainWindow(), QLatin1String(memo)), 0);
    QVERIFY(prompts.shown.isEmpty());
}

void TestMemosSight::tallMemoPrintsOnFollowingPages()
{
    TestFolder folder;
    QStringList lines;
    for (int i = 0; i < 300; ++i)
        lines << QStringLiteral("line %1").arg(i, 3, 10, QLatin1Char('0'));
    {
        Database connection;
        connection.open(folder.file(QStringLiteral("kvData.kvb")));
        insertMemoRow(connection, QStringLiteral("{A}"), QStringLiteral("root"), QStringLiteral("short before"));
        insertMemoRow(connection, QStringLiteral("{B}"), QStringLiteral("root"), lines.join(QStringLiteral("\r\n")));
        insertMemoRow(connection, QStringLiteral("{C}"), QStringLiteral("root"), QStringLiteral("short after"));
    }
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    MemoPane &frame = program.frame();
    const QString pdf = folder.file(QStringLiteral("print.pdf"));
    prompts.printToPdf = pdf;
    findAction(frame, "print")->trigger();
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
    MemoPane &frame = program.frame();
    MainWindow &window = program.mainWindow();
    QCOMPARE(frame.tipPanel().mode(), TipMode::AddMemo); // the empty list's tip
    window.resize(600, 400);
    QTRY_COMPARE(findNamed<QFrame>(frame, "tipPanel")->width(), frame.width());
    const int wide = findNamed<QFrame>(frame, "tipPanel")->height();
    window.resize(90, 400);
    QTRY_VERIFY(findNamed<QFrame>(frame, "tipPanel")->height() > wide);
    window.resize(600, 400);
    QTRY_COMPARE(findNamed<QFrame>(frame, "tipPanel")->width(), frame.width());
    QTRY_COMPARE(findNamed<QFrame>(frame, "tipPanel")->height(), wide);
}

JOTWELL_TEST_MAIN(TestMemosSight)
#include "tst_memopane_sight.moc"
