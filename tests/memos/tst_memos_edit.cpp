#include "TestSupport.h"
#include "app/Fm_Main.h"
#include "app/PostedMessages.h"
#include "memos/Fr_kvMemos.h"
#include "store/KvConnection.h"
#include "store/KvQuery.h"
#include "store/SqlCatalogue.h"
#include "app/pU_Funcs.h"
#include "tree/KvVirtualTree.h"
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

QList<Row> Rows(const QString &folder)
{
    KvConnection connection;
    connection.open(folder + QStringLiteral("kvData.kvb"));
    KvQuery query(connection);
    QList<Row> rows;
    for (OpenSql(query, Sql::SelectAllMemos()); !query.eof(); query.next())
        rows.append({query.fieldAsString("mid"), query.fieldAsString("pid"), query.fieldAsString("content"),
                     query.fieldAsDateTime("assignTime"), query.fieldAsDateTime("createTime"),
                     query.fieldAsDateTime("editTime")});
    return rows;
}

void Seed(const TestFolder &folder, const QList<std::pair<QString, QString>> &memos)
{
    KvConnection connection;
    connection.open(folder.file(QStringLiteral("kvData.kvb")));
    for (const auto &[mid, pid] : memos)
        InsertMemoRow(connection, mid, pid, QStringLiteral("text ") + mid, true);
}

void Commit(QPlainTextEdit *editor)
{
    QTest::keyClick(editor, Qt::Key_Return, Qt::ControlModifier);
}

// Started as a child process: adds a memo through the keys, commits it, says so, and waits
// to be killed.
int CommitAndWait(const QString &folder)
{
    StartedProgram program(folder);
    TkvMemosFrame &frame = program.frame();
    QTest::keyClick(frame.VtMemos, Qt::Key_Return);
    QPlainTextEdit *editor = OpenEditor(frame);
    QTest::keyClicks(editor, QStringLiteral("survives"));
    Commit(editor);
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
    TkvMemosFrame &frame = program.frame();

    QTest::keyClick(frame.VtMemos, Qt::Key_Return);
    QPlainTextEdit *editor = OpenEditor(frame);
    QVERIFY(frame.FEditNode);
    QCOMPARE(frame.FTipMode, 1);
    QVERIFY(!frame.Action_MemoAdd->isEnabled());
    const int line = frame.VtMemos->textHeight(frame.FEditNode, QStringLiteral("l"));
    QVERIFY(frame.VtMemos->nodeRect(frame.FEditNode).height() >= 4 * line + 4);

    QTest::keyClicks(editor, QStringLiteral("first"));
    QTest::keyClick(editor, Qt::Key_Return); // a new line, not the end of the edit
    QVERIFY(frame.VtMemos->isEditing());
    QTest::keyClicks(editor, QStringLiteral("second"));
    Commit(editor);
    QVERIFY(!frame.VtMemos->isEditing());
    QVERIFY(!frame.FEditNode);
    QCOMPARE(frame.FTipMode, 0);

    QList<Row> rows = Rows(folder.path());
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0].content, QStringLiteral("first\r\nsecond"));
    QCOMPARE(rows[0].pid, QStringLiteral("root"));
    QCOMPARE(rows[0].mid.size(), 38);
    QVERIFY(rows[0].mid.startsWith(QLatin1Char('{')) && rows[0].mid == rows[0].mid.toUpper());
    QCOMPARE(rows[0].assignTime, rows[0].createTime);
    QVERIFY(rows[0].editTime >= rows[0].createTime);
    QVERIFY(qAbs(rows[0].createTime - DateTimeNow()) < 1.0 / 24);
    KvTreeNode *node = FindMemo(frame, rows[0].mid);
    QVERIFY(node && node->isSelected());
    QVERIFY(frame.Action_MemoEdit->isEnabled());

    // A second memo through a double click on blank space gets an id of its own.
    const QPoint blank(10, frame.VtMemos->viewport()->height() - 5);
    QTest::mouseMove(frame.VtMemos->viewport(), blank);
    frame.VtMemosMouseMove(blank);
    QTest::mouseDClick(frame.VtMemos->viewport(), Qt::LeftButton, {}, blank);
    editor = OpenEditor(frame);
    QTest::keyClicks(editor, QStringLiteral("other"));
    Commit(editor);
    rows = Rows(folder.path());
    QCOMPARE(rows.size(), 2);
    QVERIFY(rows[0].mid != rows[1].mid);
}

