// SPDX-License-Identifier: GPL-3.0-or-later
// Nothing typed is lost: an open edit is stored before a box, a dialog, a reload, a paste or
// a drop, and when the editor loses the focus.
#include "TestSupport.h"
#include "gui/MainWindow.h"
#include "gui/Prompts.h"
#include "gui/MemoPane.h"
#include "gui/memos/TipPanel.h"
#include "gui/memos/MemoOutput.h"
#include "gui/memos/MemoNode.h"
#include "core/Database.h"
#include "treeview/MemoTree.h"
#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QtTest>

namespace {

// Enter on the tree, then the given keys typed into the editor that opens.
QPlainTextEdit *addAndType(MemoPane &frame, const QString &text)
{
    QTest::keyClick(frame.tree(), Qt::Key_Return);
    QPlainTextEdit *editor = openEditor(frame);
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
    MemoPane &frame = program.frame();

    QVERIFY(addAndType(frame, QStringLiteral("typed before backup")));
    findAction(program.mainWindow(), "backup")->trigger();
    QCOMPARE(prompts.fileRequests.size(), 1);
    QVERIFY(!frame.tree()->isEditing());
    QVERIFY(!frame.controller().editNode());
    QCOMPARE(storedMemoTexts(folder.path()), QStringList{QStringLiteral("typed before backup")});

    // The keys act on the tree as before the dialog: Enter adds, Esc drops the new memo...
    frame.tree()->setFocus();
    QVERIFY(addAndType(frame, QString()));
    QTest::keyClick(frame.tree()->findChild<QPlainTextEdit *>(), Qt::Key_Escape);
    QTRY_COMPARE(frame.tree()->totalCount(), 1);
    // ...and F2 edits the memo in focus; the edit then ends with Ctrl+Enter.
    frame.tree()->setFocusedNode(frame.tree()->firstNode());
    QTest::keyClick(frame.tree(), Qt::Key_F2);
    QPlainTextEdit *editor = openEditor(frame);
    QVERIFY(editor);
    QTest::keyClicks(editor, QStringLiteral("edited"));
    // An existing memo's edit is stored by a box just as a new one's.
    tipBox(QStringLiteral("anything"));
    QVERIFY(!frame.controller().editNode());
    QCOMPARE(storedMemoTexts(folder.path()), QStringList{QStringLiteral("edited")});
}

void TestMemosCommit::memoMarkedButNotOpenEndsBeforeABox()
{
    TestFolder folder;
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    MemoPane &frame = program.frame();

    // Marked, its editor not opened yet: nothing typed, so it goes, and the posted open
    // finds no edit to open.
    frame.controller().addMemo();
    QVERIFY(frame.controller().editNode());
    tipBox(QStringLiteral("anything"));
    QVERIFY(!frame.controller().editNode());
    QTRY_COMPARE(frame.tree()->totalCount(), 0);
    QTest::qWait(50);
    QVERIFY(!frame.tree()->isEditing());
    QVERIFY(findAction(frame, "addMemo")->isEnabled());
    QVERIFY(storedMemoTexts(folder.path()).isEmpty());
}

void TestMemosCommit::reloadStoresTypedText()
{
    TestFolder folder;
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    MemoPane &frame = program.frame();

    QVERIFY(addAndType(frame, QStringLiteral("kept over a reload")));
    QMetaObject::invokeMethod(&frame, &MemoPane::reloadMemos, Qt::QueuedConnection);
    QTRY_VERIFY(!frame.controller().editNode());
    QCOMPARE(storedMemoTexts(folder.path()), QStringList{QStringLiteral("kept over a reload")});
    QTRY_COMPARE(frame.tree()->totalCount(), 1);
    QCOMPARE(memoOf(frame.tree()->firstNode()).content, QStringLiteral("kept over a reload"));
}

void TestMemosCommit::focusLossCommitsButOwnMenuDoesNot()
{
    TestFolder folder;
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    MemoPane &frame = program.frame();

    // A focus move to another widget, or away from the window, ends the edit, stored.
    QVERIFY(addAndType(frame, QStringLiteral("first")));
    findNamed<QLineEdit>(frame, "searchBox")->setFocus(Qt::MouseFocusReason);
    QTRY_VERIFY(!frame.tree()->isEditing());
    QCOMPARE(storedMemoTexts(folder.path()), QStringList{QStringLiteral("first")});

    frame.tree()->setFocus();
    QPlainTextEdit *editor = addAndType(frame, QStringLiteral("second"));
    QVERIFY(editor);
    QFocusEvent away(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(editor, &away);
    QVERIFY(!frame.tree()->isEditing());
    QCOMPARE(storedMemoTexts(folder.path()), QStringList({QStringLiteral("first"), QStringLiteral("second")}));

    // The editor's own context menu keeps the edit open while it is up.
    frame.tree()->setFocus();
    editor = addAndType(frame, QStringLiteral("third"));
    QVERIFY(editor);
    QContextMenuEvent menuEvent(QContextMenuEvent::Keyboard, QPoint(5, 5), editor->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(editor->viewport(), &menuEvent);
    QTRY_VERIFY(QApplication::activePopupWidget());
    QVERIFY(frame.tree()->isEditing());
    QApplication::activePopupWidget()->close();
}

void TestMemosCommit::untypedMemoIsNeverStored()
{
    TestFolder folder;
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    MemoPane &frame = program.frame();

    // A reload, a click on the tip panel and a box each end an untouched new memo unstored.
    QVERIFY(addAndType(frame, QString()));
    frame.reloadMemos();
    QVERIFY(addAndType(frame, QString()));
    clickTip(frame);
    QVERIFY(!frame.controller().editNode());
    QVERIFY(addAndType(frame, QString()));
    errorBox(QStringLiteral("anything"));
    QTRY_COMPARE(frame.tree()->totalCount(), 0);
    QVERIFY(storedMemoTexts(folder.path()).isEmpty());
    QCOMPARE(frame.tipPanel().mode(), TipMode::AddMemo);
}

void TestMemosCommit::pasteAndDropCommitFirstAndNormaliseLineBreaks()
{
    TestFolder folder;
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    MemoPane &frame = program.frame();

    // A paste (the tray's command) while a memo is typed keeps the typed memo.
    QVERIFY(addAndType(frame, QStringLiteral("typed")));
    frame.controller().pasteAsMemo(QStringLiteral("a\r\nb\rc\nd\n\n"));
    QVERIFY(!frame.controller().editNode());
    QCOMPARE(storedMemoTexts(folder.path()), QStringList({QStringLiteral("a\r\nb\r\nc\r\nd"), QStringLiteral("typed")}));

    // A drop of text from another program, through the tree's viewport as a real one comes.
    frame.tree()->setFocus();
    QVERIFY(addAndType(frame, QStringLiteral("typed too")));
    QMimeData data;
    data.setText(QStringLiteral("x\ry"));
    QWidget *viewport = frame.tree()->viewport();
    const QPoint blank(20, viewport->height() - 5);
    QDragEnterEvent enter(blank, Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(viewport, &enter);
    QDropEvent drop(blank, Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(viewport, &drop);
    QVERIFY(drop.isAccepted());
    QVERIFY(!frame.controller().editNode());
    QCOMPARE(storedMemoTexts(folder.path()), QStringList({QStringLiteral("a\r\nb\r\nc\r\nd"), QStringLiteral("typed"),
                                                      QStringLiteral("typed too"), QStringLiteral("x\r\ny")}));

    // The text report shows the pasted memo's lines.
    const QString report = folder.file(QStringLiteral("all.txt"));
    QVERIFY(frame.output().writeTextReport(true, report));
    QFile file(report);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    QVERIFY2(text.contains(QStringLiteral(" * a\r\n   b\r\n   c\r\n   d\r\n")), qPrintable(text));
}

void TestMemosCommit::readOnlySearchRaisesNoBox()
{
    TestFolder folder;
    {
        Database connection;
        connection.open(folder.file(QStringLiteral("kvData.kvb")));
        insertMemoRow(connection, QStringLiteral("{A}"), QStringLiteral("root"), QStringLiteral("alpha"), false);
        insertMemoRow(connection, QStringLiteral("{A1}"), QStringLiteral("{A}"), QStringLiteral("needle"), false);
    }
    QFile::setPermissions(folder.file(QStringLiteral("kvData.kvb")), QFile::ReadOwner);
    ScriptedPrompts prompts;
    {
        StartedProgram program(folder.path());
        MemoPane &frame = program.frame();
        const qsizetype boxesAtStart = prompts.shown.size(); // the read-only warning
        enterSearchBox(frame);
        for (const QString &text : {QStringLiteral("n"), QStringLiteral("ne"), QStringLiteral("nee")})
            findNamed<QLineEdit>(frame, "searchBox")->setText(text);
        frame.controller().collapseAll();
        frame.controller().expandAll();
        QCOMPARE(prompts.shown.size(), boxesAtStart);
        TreeNode *memo = findMemo(frame, QStringLiteral("{A}"));
        QVERIFY(memo->isExpanded());
        QVERIFY(memoOf(memo).expandFlag);
        QCOMPARE(storedExpandFlag(program.mainWindow(), QStringLiteral("{A}")), 0);
    }
    QFile::setPermissions(folder.file(QStringLiteral("kvData.kvb")), QFile::ReadOwner | QFile::WriteOwner);
}

void TestMemosCommit::refusedStoreKeepsTheTypedMemo()
{
    TestFolder folder;
    {
        Database connection;
        connection.open(folder.file(QStringLiteral("kvData.kvb")));
    }
    QFile::setPermissions(folder.file(QStringLiteral("kvData.kvb")), QFile::ReadOwner);
    ScriptedPrompts prompts;
    {
        StartedProgram program(folder.path());
        MemoPane &frame = program.frame();
        // The error box of the refused insert must not end the edit a second time, which
        // would drop the memo that has just lost its id.
        QPlainTextEdit *editor = addAndType(frame, QStringLiteral("typed on a read-only file"));
        QVERIFY(editor);
        QTest::keyClick(editor, Qt::Key_Return, Qt::ControlModifier);
        QVERIFY(!frame.controller().editNode());
        QTest::qWait(50);
        QCOMPARE(frame.tree()->totalCount(), 1);
        QCOMPARE(memoOf(frame.tree()->firstNode()).content, QStringLiteral("typed on a read-only file"));
    }
    QFile::setPermissions(folder.file(QStringLiteral("kvData.kvb")), QFile::ReadOwner | QFile::WriteOwner);
}

JOTWELL_TEST_MAIN(TestMemosCommit)
#include "tst_memopane_commit.moc"
