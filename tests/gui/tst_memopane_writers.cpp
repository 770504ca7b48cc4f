// SPDX-License-Identifier: GPL-3.0-or-later
// Two writers on one memo store: another connection changes the table while the list is shown,
// or holds its write lock while the user types and runs commands.
#include "ExchangeTestSupport.h"
#include "TestSupport.h"
#include "gui/MainWindow.h"
#include "gui/MemoPane.h"
#include "gui/memos/SearchBar.h"
#include "gui/memos/MemoHistory.h"
#include "gui/memos/MemoOutput.h"
#include "gui/MemoPaneWatch.h"
#include "gui/StatusBar.h"
#include "gui/Program.h"
#include "gui/memos/MemoNode.h"
#include "treeview/MemoTree.h"
#include <QAction>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QUndoStack>
#include <QtTest>

namespace {

const QString kRoot = QStringLiteral("root");

// Memos {A} (sub-memo {A1}), {B} and {C}, then {M000}.. sorted after them: enough to scroll.
void seed(const TestFolder &folder, int more = 0)
{
    Database connection;
    connection.open(folder.file(QStringLiteral("kvData.kvb")));
    insertMemoRow(connection, QStringLiteral("{A}"), kRoot, QStringLiteral("a"), true);
    insertMemoRow(connection, QStringLiteral("{A1}"), QStringLiteral("{A}"), QStringLiteral("a1"));
    insertMemoRow(connection, QStringLiteral("{B}"), kRoot, QStringLiteral("b"));
    insertMemoRow(connection, QStringLiteral("{C}"), kRoot, QStringLiteral("c"));
    for (int i = 0; i < more; ++i) {
        const QString n = QStringLiteral("%1").arg(i, 3, 10, QLatin1Char('0'));
        insertMemoRow(connection, QStringLiteral("{M%1}").arg(n), kRoot, QStringLiteral("m%1\r\nsecond line").arg(n));
    }
}

// Another program's connection to the same file.
struct OtherWriter {
    explicit OtherWriter(const TestFolder &folder) { connection.open(folder.file(QStringLiteral("kvData.kvb"))); }
    void run(const QString &sql) { connection.execute(sql); }
    Database connection;
};

// Every memo as "id:parent:expanded", sorted: from the tree, and from the file past the program.
QString treeState(MemoPane &frame)
{
    QStringList rows;
    for (TreeNode *node = frame.tree()->firstNode(); node; node = frame.tree()->nextNode(node))
        rows << memoOf(node).mid + QLatin1Char(':') + (node->parent() ? memoOf(node->parent()).mid : kRoot) + QLatin1Char(':')
                    + QString::number(node->parent() ? 0 : int(node->isExpanded()));
    rows.sort();
    return rows.join(QLatin1Char(' '));
}

QString storedState(Database &connection)
{
    QStringList rows;
    for (const QStringList &row : tableRows(connection, "memos"))
        rows << row[0] + QLatin1Char(':') + row[1] + QLatin1Char(':') + (row[1] == kRoot ? row[3] : QStringLiteral("0"));
    rows.sort();
    return rows.join(QLatin1Char(' '));
}

// Waits inside an event loop of its own, as the program sits in its loop, until done holds.
bool waitInEventLoop(const std::function<bool()> &done, int timeoutMs = 5000)
{
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    poll.start(50);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    return done();
}

// Answers as ScriptedPrompts does; while the Open dialog is up, another program adds a memo.
struct AddingPrompts : ScriptedPrompts {
    bool fileDialog(FileRequest &request) override
    {
        if (writer)
            insertMemoRow(std::exchange(writer, nullptr)->connection, QStringLiteral("{OUT}"), kRoot,
                          QStringLiteral("added meanwhile"));
        return ScriptedPrompts::fileDialog(request);
    }
    OtherWriter *writer = nullptr;
};

// Types text into a new memo and ends the edit as Ctrl+Enter does.
TreeNode *typeNewMemo(MemoPane &frame, const QString &text)
{
    frame.controller().addMemo();
    QPlainTextEdit *editor = openEditor(frame);
    if (!editor)
        return nullptr;
    TreeNode *node = frame.controller().editNode();
    editor->setPlainText(text);
    frame.controller().commitOpenEdit();
    return node;
}

} // namespace

class TestMemoPaneWriters : public QObject {
    Q_OBJECT
private slots:
    void outsideChangesArePatchedIn();
    void patchesFollowTheRowsThatMoved();
    void aLookOverTakenByTheListIsTakenAgain();
    void typedTextOutlivesALock();
    void undoLeavesOtherWorkAlone();
    void commandsUnderALockChangeNothing_data();
    void commandsUnderALockChangeNothing();
};