void TestMemosEdit::escapeAndUntouchedFocusLossLeaveNothing()
{
    TestFolder folder;
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    TkvMemosFrame &frame = program.frame();

    frame.Action_MemoAdd->trigger();
    QPlainTextEdit *editor = OpenEditor(frame);
    QTest::keyClicks(editor, QStringLiteral("never stored"));
    QTest::keyClick(editor, Qt::Key_Escape);
    QTRY_COMPARE(frame.VtMemos->totalCount(), 0);
    QVERIFY(!frame.FEditNode);
    QCOMPARE(frame.FTipMode, 2); // the empty list offers to add a memo again

    frame.Action_MemoAdd->trigger();
    OpenEditor(frame);
    frame.Edt_Search->setFocus(); // the editor loses the focus without a change
    QTRY_COMPARE(frame.VtMemos->totalCount(), 0);
    QVERIFY(!frame.VtMemos->isEditing());
    QVERIFY(Rows(folder.path()).isEmpty());
}

void TestMemosEdit::blanksAndTrailingLinesAreTrimmed()
{
    TestFolder folder;
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    TkvMemosFrame &frame = program.frame();

    frame.Action_MemoAdd->trigger();
    QPlainTextEdit *editor = OpenEditor(frame);
    QTest::keyClicks(editor, QStringLiteral("   \t "));
    Commit(editor);
    QCOMPARE(Rows(folder.path()).size(), 1);
    QCOMPARE(Rows(folder.path())[0].content, QString());
    QCOMPARE(frame.VtMemos->totalCount(), 1); // stays, shown with the placeholder
    KvTreeNode *node = frame.VtMemos->firstNode();
    QCOMPARE(frame.VtMemosGetText(node), QStringLiteral("Input content here"));

    frame.Action_MemoEdit->trigger();
    editor = OpenEditor(frame);
    QCOMPARE(frame.VtMemosGetText(node), QString()); // the edited memo shows its plain text
    QTest::keyClicks(editor, QStringLiteral("  keep leading"));
    QTest::keyClick(editor, Qt::Key_Return);
    QTest::keyClick(editor, Qt::Key_Return);
    QTest::keyClicks(editor, QStringLiteral("  "));
    Commit(editor);
    QCOMPARE(Rows(folder.path())[0].content, QStringLiteral("  keep leading"));
    QCOMPARE(node->data.content, QStringLiteral("  keep leading"));
}

void TestMemosEdit::unchangedEditIssuesNoUpdate()
{
    TestFolder folder;
    Seed(folder, {{QStringLiteral("{A}"), QStringLiteral("root")}, {QStringLiteral("{B}"), QStringLiteral("root")}});
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    TkvMemosFrame &frame = program.frame();
    sqlite3 *db = program.mainFm().connection().handle();
    const int changes = sqlite3_total_changes(db);

    // With two memos selected, only the first is edited.
    frame.VtMemos->setSelected(FindMemo(frame, QStringLiteral("{B}")), true);
    frame.VtMemos->setSelected(FindMemo(frame, QStringLiteral("{A}")), true);
    frame.Action_MemoEdit->trigger();
    QPlainTextEdit *editor = OpenEditor(frame);
    QCOMPARE(frame.VtMemos->editedNode(), FindMemo(frame, QStringLiteral("{A}")));
    Commit(editor);
    QCOMPARE(sqlite3_total_changes(db), changes);

    frame.Action_MemoEdit->trigger();
    editor = OpenEditor(frame);
    QTest::keyClicks(editor, QStringLiteral("changed"));
    QTest::keyClick(editor, Qt::Key_Escape);
    QCOMPARE(sqlite3_total_changes(db), changes);
    QCOMPARE(FindMemo(frame, QStringLiteral("{A}"))->data.content, QStringLiteral("text {A}"));
    QCOMPARE(Rows(folder.path())[0].editTime, 45000.5);
}

