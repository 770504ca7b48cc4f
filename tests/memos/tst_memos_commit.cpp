// Nothing typed is lost: an open edit is stored before a box, a dialog, a reload, a paste or
// a drop, and when the editor loses the focus.
#include "TestSupport.h"
#include "app/Fm_Main.h"
#include "app/PostedMessages.h"
#include "app/pU_Funcs.h"
#include "memos/Fr_kvMemos.h"
#include "store/KvConnection.h"
#include "tree/KvVirtualTree.h"
#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QtTest>

namespace {

// Enter on the tree, then the given keys typed into the editor that opens.
QPlainTextEdit *AddAndType(TkvMemosFrame &frame, const QString &text)
{
    QTest::keyClick(frame.VtMemos, Qt::Key_Return);
    QPlainTextEdit *editor = OpenEditor(frame);
    if (editor)
        QTest::keyClicks(editor, text);
    return editor;
}

} // namespace

class TestMemosCommit : public QObject {
    Q_OBJECT
private slots:
    void dialogCommitsAndKeysWorkAfter();
    void memoMarkedButNotOpenEndsBeforeABox();
    void reloadStoresTypedText();
    void focusLossCommitsButOwnMenuDoesNot();
    void untypedMemoIsNeverStored();
    void pasteAndDropCommitFirstAndNormaliseLineBreaks();
    void readOnlySearchRaisesNoBox();
    void refusedStoreKeepsTheTypedMemo();
};

void TestMemosCommit::dialogCommitsAndKeysWorkAfter()
{
    TestFolder folder;
    ScriptedPrompts prompts; // the file dialog is cancelled
    StartedProgram program(folder.path());
    TkvMemosFrame &frame = program.frame();

    QVERIFY(AddAndType(frame, QStringLiteral("typed before backup")));
    program.mainFm().Action_DbBackup->trigger();
    QCOMPARE(prompts.fileRequests.size(), 1);
    QVERIFY(!frame.VtMemos->isEditing());
    QVERIFY(!frame.FEditNode);
    QCOMPARE(StoredMemoTexts(folder.path()), QStringList{QStringLiteral("typed before backup")});

    // The keys act on the tree as before the dialog: Enter adds, Esc drops the new memo...
    frame.VtMemos->setFocus();
    QVERIFY(AddAndType(frame, QString()));
    QTest::keyClick(frame.VtMemos->findChild<QPlainTextEdit *>(), Qt::Key_Escape);
    QTRY_COMPARE(frame.VtMemos->totalCount(), 1);
    // ...and F2 edits the memo in focus; the edit then ends with Ctrl+Enter.
    frame.VtMemos->setFocusedNode(frame.VtMemos->firstNode());
    QTest::keyClick(frame.VtMemos, Qt::Key_F2);
    QPlainTextEdit *editor = OpenEditor(frame);
    QVERIFY(editor);
    QTest::keyClicks(editor, QStringLiteral("edited"));
    // An existing memo's edit is stored by a box just as a new one's.
    TipBox(QStringLiteral("anything"));
    QVERIFY(!frame.FEditNode);
    QCOMPARE(StoredMemoTexts(folder.path()), QStringList{QStringLiteral("edited")});
}

void TestMemosCommit::memoMarkedButNotOpenEndsBeforeABox()
{
    TestFolder folder;
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    TkvMemosFrame &frame = program.frame();

    // Marked, its editor not opened yet: nothing typed, so it goes, and the posted open
    // finds no edit to open.
    frame.Action_MemoAddExecute();
    QVERIFY(frame.FEditNode);
    TipBox(QStringLiteral("anything"));
    QVERIFY(!frame.FEditNode);
    QTRY_COMPARE(frame.VtMemos->totalCount(), 0);
    QTest::qWait(50);
    QVERIFY(!frame.VtMemos->isEditing());
    QVERIFY(frame.Action_MemoAdd->isEnabled());
    QVERIFY(StoredMemoTexts(folder.path()).isEmpty());
}