void TestMemoPaneWriters::outsideChangesArePatchedIn()
{
    TestFolder folder;
    seed(folder, 60);
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    MemoPane &frame = program.frame();
    MemoTree &tree = *frame.tree();
    OtherWriter other(folder);

    // The user's state: a search in force that hides some memos, with the keyboard in the
    // search box, a selection, a focused memo and the list scrolled.
    tree.clearSelection();
    tree.setSelected(findMemo(frame, QStringLiteral("{M030}")), true);
    tree.setSelected(findMemo(frame, QStringLiteral("{M031}")), true);
    tree.setFocusedNode(findMemo(frame, QStringLiteral("{M030}")));
    auto *searchBox = findNamed<QLineEdit>(frame, "searchBox");
    enterSearchBox(frame);
    searchBox->setFocus();
    QTest::keyClicks(searchBox, QStringLiteral("m"));
    tree.verticalScrollBar()->setValue(tree.verticalScrollBar()->maximum() / 2);
    TreeNode *top = tree.nodeAt(QPoint(1, 1));
    QVERIFY(top);
    const int topAt = tree.nodeRect(top).top();
    const int scrolled = tree.verticalScrollBar()->value();
    QVERIFY(scrolled > 0);
    QCOMPARE(QApplication::focusWidget(), searchBox);

    // Another program adds memos (one above the rows in sight), edits, moves and deletes.
    insertMemoRow(other.connection, QStringLiteral("{NEW1}"), kRoot, QStringLiteral("m000 added above"));
    insertMemoRow(other.connection, QStringLiteral("{NEW2}"), kRoot, QStringLiteral("hidden by the search"));
    other.run(QStringLiteral("update memos set content='m001 edited', editTime=46000 where mid='{M001}'"));
    other.run(QStringLiteral("update memos set pid='{A}', editTime=46000 where mid='{M002}'"));
    other.run(QStringLiteral("delete from memos where mid='{M003}'"));
    other.run(QStringLiteral("update memos set content='now out of the search', editTime=46000 where mid='{M031}'"));

    // The watch runs on its own in the program's event loop and patches within its look.
    QVERIFY(waitInEventLoop([&] { return findMemo(frame, QStringLiteral("{NEW1}")) != nullptr; }, 3000));
    QCOMPARE(treeState(frame), storedState(other.connection));
    QCOMPARE(memoOf(findMemo(frame, QStringLiteral("{M001}"))).content, QStringLiteral("m001 edited"));
    QCOMPARE(findMemo(frame, QStringLiteral("{M002}"))->parent(), findMemo(frame, QStringLiteral("{A}")));
    QVERIFY(!findMemo(frame, QStringLiteral("{NEW2}"))->isVisible());
    QVERIFY(!findMemo(frame, QStringLiteral("{M031}"))->isVisible()); // hidden, and so no longer selected
    // Nothing of the user's moved.
    QCOMPARE(QApplication::focusWidget(), searchBox);
    QCOMPARE(searchBox->text(), QStringLiteral("m"));
    QVERIFY(frame.searchBar().isSearching());
    QCOMPARE(tree.selectedNodes(), std::vector<TreeNode *>{findMemo(frame, QStringLiteral("{M030}"))});
    QCOMPARE(tree.focusedNode(), findMemo(frame, QStringLiteral("{M030}")));
    QCOMPARE(tree.nodeRect(top).top(), topAt);
    QVERIFY(prompts.shown.isEmpty());

    // After an import the watch still sees outside changes.
    const QString file = folder.file(QStringLiteral("memo.kvx"));
    QVERIFY(frame.output().exportSelection(file));
    prompts.fileAnswers << file;
    QTRY_COMPARE(frame.tree()->totalCount(), int(tableRows(other.connection, "memos").size()));
    insertMemoRow(other.connection, QStringLiteral("{NEW3}"), kRoot, QStringLiteral("after the dialogs"));
    QVERIFY(waitInEventLoop([&] { return findMemo(frame, QStringLiteral("{NEW3}")) != nullptr; }, 3000));
}