void TestMemosEdit::subMemoParentChoice()
{
    TestFolder folder;
    ScriptedPrompts prompts;
    {
        StartedProgram program(folder.path());
        program.frame().Action_MemoAddChild->trigger();
        QCOMPARE(prompts.shown.size(), 1);
        QCOMPARE(prompts.shown[0].caption, QStringLiteral("Tip"));
        QCOMPARE(prompts.shown[0].text, QStringLiteral("Please select a memo!"));
        QCOMPARE(program.frame().VtMemos->totalCount(), 0);
    }
    Seed(folder, {{QStringLiteral("{A}"), QStringLiteral("root")},
                  {QStringLiteral("{A1}"), QStringLiteral("{A}")},
                  {QStringLiteral("{B}"), QStringLiteral("root")}});
    StartedProgram program(folder.path());
    TkvMemosFrame &frame = program.frame();

    // A sub-memo selected: the new memo is its sibling.
    frame.VtMemos->setSelected(FindMemo(frame, QStringLiteral("{A1}")), true);
    frame.VtMemos->setFocus();
    QTest::keyClick(frame.VtMemos, Qt::Key_Return, Qt::ControlModifier);
    QPlainTextEdit *editor = OpenEditor(frame);
    QCOMPARE(frame.FEditNode->parent(), FindMemo(frame, QStringLiteral("{A}")));
    QTest::keyClicks(editor, QStringLiteral("sibling"));
    Commit(editor);

    // Nothing selected: the last memo of the list is the parent.
    frame.Action_DeselectExecute();
    frame.Action_MemoAddChild->trigger();
    editor = OpenEditor(frame);
    QCOMPARE(frame.FEditNode->parent(), frame.VtMemos->lastTopLevelNode());
    QTest::keyClicks(editor, QStringLiteral("child of last"));
    Commit(editor);

    QMap<QString, QString> parentOf;
    for (const Row &row : Rows(folder.path()))
        parentOf[row.content] = row.pid;
    QCOMPARE(parentOf.value(QStringLiteral("sibling")), QStringLiteral("{A}"));
    QCOMPARE(parentOf.value(QStringLiteral("child of last")), frame.VtMemos->lastTopLevelNode()->data.mid);
}

void TestMemosEdit::busyEditIgnoresOtherRequests()
{
    TestFolder folder;
    Seed(folder, {{QStringLiteral("{A}"), QStringLiteral("root")}});
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    TkvMemosFrame &frame = program.frame();
    frame.Action_MemoAdd->trigger();
    QPlainTextEdit *editor = OpenEditor(frame);
    KvTreeNode *pending = frame.FEditNode;

    PostKvMessage(&frame, WM_MEMOS_ADD);
    frame.Action_MemoAddExecute();
    frame.Action_MemoAddChildExecute();
    frame.VtMemosDblClick();
    QCoreApplication::processEvents();
    QCOMPARE(frame.VtMemos->totalCount(), 2);
    QCOMPARE(frame.FEditNode, pending);
    QVERIFY(frame.VtMemos->isEditing());
    QTest::keyClick(editor, Qt::Key_Escape);
    QTRY_COMPARE(frame.VtMemos->totalCount(), 1);
}

