// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestSupport.h"
#include "gui/MainWindow.h"
#include "gui/MemoPane.h"
#include "gui/memos/TipPanel.h"
#include "gui/memos/SearchBar.h"
#include "gui/memos/MemoRowPainter.h"
#include "gui/memos/MemoNode.h"
#include "core/Database.h"
#include "core/MemoStore.h"

#include "treeview/MemoTree.h"
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QtTest>
#include <sqlite3.h>

namespace {

struct Row {
    QString mid, pid, content;
    double assignTime = 0, createTime = 0, editTime = 0;
};

QList<Row> storedRows(const QString &folder)
{
    Database connection;
    connection.open(folder + QStringLiteral("kvData.kvb"));
    QList<Row> rows;
    for (const Memo &memo : MemoStore(connection).allMemos())
        rows.append({memo.mid, memo.pid, memo.content, memo.assignTime, memo.createTime, memo.editTime});
    return rows;
}

void Seed(const TestFolder &folder, const QList<std::pair<QString, QString>> &memos)
{
    Database connection;
    connection.open(folder.file(QStringLiteral("kvData.kvb")));
    for (const auto &[mid, pid] : memos)
        insertMemoRow(connection, mid, pid, QStringLiteral("text ") + mid, true);
}

void commit(QPlainTextEdit *editor)
{
    QTest::keyClick(editor, Qt::Key_Return, Qt::ControlModifier);
}

// Started as a child process: adds a memo through the keys, commits it, says so, and waits
// to be killed.
int commitAndWait(const QString &folder)
{
    StartedProgram program(folder);
    MemoPane &frame = program.frame();
    QTest::keyClick(frame.tree(), Qt::Key_Return);
    QPlainTextEdit *editor = openEditor(frame);
    QTest::keyClicks(editor, QStringLiteral("survives"));
    commit(editor);
    std::printf("committed\n");
    std::fflush(stdout);
    for (;;)
        QTest::qWait(1000);
}

} // namespace

class TestMemosEdit : public QObject {
    Q_OBJECT
private slots:
    void addTypeAndCommit();
    void escapeAndUntouchedFocusLossLeaveNothing();
    void blanksAndTrailingLinesAreTrimmed();
    void unchangedEditIssuesNoUpdate();
    void subMemoParentChoice();
    void busyEditIgnoresOtherRequests();
    void treeRequestsGoThroughTheHandshake();
    void dropOfAGoneNodeIsHarmless();
    void destructorCommitsOpenEdit();
    void refusedWriteKeepsTextInTree();
    void commitSurvivesKill();
};

void TestMemosEdit::addTypeAndCommit()
{
    TestFolder folder;
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    MemoPane &frame = program.frame();

    QTest::keyClick(frame.tree(), Qt::Key_Return);
    QPlainTextEdit *editor = openEditor(frame);
    QVERIFY(frame.controller().editNode());
    QCOMPARE(frame.tipPanel().mode(), TipMode::FinishEdit);
    QVERIFY(!findAction(frame, "addMemo")->isEnabled());
    const int line = frame.tree()->textHeight(frame.controller().editNode(), QStringLiteral("l"));
    QVERIFY(frame.tree()->nodeRect(frame.controller().editNode()).height() >= 4 * line + 4);

    QTest::keyClicks(editor, QStringLiteral("first"));
    QTest::keyClick(editor, Qt::Key_Return); // a new line, not the end of the edit
    QVERIFY(frame.tree()->isEditing());
    QTest::keyClicks(editor, QStringLiteral("second"));
    commit(editor);
    QVERIFY(!frame.tree()->isEditing());
    QVERIFY(!frame.controller().editNode());
    QCOMPARE(frame.tipPanel().mode(), TipMode::None);

    QList<Row> rows = storedRows(folder.path());
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0].content, QStringLiteral("first\r\nsecond"));
    QCOMPARE(rows[0].pid, QStringLiteral("root"));
    QCOMPARE(rows[0].mid.size(), 38);
    QVERIFY(rows[0].mid.startsWith(QLatin1Char('{')) && rows[0].mid == rows[0].mid.toUpper());
    QCOMPARE(rows[0].assignTime, rows[0].createTime);
    QVERIFY(rows[0].editTime >= rows[0].createTime);
    QVERIFY(qAbs(rows[0].createTime - dateTimeNow()) < 1.0 / 24);
    TreeNode *node = findMemo(frame, rows[0].mid);
    QVERIFY(node && node->isSelected());
    QVERIFY(findAction(frame, "editMemo")->isEnabled());

    // A second memo through a double click on blank space gets an id of its own.
    const QPoint blank(10, frame.tree()->viewport()->height() - 5);
    QTest::mouseMove(frame.tree()->viewport(), blank);
    emit frame.tree()->mouseMoved(blank);
    QTest::mouseDClick(frame.tree()->viewport(), Qt::LeftButton, {}, blank);
    editor = openEditor(frame);
    QTest::keyClicks(editor, QStringLiteral("other"));
    commit(editor);
    rows = storedRows(folder.path());
    QCOMPARE(rows.size(), 2);
    QVERIFY(rows[0].mid != rows[1].mid);
}