void TestMemoPaneWriters::patchesFollowTheRowsThatMoved()
{
    TestFolder folder;
    seed(folder);
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    MemoPane &frame = program.frame();
    OtherWriter other(folder);

    // A sub-memo stored before its memo is out of sight until the memo comes.
    insertMemoRow(other.connection, QStringLiteral("{S}"), QStringLiteral("{P}"), QStringLiteral("early"));
    QVERIFY(!frame.controller().refreshFromStore());
    QVERIFY(!findMemo(frame, QStringLiteral("{S}")));
    insertMemoRow(other.connection, QStringLiteral("{P}"), kRoot, QStringLiteral("late"));
    QVERIFY(frame.controller().refreshFromStore());
    QCOMPARE(findMemo(frame, QStringLiteral("{S}"))->parent(), findMemo(frame, QStringLiteral("{P}")));

    // The last row deleted and its rowid taken by a new one alike but for its id, and a flag
    // cleared: each is seen.
    other.run(QStringLiteral("delete from memos where mid='{P}'"));
    insertMemoRow(other.connection, QStringLiteral("{Q}"), kRoot, QStringLiteral("in its place"));
    other.run(QStringLiteral("update memos set expandFlag=0 where mid='{A}'"));
    QVERIFY(frame.controller().refreshFromStore());
    QVERIFY(!findMemo(frame, QStringLiteral("{P}")));
    QVERIFY(!findMemo(frame, QStringLiteral("{S}")));
    QVERIFY(findMemo(frame, QStringLiteral("{Q}")));
    QVERIFY(!findMemo(frame, QStringLiteral("{A}"))->isExpanded());
    // The program's own writes come back as they are shown: nothing to patch.
    frame.tree()->setExpanded(findMemo(frame, QStringLiteral("{B}")), true);
    QVERIFY(!frame.controller().refreshFromStore());
    QVERIFY(prompts.shown.isEmpty());
}

void TestMemoPaneWriters::aLookOverTakenByTheListIsTakenAgain()
{
    TestFolder folder;
    seed(folder);
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    MemoPane &frame = program.frame();
    auto &watch = *program.mainWindow().findChild<MemoPaneWatch *>();
    OtherWriter other(folder);

    // The look has read the table, and the pane stores a change of its own before the look's
    // result comes in: taken in as read, it would show {A} open where the file has it closed.
    other.run(QStringLiteral("update memos set content='edited outside', editTime=46000 where mid='{A}'"));
    watch.check();
    QVERIFY(watch.isLooking());
    QThread::msleep(500);
    frame.tree()->setExpanded(findMemo(frame, QStringLiteral("{A}")), false);
    QVERIFY(QTest::qWaitFor([&] { return !watch.isLooking(); }, 5000));
    QCOMPARE(memoOf(findMemo(frame, QStringLiteral("{A}"))).content, QStringLiteral("edited outside"));
    QCOMPARE(treeState(frame), storedState(other.connection));
    QVERIFY(prompts.shown.isEmpty());
}

void TestMemoPaneWriters::typedTextOutlivesALock()
{
    TestFolder folder;
    seed(folder);
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    MemoPane &frame = program.frame();
    OtherWriter other(folder);
    auto *statusBar = program.mainWindow().findChild<StatusBar *>();
    QVERIFY(statusBar);

    // Refused: the text stays, visibly unsaved.
    other.run(QStringLiteral("begin immediate"));
    TreeNode *typed = typeNewMemo(frame, QStringLiteral("typed under a lock"));
    QVERIFY(typed);
    QCOMPARE(prompts.lastText(), QStringLiteral("database is locked."));
    QCOMPARE(frame.controller().unsavedCount(), 1);
    QVERIFY(statusBar->panelText().contains(QStringLiteral("not stored yet")));

    // Nothing goes under it, and no row names an empty parent.
    frame.tree()->clearSelection();
    frame.tree()->setSelected(typed, true);
    const int boxes = int(prompts.shown.size());
    frame.controller().addSubMemo();
    QCOMPARE(prompts.shown.size(), boxes + 1);
    QVERIFY(prompts.lastText().contains(QStringLiteral("not stored yet")));
    QCOMPARE(typed->childCount(), 0);

    // A reload keeps it; Exit asks and a No keeps the program.
    frame.reloadMemos();
    QCOMPARE(frame.controller().unsavedCount(), 1);
    prompts.answers << BoxAnswer::No;
    program.mainWindow().exitProgram();
    QVERIFY(prompts.lastText().contains(QStringLiteral("could not be stored")));
    QVERIFY(!program.mainWindow().isExiting());

    // The other program commits a memo of its own: both are in the list, and the typed one
    // is stored at the watch's look.
    insertMemoRow(other.connection, QStringLiteral("{OUT}"), kRoot, QStringLiteral("from outside"));
    other.run(QStringLiteral("commit"));
    QVERIFY(waitInEventLoop([&] { return frame.controller().unsavedCount() == 0 && findMemo(frame, QStringLiteral("{OUT}")); }, 3000));
    QVERIFY(storedMemoTexts(folder.path()).contains(QStringLiteral("typed under a lock")));
    QCOMPARE(treeState(frame), storedState(other.connection));
}