void TestMemosEdit::treeRequestsGoThroughTheHandshake()
{
    TestFolder folder;
    Seed(folder, {{QStringLiteral("{A}"), QStringLiteral("root")}});
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    TkvMemosFrame &frame = program.frame();
    KvTreeNode *a = FindMemo(frame, QStringLiteral("{A}"));
    frame.VtMemos->setFocusedNode(a);
    frame.VtMemos->setFocus();

    QTest::keyClick(frame.VtMemos, Qt::Key_F2);
    // Refused at once, then opened from the posted message on the marked node.
    QCOMPARE(frame.FEditNode, a);
    QVERIFY(!frame.VtMemos->isEditing());
    QPlainTextEdit *editor = OpenEditor(frame);
    QCOMPARE(frame.VtMemos->editedNode(), a);
    QTest::keyClicks(editor, QStringLiteral("by F2"));
    Commit(editor);
    QCOMPARE(Rows(folder.path())[0].content, QStringLiteral("by F2"));
    QVERIFY(Rows(folder.path())[0].editTime > 45000.5);
}

void TestMemosEdit::dropOfAGoneNodeIsHarmless()
{
    TestFolder folder;
    Seed(folder, {{QStringLiteral("{A}"), QStringLiteral("root")}});
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    TkvMemosFrame &frame = program.frame();
    frame.Action_MemoAdd->trigger();
    OpenEditor(frame);
    // The reload cancels the edit, which posts the drop of a node the reload then frees.
    frame.ReloadMemos();
    QTest::qWait(50);
    QCOMPARE(frame.VtMemos->totalCount(), 1);
    QCOMPARE(frame.VtMemos->firstNode()->data.mid, QStringLiteral("{A}"));
    QVERIFY(prompts.shown.isEmpty());
}

void TestMemosEdit::destructorCommitsOpenEdit()
{
    TestFolder folder;
    ScriptedPrompts prompts;
    {
        StartedProgram program(folder.path());
        TkvMemosFrame &frame = program.frame();
        frame.Action_MemoAdd->trigger();
        QTest::keyClicks(OpenEditor(frame), QStringLiteral("typed before exit"));
    }
    QCOMPARE(Rows(folder.path()).size(), 1);
    QCOMPARE(Rows(folder.path())[0].content, QStringLiteral("typed before exit"));
}

void TestMemosEdit::refusedWriteKeepsTextInTree()
{
    TestFolder folder;
    Seed(folder, {{QStringLiteral("{A}"), QStringLiteral("root")}});
    QFile::setPermissions(folder.file(QStringLiteral("kvData.kvb")), QFile::ReadOwner);
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    TkvMemosFrame &frame = program.frame();
    QCOMPARE(prompts.shown.size(), 1); // told at start that changes cannot be stored
    QVERIFY(prompts.shown[0].text.contains(QStringLiteral("read-only")));

    frame.Action_MemoAdd->trigger();
    QPlainTextEdit *editor = OpenEditor(frame);
    QTest::keyClicks(editor, QStringLiteral("not stored"));
    Commit(editor);
    QCOMPARE(prompts.shown.size(), 2);
    QCOMPARE(prompts.shown[1].caption, QStringLiteral("Korvel Jotwell"));
    QVERIFY(prompts.shown[1].text.contains(QStringLiteral("readonly")));
    // The tree keeps the text, without an id, so that nothing pretends it was stored.
    KvTreeNode *node = frame.VtMemos->lastTopLevelNode();
    QCOMPARE(node->data.content, QStringLiteral("not stored"));
    QVERIFY(node->data.mid.isEmpty());
    QVERIFY(!frame.FEditNode);
    QVERIFY(frame.Action_MemoAdd->isEnabled());
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
    const QList<Row> rows = Rows(folder.path());
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0].content, QStringLiteral("survives"));
}

int main(int argc, char **argv)
{
    KvApplication application(argc, argv);
    const QString childFolder = qEnvironmentVariable("JOTWELL_TEST_COMMIT_AND_WAIT");
    if (!childFolder.isEmpty())
        return CommitAndWait(childFolder);
    TestMemosEdit test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_memos_edit.moc"