void TestMemosEdit::escapeAndUntouchedFocusLossLeaveNothing()
{
    TestFolder folder;
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    MemoPane &frame = program.frame();

    findAction(frame, "addMemo")->trigger();
    QPlainTextEdit *editor = openEditor(frame);
    QTest::keyClicks(editor, QStringLiteral("never stored"));
    QTest::keyClick(editor, Qt::Key_Escape);
    QTRY_COMPARE(frame.tree()->totalCount(), 0);
    QVERIFY(!frame.controller().editNode());
    QCOMPARE(frame.tipPanel().mode(), TipMode::AddMemo); // the empty list offers to add a memo again

    findAction(frame, "addMemo")->trigger();
    openEditor(frame);
    findNamed<QLineEdit>(frame, "searchBox")->setFocus(); // the editor loses the focus without a change
    QTRY_COMPARE(frame.tree()->totalCount(), 0);
    QVERIFY(!frame.tree()->isEditing());
    QVERIFY(storedRows(folder.path()).isEmpty());
}

void TestMemosEdit::blanksAndTrailingLinesAreTrimmed()
{
    TestFolder folder;
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    MemoPane &frame = program.frame();

    findAction(frame, "addMemo")->trigger();
    QPlainTextEdit *editor = openEditor(frame);
    QTest::keyClicks(editor, QStringLiteral("   \t "));
    commit(editor);
    QCOMPARE(storedRows(folder.path()).size(), 1);
    QCOMPARE(storedRows(folder.path())[0].content, QString());
    QCOMPARE(frame.tree()->totalCount(), 1); // stays, shown with the placeholder
    TreeNode *node = frame.tree()->firstNode();
    QCOMPARE(frame.rowPainter()->nodeText(node), QStringLiteral("Input content here"));

    findAction(frame, "editMemo")->trigger();
    editor = openEditor(frame);
    QCOMPARE(frame.rowPainter()->nodeText(node), QString()); // the edited memo shows its plain text
    QTest::keyClicks(editor, QStringLiteral("  keep leading"));
    QTest::keyClick(editor, Qt::Key_Return);
    QTest::keyClick(editor, Qt::Key_Return);
    QTest::keyClicks(editor, QStringLiteral("  "));
    commit(editor);
    QCOMPARE(storedRows(folder.path())[0].content, QStringLiteral("  keep leading"));
    QCOMPARE(memoOf(node).content, QStringLiteral("  keep leading"));
}

void TestMemosEdit::unchangedEditIssuesNoUpdate()
{
    TestFolder folder;
    Seed(folder, {{QStringLiteral("{A}"), QStringLiteral("root")}, {QStringLiteral("{B}"), QStringLiteral("root")}});
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    MemoPane &frame = program.frame();
    sqlite3 *db = program.mainWindow().connection().handle();
    const int changes = sqlite3_total_changes(db);

    // With two memos selected, only the first is edited.
    frame.tree()->setSelected(findMemo(frame, QStringLiteral("{B}")), true);
    frame.tree()->setSelected(findMemo(frame, QStringLiteral("{A}")), true);
    findAction(frame, "editMemo")->trigger();
    QPlainTextEdit *editor = openEditor(frame);
    QCOMPARE(frame.tree()->editedNode(), findMemo(frame, QStringLiteral("{A}")));
    commit(editor);
    QCOMPARE(sqlite3_total_changes(db), changes);

    findAction(frame, "editMemo")->trigger();
    editor = openEditor(frame);
    QTest::keyClicks(editor, QStringLiteral("changed"));
    QTest::keyClick(editor, Qt::Key_Escape);
    QCOMPARE(sqlite3_total_changes(db), changes);
    QCOMPARE(memoOf(findMemo(frame, QStringLiteral("{A}"))).content, QStringLiteral("text {A}"));
    QCOMPARE(storedRows(folder.path())[0].editTime, 45000.5);
}