void TestMemoPaneWriters::undoLeavesOtherWorkAlone()
{
    TestFolder source;
    seed(source);
    AddingPrompts prompts;
    QString file;
    {
        StartedProgram exporter(source.path());
        file = source.file(QStringLiteral("memos.kvx"));
        exporter.frame().selectAll();
        QVERIFY(exporter.frame().output().exportSelection(file));
    }
    TestFolder folder;
    StartedProgram program(folder.path());
    MemoPane &frame = program.frame();
    OtherWriter other(folder);

    // Another program adds a memo while the Open dialog is up; the import's step is its own rows.
    prompts.writer = &other;
    prompts.fileAnswers << file;
    QStringList before;
    for (const QStringList &row : tableRows(other.connection, "memos"))
        before << row[0];
    const int atStart = int(before.size());
    program.mainWindow().importFile();
    QTRY_VERIFY(findMemo(frame, QStringLiteral("{OUT}")));
    const int imported = int(tableRows(other.connection, "memos").size());
    QVERIFY(imported > atStart + 1);
    QTRY_COMPARE(frame.tree()->totalCount(), imported);
    frame.controller().undoStep();
    QCOMPARE(tableRows(other.connection, "memos").size(), atStart + 1);
    QVERIFY(findMemo(frame, QStringLiteral("{OUT}")));
    QCOMPARE(treeState(frame), storedState(other.connection));

    // A step over a memo that another program changed ends the history; one that does not
    // name it stays.
    frame.controller().redoStep();
    QCOMPARE(frame.tree()->totalCount(), imported);
    QVERIFY(frame.controller().history().steps().canUndo());
    other.run(QStringLiteral("update memos set content='elsewhere', editTime=46000 where mid='{OUT}'"));
    lookNow(*program.mainWindow().findChild<MemoPaneWatch *>());
    QVERIFY(frame.controller().history().steps().canUndo());
    TreeNode *memo = frame.tree()->firstNode();
    while (memoOf(memo).mid == QLatin1String("{OUT}") || before.contains(memoOf(memo).mid))
        memo = memo->nextSibling();
    other.run(QStringLiteral("update memos set content='changed outside', editTime=46001 where mid='%1'").arg(memoOf(memo).mid));
    lookNow(*program.mainWindow().findChild<MemoPaneWatch *>());
    QVERIFY(!frame.controller().history().steps().canUndo());
}

void TestMemoPaneWriters::commandsUnderALockChangeNothing_data()
{
    QTest::addColumn<QString>("command");
    for (const char *command : {"expand", "expandAll", "search", "paste", "move", "undo"})
        QTest::newRow(command) << QString::fromLatin1(command);
}

void TestMemoPaneWriters::commandsUnderALockChangeNothing()
{
    QFETCH(QString, command);
    TestFolder folder;
    seed(folder);
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    MemoPane &frame = program.frame();
    OtherWriter other(folder);
    frame.tree()->clearSelection();
    frame.tree()->setSelected(findMemo(frame, QStringLiteral("{B}")), true);
    frame.controller().collapseAll(); // a step to take back, and memos a search must open
    const QString before = storedState(other.connection);
    QCOMPARE(treeState(frame), before);
    const int boxes = int(prompts.shown.size());

    other.run(QStringLiteral("begin immediate"));
    const QMap<QString, std::function<void()>> commands = {
        {QStringLiteral("expand"), [&] { frame.tree()->setExpanded(findMemo(frame, QStringLiteral("{A}")), true); }},
        {QStringLiteral("expandAll"), [&] { frame.controller().expandAll(); }},
        {QStringLiteral("search"), [&] { enterSearchBox(frame); QTest::keyClicks(findNamed<QLineEdit>(frame, "searchBox"), QStringLiteral("a1")); }},
        {QStringLiteral("paste"), [&] { frame.controller().pasteAsMemo(QStringLiteral("pasted")); }},
        {QStringLiteral("move"), [&] { frame.drop(findMemo(frame, QStringLiteral("{C}")), nullptr, true); }},
        {QStringLiteral("undo"), [&] { frame.controller().undoStep(); }},
    };
    QMetaObject::invokeMethod(&frame, commands[command], Qt::QueuedConnection);
    // One message: a box, or for the search, whose typing no box may interrupt, the status bar.
    if (command == QLatin1String("search")) {
        QTRY_VERIFY(program.mainWindow().findChild<StatusBar *>()->panelText().contains(QStringLiteral("locked")));
        QCOMPARE(prompts.shown.size(), boxes);
    } else {
        QTRY_VERIFY_WITH_TIMEOUT(prompts.shown.size() > boxes, 10000);
        QCOMPARE(prompts.shown.size(), boxes + 1);
    }
    other.run(QStringLiteral("commit"));
    QCOMPARE(storedState(other.connection), before);
    QCOMPARE(treeState(frame), before);
}

JOTWELL_TEST_MAIN(TestMemoPaneWriters)
#include "tst_memopane_writers.moc"