void TestMemosCommit::reloadStoresTypedText()
{
    TestFolder folder;
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    TkvMemosFrame &frame = program.frame();

    QVERIFY(AddAndType(frame, QStringLiteral("kept over a reload")));
    PostKvMessage(&frame, WM_MEMOS_RELOAD);
    QTRY_VERIFY(!frame.FEditNode);
    QCOMPARE(StoredMemoTexts(folder.path()), QStringList{QStringLiteral("kept over a reload")});
    QTRY_COMPARE(frame.VtMemos->totalCount(), 1);
    QCOMPARE(frame.VtMemos->firstNode()->data.content, QStringLiteral("kept over a reload"));
}

void TestMemosCommit::focusLossCommitsButOwnMenuDoesNot()
{
    TestFolder folder;
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    TkvMemosFrame &frame = program.frame();

    // A focus move to another widget, or away from the window, ends the edit, stored.
    QVERIFY(AddAndType(frame, QStringLiteral("first")));
    frame.Edt_Search->setFocus(Qt::MouseFocusReason);
    QTRY_VERIFY(!frame.VtMemos->isEditing());
    QCOMPARE(StoredMemoTexts(folder.path()), QStringList{QStringLiteral("first")});

    frame.VtMemos->setFocus();
    QPlainTextEdit *editor = AddAndType(frame, QStringLiteral("second"));
    QVERIFY(editor);
    QFocusEvent away(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(editor, &away);
    QVERIFY(!frame.VtMemos->isEditing());
    QCOMPARE(StoredMemoTexts(folder.path()), QStringList({QStringLiteral("first"), QStringLiteral("second")}));

    // The editor's own context menu keeps the edit open while it is up.
    frame.VtMemos->setFocus();
    editor = AddAndType(frame, QStringLiteral("third"));
    QVERIFY(editor);
    QContextMenuEvent menuEvent(QContextMenuEvent::Keyboard, QPoint(5, 5), editor->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(editor->viewport(), &menuEvent);
    QTRY_VERIFY(QApplication::activePopupWidget());
    QVERIFY(frame.VtMemos->isEditing());
    QApplication::activePopupWidget()->close();
}

void TestMemosCommit::untypedMemoIsNeverStored()
{
    TestFolder folder;
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    TkvMemosFrame &frame = program.frame();

    // A reload, a click on the tip panel and a box each end an untouched new memo unstored.
    QVERIFY(AddAndType(frame, QString()));
    frame.ReloadMemos();
    QVERIFY(AddAndType(frame, QString()));
    frame.label_tipClick();
    QVERIFY(!frame.FEditNode);
    QVERIFY(AddAndType(frame, QString()));
    ErrorBox(QStringLiteral("anything"));
    QTRY_COMPARE(frame.VtMemos->totalCount(), 0);
    QVERIFY(StoredMemoTexts(folder.path()).isEmpty());
    QCOMPARE(frame.FTipMode, 2);
}

void TestMemosCommit::pasteAndDropCommitFirstAndNormaliseLineBreaks()
{
    TestFolder folder;
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    TkvMemosFrame &frame = program.frame();

    // A paste (the tray's command) while a memo is typed keeps the typed memo.
    QVERIFY(AddAndType(frame, QStringLiteral("typed")));
    frame.PasteAsMemo(QStringLiteral("a\r\nb\rc\nd\n\n"));
    QVERIFY(!frame.FEditNode);
    QCOMPARE(StoredMemoTexts(folder.path()), QStringList({QStringLiteral("a\r\nb\r\nc\r\nd"), QStringLiteral("typed")}));

    // A drop of text from another program, through the tree's viewport as a real one comes.
    frame.VtMemos->setFocus();
    QVERIFY(AddAndType(frame, QStringLiteral("typed too")));
    QMimeData data;
    data.setText(QStringLiteral("x\ry"));
    QWidget *viewport = frame.VtMemos->viewport();
    const QPoint blank(20, viewport->height() - 5);
    QDragEnterEvent enter(blank, Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(viewport, &enter);
    QDropEvent drop(blank, Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(viewport, &drop);
    QVERIFY(drop.isAccepted());
    QVERIFY(!frame.FEditNode);
    QCOMPARE(StoredMemoTexts(folder.path()), QStringList({QStringLiteral("a\r\nb\r\nc\r\nd"), QStringLiteral("typed"),
                                                      QStringLiteral("typed too"), QStringLiteral("x\r\ny")}));

    // The text report shows the pasted memo's lines.
    const QString report = folder.file(QStringLiteral("all.txt"));
    QVERIFY(frame.WriteTextReport(true, report));
    QFile file(report);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    QVERIFY2(text.contains(QStringLiteral(" * a\r\n   b\r\n   c\r\n   d\r\n")), qPrintable(text));
}

void TestMemosCommit::readOnlySearchRaisesNoBox()
{
    TestFolder folder;
    {
        KvConnection connection;
        connection.open(folder.file(QStringLiteral("kvData.kvb")));
        InsertMemoRow(connection, QStringLiteral("{A}"), QStringLiteral("root"), QStringLiteral("alpha"), false);
        InsertMemoRow(connection, QStringLiteral("{A1}"), QStringLiteral("{A}"), QStringLiteral("needle"), false);
    }
    QFile::setPermissions(folder.file(QStringLiteral("kvData.kvb")), QFile::ReadOwner);
    ScriptedPrompts prompts;
    {
        StartedProgram program(folder.path());
        TkvMemosFrame &frame = program.frame();
        const qsizetype boxesAtStart = prompts.shown.size(); // the read-only warning
        frame.Edt_SearchEnter();
        for (const QString &text : {QStringLiteral("n"), QStringLiteral("ne"), QStringLiteral("nee")})
            frame.Edt_Search->setText(text);
        frame.Action_CollapseAllExecute();
        frame.Action_ExpandAllExecute();
        QCOMPARE(prompts.shown.size(), boxesAtStart);
        KvTreeNode *memo = FindMemo(frame, QStringLiteral("{A}"));
        QVERIFY(memo->isExpanded());
        QVERIFY(memo->data.expandFlag);
        QCOMPARE(StoredExpandFlag(program.mainFm(), QStringLiteral("{A}")), 0);
    }
    QFile::setPermissions(folder.file(QStringLiteral("kvData.kvb")), QFile::ReadOwner | QFile::WriteOwner);
}

void TestMemosCommit::refusedStoreKeepsTheTypedMemo()
{
    TestFolder folder;
    {
        KvConnection connection;
        connection.open(folder.file(QStringLiteral("kvData.kvb")));
    }
    QFile::setPermissions(folder.file(QStringLiteral("kvData.kvb")), QFile::ReadOwner);
    ScriptedPrompts prompts;
    {
        StartedProgram program(folder.path());
        TkvMemosFrame &frame = program.frame();
        // The error box of the refused insert must not end the edit a second time, which
        // would drop the memo that has just lost its id.
        QPlainTextEdit *editor = AddAndType(frame, QStringLiteral("typed on a read-only file"));
        QVERIFY(editor);
        QTest::keyClick(editor, Qt::Key_Return, Qt::ControlModifier);
        QVERIFY(!frame.FEditNode);
        QTest::qWait(50);
        QCOMPARE(frame.VtMemos->totalCount(), 1);
        QCOMPARE(frame.VtMemos->firstNode()->data.content, QStringLiteral("typed on a read-only file"));
    }
    QFile::setPermissions(folder.file(QStringLiteral("kvData.kvb")), QFile::ReadOwner | QFile::WriteOwner);
}

JOTWELL_TEST_MAIN(TestMemosCommit)
#include "tst_memos_commit.moc"