void TestMemosEdit::subMemoParentChoice()
{
    TestFolder folder;
    ScriptedPrompts prompts;
    {
        StartedProgram program(folder.path());
        findAction(program.frame(), "addSubMemo")->trigger();
        QCOMPARE(prompts.shown.size(), 1);
        QCOMPARE(prompts.shown[0].caption, QStringLiteral("Tip"));
        QCOMPARE(prompts.shown[0].text, QStringLiteral("Please select a memo!"));
        QCOMPARE(program.frame().tree()->totalCount(), 0);
    }
    Seed(folder, {{QStringLiteral("{A}"), QStringLiteral("root")},
                  {QStringLiteral("{A1}"), QStringLiteral("{A}")},
                  {QStringLiteral("{B}"), QStringLiteral("root")}});
    StartedProgram program(folder.path());
    MemoPane &frame = program.frame();

    // A sub-memo selected: the new memo is its sibling.
    frame.tree()->setSelected(findMemo(frame, QStringLiteral("{A1}")), true);
    frame.tree()->setFocus();
    QTest::keyClick(frame.tree(), Qt::Key_Return, Qt::ControlModifier);
    QPlainTextEdit *editor = openEditor(frame);
    QCOMPARE(frame.controller().editNode()->parent(), findMemo(frame, QStringLiteral("{A}")));
    QTest::keyClicks(editor, QStringLiteral("sibling"));
    commit(editor);

    // Nothing selected: the last memo of the list is the parent.
    frame.deselectAll();
    findAction(frame, "addSubMemo")->trigger();
    editor = openEditor(frame);
    QCOMPARE(frame.controller().editNode()->parent(), frame.tree()->lastTopLevelNode());
    QTest::keyClicks(editor, QStringLiteral("child of last"));
    commit(editor);

    QMap<QString, QString> parentOf;
    for (const Row &row : storedRows(folder.path()))
        parentOf[row.content] = row.pid;
    QCOMPARE(parentOf.value(QStringLiteral("sibling")), QStringLiteral("{A}"));
    QCOMPARE(parentOf.value(QStringLiteral("child of last")), memoOf(frame.tree()->lastTopLevelNode()).mid);

    // A search hides the last memo: the last one in sight is the parent; with none in sight, the tip.
    QLineEdit *search = findNamed<QLineEdit>(frame, "searchBox");
    for (const QString &text : {QStringLiteral("text {A}"), QStringLiteral("nowhere")}) {
        search->setFocus();
        QTRY_VERIFY(frame.searchBar().isSearching());
        search->selectAll();
        QTest::keyClicks(search, text);
        frame.deselectAll();
        findAction(frame, "addSubMemo")->trigger();
        if (frame.controller().editNode()) {
            QCOMPARE(frame.controller().editNode()->parent(), findMemo(frame, QStringLiteral("{A}")));
            QTest::keyClick(openEditor(frame), Qt::Key_Escape);
            QTRY_VERIFY(!frame.controller().editNode());
        }
    }
    QCOMPARE(prompts.lastText(), QStringLiteral("Please select a memo!"));
    QCOMPARE(prompts.shown.size(), 2);
}

void TestMemosEdit::busyEditIgnoresOtherRequests()
{
    TestFolder folder;
    Seed(folder, {{QStringLiteral("{A}"), QStringLiteral("root")}});
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    MemoPane &frame = program.frame();
    findAction(frame, "addMemo")->trigger();
    QPlainTextEdit *editor = openEditor(frame);
    TreeNode *pending = frame.controller().editNode();

    QMetaObject::invokeMethod(&frame.controller(), &MemoController::addMemo, Qt::QueuedConnection);
    frame.controller().addMemo();
    frame.controller().addSubMemo();
    emit frame.tree()->doubleClicked();
    QCoreApplication::processEvents();
    QCOMPARE(frame.tree()->totalCount(), 2);
    QCOMPARE(frame.controller().editNode(), pending);
    QVERIFY(frame.tree()->isEditing());
    QTest::keyClick(editor, Qt::Key_Escape);
    QTRY_COMPARE(frame.tree()->totalCount(), 1);
}

void TestMemosEdit::treeRequestsGoThroughTheHandshake()
{
    TestFolder folder;
    Seed(folder, {{QStringLiteral("{A}"), QStringLiteral("root")}});
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    MemoPane &frame = program.frame();
    TreeNode *a = findMemo(frame, QStringLiteral("{A}"));
    frame.tree()->setFocusedNode(a);
    frame.tree()->setFocus();

    QTest::keyClick(frame.tree(), Qt::Key_F2);
    // Refused at once, then opened from the posted message on the marked node.
    QCOMPARE(frame.controller().editNode(), a);
    QVERIFY(!frame.tree()->isEditing());
    QPlainTextEdit *editor = openEditor(frame);
    QCOMPARE(frame.tree()->editedNode(), a);
    QTest::keyClicks(editor, QStringLiteral("by F2"));
    commit(editor);
    QCOMPARE(storedRows(folder.path())[0].content, QStringLiteral("by F2"));
    QVERIFY(storedRows(folder.path())[0].editTime > 45000.5);
}

void TestMemosEdit::dropOfAGoneNodeIsHarmless()
{
    TestFolder folder;
    Seed(folder, {{QStringLiteral("{A}"), QStringLiteral("root")}});
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    MemoPane &frame = program.frame();
    findAction(frame, "addMemo")->trigger();
    openEditor(frame);
    // The reload cancels the edit, which posts the drop of a node the reload then frees.
    frame.reloadMemos();
    QTest::qWait(50);
    QCOMPARE(frame.tree()->totalCount(), 1);
    QCOMPARE(memoOf(frame.tree()->firstNode()).mid, QStringLiteral("{A}"));
    QVERIFY(prompts.shown.isEmpty());
}

void TestMemosEdit::destructorCommitsOpenEdit()
{
    TestFolder folder;
    ScriptedPrompts prompts;
    {
        StartedProgram program(folder.path());
        MemoPane &frame = program.frame();
        findAction(frame, "addMemo")->trigger();
        QTest::keyClicks(openEditor(frame), QStringLiteral("typed before exit"));
    }
    QCOMPARE(storedRows(folder.path()).size(), 1);
    QCOMPARE(storedRows(folder.path())[0].content, QStringLiteral("typed before exit"));
}

void TestMemosEdit::refusedWriteKeepsTextInTree()
{
    TestFolder folder;
    Seed(folder, {{QStringLiteral("{A}"), QStringLiteral("root")}});
    QFile::setPermissions(folder.file(QStringLiteral("kvData.kvb")), QFile::ReadOwner);
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    MemoPane &frame = program.frame();
    QCOMPARE(prompts.shown.size(), 1); // told at start that changes cannot be stored
    QVERIFY(prompts.shown[0].text.contains(QStringLiteral("read-only")));

    findAction(frame, "addMemo")->trigger();
    QPlainTextEdit *editor = openEditor(frame);
    QTest::keyClicks(editor, QStringLiteral("not stored"));
    commit(editor);
    QCOMPARE(prompts.shown.size(), 2);
    QCOMPARE(prompts.shown[1].caption, QStringLiteral("Korvel Jotwell"));
    QVERIFY(prompts.shown[1].text.contains(QStringLiteral("readonly")));
    // The tree keeps the text, without an id, so that nothing pretends it was stored.
    TreeNode *node = frame.tree()->lastTopLevelNode();
    QCOMPARE(memoOf(node).content, QStringLiteral("not stored"));
    QVERIFY(memoOf(node).mid.isEmpty());
    QVERIFY(!frame.controller().editNode());
    QVERIFY(findAction(frame, "addMemo")->isEnabled());
    QFile::setPermissions(folder.file(QStringLiteral("kvData.kvb")), QFile::ReadOwner | QFile::WriteOwner);
}

void TestMemosEdit::commitSurvivesKill()
{
    TestFolder folder;
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("JOTWELL_TEST_COMMIT_AND_WAIT"), folder.path());
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(), {});
    QVERIFY(child.waitForStarted());
    QByteArray output;
    QTRY_VERIFY_WITH_TIMEOUT((output += child.readAllStandardOutput()).contains("committed"), 15000);
    child.kill(); // SIGKILL: no clean-up of any kind
    QVERIFY(child.waitForFinished());
    const QList<Row> rows = storedRows(folder.path());
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0].content, QStringLiteral("survives"));
}

int main(int argc, char **argv)
{
    Application application(argc, argv);
    const QString childFolder = qEnvironmentVariable("JOTWELL_TEST_COMMIT_AND_WAIT");
    if (!childFolder.isEmpty())
        return commitAndWait(childFolder);
    TestMemosEdit test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_memopane_edit.moc"
