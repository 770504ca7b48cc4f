// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestSupport.h"
#include "gui/memos/TipPanel.h"
#include "gui/MainWindow.h"

#include "gui/MemoPane.h"
#include "gui/memos/SearchBar.h"
#include "gui/PictureBar.h"
#include "gui/memos/MemoRowPainter.h"
#include "gui/memos/MemoNode.h"
#include "core/Database.h"
#include "core/MemoStore.h"
#include "treeview/MemoTree.h"
#include <QAction>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QToolButton>
#include <QtTest>

namespace {

int height(MemoPane &frame, TreeNode *node)
{
    return frame.rowPainter()->nodeHeight(node);
}

int lineOf(MemoPane &frame, TreeNode *node)
{
    return frame.tree()->textHeight(node, QStringLiteral("l"));
}

// The colour paintNodeBackground gives the middle of a row.
QRgb background(MemoPane &frame, TreeNode *node)
{
    QImage canvas(40, 20, QImage::Format_RGB32);
    canvas.fill(Qt::black);
    QPainter painter(&canvas);
    frame.rowPainter()->paintNodeBackground(painter, node, canvas.rect());
    painter.end();
    return canvas.pixel(20, 10);
}

QRgb middle(const QImage &picture)
{
    return picture.scaled(40, 20, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).pixel(20, 10);
}

// Colours equal but for rounding in scaling.
bool near(QRgb a, QRgb b)
{
    return qAbs(qRed(a) - qRed(b)) <= 2 && qAbs(qGreen(a) - qGreen(b)) <= 2 && qAbs(qBlue(a) - qBlue(b)) <= 2;
}

struct Row {
    QString content;
    double assignTime;
};

QList<Row> storedRows(MainWindow &mainWindow)
{
    QList<Row> rows;
    for (const Memo &memo : mainWindow.memoStore().allMemos())
        rows.append({memo.content, memo.assignTime});
    return rows;
}

} // namespace

class TestMemosView : public QObject {
    Q_OBJECT
private:
    void seed(const TestFolder &folder)
    {
        Database connection;
        connection.open(folder.file(QStringLiteral("kvData.kvb")));
        insertMemoRow(connection, QStringLiteral("{A}"), QStringLiteral("root"), QStringLiteral("one\r\ntwo\r\nthree"), true);
        insertMemoRow(connection, QStringLiteral("{A1}"), QStringLiteral("{A}"), QStringLiteral("sub"));
        insertMemoRow(connection, QStringLiteral("{B}"), QStringLiteral("root"), QStringLiteral("b"));
        insertMemoRow(connection, QStringLiteral("{C}"), QStringLiteral("root"), QString());
    }

private slots:
    void rowHeights();
    void placeholderAndBackgrounds();
    void tipPanelModesAndClicks();
    void searchBoxFillsTheBar();
    void copyJoinsWithCarriageReturn();
    void pasteAddsOneStoredMemo();
};

void TestMemosView::rowHeights()
{
    TestFolder folder;
    seed(folder);
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    MemoPane &frame = program.frame();
    TreeNode *three = findMemo(frame, QStringLiteral("{A}"));
    TreeNode *empty = findMemo(frame, QStringLiteral("{C}"));
    TreeNode *one = findMemo(frame, QStringLiteral("{B}"));
    const int line = lineOf(frame, one);

    QCOMPARE(height(frame, three), frame.tree()->textHeight(three, QStringLiteral("a\nb\nc")) + 4);
    QVERIFY(height(frame, three) >= 3 * line + 4);
    QCOMPARE(height(frame, empty), line + 4);
    QCOMPARE(height(frame, one), line + 4);

    // Editing makes room for four lines, and the row shrinks back afterwards.
    frame.tree()->setSelected(one, true);
    findAction(frame, "editMemo")->trigger();
    QPlainTextEdit *editor = openEditor(frame);
    QCOMPARE(height(frame, one), 4 * line + 4);
    QCOMPARE(frame.tree()->nodeRect(one).height(), 4 * line + 4);
    QTest::keyClick(editor, Qt::Key_Escape);
    QCOMPARE(height(frame, one), line + 4);
    QTRY_COMPARE(frame.tree()->nodeRect(one).height(), line + 4);

    // A text taller than the tree is capped at the tree less one line while edited.
    memoOf(one).content = QStringLiteral("x\r\n").repeated(200);
    markForEditing(frame, one);
    QTRY_VERIFY(frame.tree()->isEditing());
    QCOMPARE(height(frame, one), frame.tree()->height() - line);
    QVERIFY(frame.tree()->cancelEditNode());
    QTRY_VERIFY(!frame.controller().editNode());
    QVERIFY(height(frame, one) > frame.tree()->height());

    // List view: one line each, except the memo the mouse rests on.
    findAction(frame, "listView")->trigger();
    QCOMPARE(height(frame, three), line + 4);
    QTest::mouseMove(frame.tree()->viewport(), frame.tree()->nodeRect(three).center());
    QTRY_COMPARE(frame.rowPainter()->hoveredNode(), three);
    QVERIFY(height(frame, three) >= 3 * line + 4);
}

void TestMemosView::placeholderAndBackgrounds()
{
    TestFolder folder;
    seed(folder);
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    MemoPane &frame = program.frame();
    MainWindow &mainWindow = program.mainWindow();

    QFont font = frame.tree()->font();
    QColor colour = Qt::black;
    frame.rowPainter()->styleNodeText(findMemo(frame, QStringLiteral("{C}")), font, colour);
    QVERIFY(font.italic());
    QCOMPARE(colour, frame.palette().color(QPalette::PlaceholderText));
    font = frame.tree()->font();
    colour = Qt::black;
    frame.rowPainter()->styleNodeText(findMemo(frame, QStringLiteral("{B}")), font, colour);
    QVERIFY(!font.italic());
    QCOMPARE(colour, QColor(Qt::black));
    markForEditing(frame, findMemo(frame, QStringLiteral("{C}")));
    QTRY_VERIFY(frame.tree()->isEditing());
    frame.rowPainter()->styleNodeText(frame.controller().editNode(), font, colour);
    QVERIFY(!font.italic());
    QVERIFY(frame.tree()->cancelEditNode());
    QTRY_VERIFY(!frame.controller().editNode());
    // The row shrinks back at its next paint; the mouse below aims at what is shown.
    QTRY_COMPARE(frame.tree()->nodeRect(findMemo(frame, QStringLiteral("{C}"))).height(),
                 lineOf(frame, findMemo(frame, QStringLiteral("{C}"))) + 4);

    // Order: "" (C), "b" (B), "one..." (A): pictures alternate by index among siblings.
    QCOMPARE(findMemo(frame, QStringLiteral("{C}"))->index(), 0);
    QVERIFY(!near(middle(mainWindow.backgrounds().item0), middle(mainWindow.backgrounds().item1)));
    QVERIFY(near(background(frame, findMemo(frame, QStringLiteral("{C}"))), middle(mainWindow.backgrounds().item0)));
    QVERIFY(near(background(frame, findMemo(frame, QStringLiteral("{B}"))), middle(mainWindow.backgrounds().item1)));
    QVERIFY(near(background(frame, findMemo(frame, QStringLiteral("{A}"))), middle(mainWindow.backgrounds().item0)));
    QVERIFY(near(background(frame, findMemo(frame, QStringLiteral("{A1}"))), middle(mainWindow.backgrounds().group)));

    // The row under the mouse takes the information colour.
    TreeNode *b = findMemo(frame, QStringLiteral("{B}"));
    QTest::mouseMove(frame.tree()->viewport(), frame.tree()->nodeRect(b).center());
    QTRY_COMPARE(frame.tree()->hotNode(), b);
    QCOMPARE(QColor(background(frame, b)), frame.palette().color(QPalette::ToolTipBase));
}

void TestMemosView::tipPanelModesAndClicks()
{
    TestFolder folder;
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    MemoPane &frame = program.frame();

    QCOMPARE(frame.tipPanel().mode(), TipMode::AddMemo);
    QTest::mouseClick(findNamed<QLabel>(frame, "tipLabel"), Qt::LeftButton);
    QPlainTextEdit *editor = openEditor(frame);
    QVERIFY(editor);
    QCOMPARE(frame.tipPanel().mode(), TipMode::FinishEdit);
    QCOMPARE(findNamed<QLabel>(frame, "tipLabel")->text(), QStringLiteral("Click here to finish Edit. Press Esc cancel."));
    QTest::keyClicks(editor, QStringLiteral("from the tip"));
    QTest::mouseClick(findNamed<QLabel>(frame, "tipLabel"), Qt::LeftButton);
    QVERIFY(!frame.tree()->isEditing());
    QCOMPARE(storedRows(program.mainWindow()).size(), 1);
    QCOMPARE(storedRows(program.mainWindow())[0].content, QStringLiteral("from the tip"));
    QCOMPARE(frame.tipPanel().mode(), TipMode::None);
    QVERIFY(findNamed<QFrame>(frame, "tipPanel")->isHidden());

    findNamed<QLineEdit>(frame, "searchBox")->setFocus();
    QTest::keyClicks(findNamed<QLineEdit>(frame, "searchBox"), QStringLiteral("absent"));
    QCOMPARE(frame.tipPanel().mode(), TipMode::NoSearchResult);
    QTest::mouseClick(findNamed<QLabel>(frame, "tipLabel"), Qt::LeftButton);
    QVERIFY(!frame.searchBar().isSearching());
    QCOMPARE(frame.tipPanel().mode(), TipMode::None);

    // A narrow window wraps the tip onto more lines.
    findNamed<TipPanel>(frame, "tipPanel")->showTip(TipMode::AddMemo);
    const int wide = findNamed<QFrame>(frame, "tipPanel")->height();
    program.mainWindow().resize(90, 500);
    QTRY_VERIFY(findNamed<QFrame>(frame, "tipPanel")->height() > wide);
}

void TestMemosView::searchBoxFillsTheBar()
{
    TestFolder folder;
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    MemoPane &frame = program.frame();
    for (int width : {300, 640, 1000}) {
        program.mainWindow().resize(width, 500);
        QTRY_COMPARE(findNamed<PicturePanel>(frame, "bottomBar")->width(), width);
        QCOMPARE(findNamed<QLineEdit>(frame, "searchBox")->width(), width - 2 * findNamed<QToolButton>(frame, "searchButton")->width() - 10);
        QCOMPARE(findNamed<QToolButton>(frame, "searchButton")->x(), findNamed<QLineEdit>(frame, "searchBox")->geometry().right() + 1 + 10);
    }
}

void TestMemosView::copyJoinsWithCarriageReturn()
{
    TestFolder folder;
    {
        Database connection;
        connection.open(folder.file(QStringLiteral("kvData.kvb")));
        insertMemoRow(connection, QStringLiteral("{1}"), QStringLiteral("root"), QString());
        insertMemoRow(connection, QStringLiteral("{2}"), QStringLiteral("root"), QStringLiteral("a"));
        insertMemoRow(connection, QStringLiteral("{3}"), QStringLiteral("root"), QStringLiteral("b"));
        insertMemoRow(connection, QStringLiteral("{4}"), QStringLiteral("root"), QStringLiteral("line\r\nbreak"));
    }
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    MemoPane &frame = program.frame();
    QClipboard *clipboard = QGuiApplication::clipboard();
    const auto copy = [&](std::initializer_list<const char *> mids) {
        frame.tree()->clearSelection();
        for (const char *mid : mids)
            frame.tree()->setSelected(findMemo(frame, QString::fromLatin1(mid)), true);
        frame.tree()->setFocus();
        QTest::keyClick(frame.tree(), Qt::Key_C, Qt::ControlModifier);
        return clipboard->text();
    };

    clipboard->setText(QStringLiteral("untouched"));
    QCOMPARE(copy({}), QStringLiteral("untouched"));
    QCOMPARE(copy({"{1}"}), QStringLiteral("untouched"));
    QCOMPARE(copy({"{2}", "{3}"}), QStringLiteral("a\rb"));
    QCOMPARE(copy({"{1}", "{2}"}), QStringLiteral("a")); // a leading empty text adds nothing
    QCOMPARE(copy({"{4}"}), QStringLiteral("line\r\nbreak"));
}

void TestMemosView::pasteAddsOneStoredMemo()
{
    TestFolder folder;
    {
        Database connection;
        connection.open(folder.file(QStringLiteral("kvData.kvb")));
        insertMemoRow(connection, QStringLiteral("{A}"), QStringLiteral("root"), QStringLiteral("kept"));
    }
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    MemoPane &frame = program.frame();
    QClipboard *clipboard = QGuiApplication::clipboard();

    clipboard->setText(QStringLiteral("  first\r\nsecond\r\n\r\n"));
    frame.tree()->setFocus();
    QTest::keyClick(frame.tree(), Qt::Key_V, Qt::ControlModifier);
    TreeNode *pasted = frame.tree()->lastTopLevelNode();
    QCOMPARE(memoOf(pasted).content, QStringLiteral("  first\r\nsecond"));
    QCOMPARE(memoOf(pasted).mid.size(), 38);
    QVERIFY(!pasted->isSelected());
    QList<Row> rows = storedRows(program.mainWindow());
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows[1].content, QStringLiteral("  first\r\nsecond"));
    QCOMPARE(rows[1].assignTime, 0.0); // not written

    // A paste during an edit stores what was typed first, in a new memo and an existing one
    // alike; then the pasted memo comes.
    findAction(frame, "addMemo")->trigger();
    QTest::keyClicks(openEditor(frame), QStringLiteral("typed"));
    frame.controller().pasteMemos();
    QTRY_COMPARE(frame.tree()->topLevelCount(), 4);
    QVERIFY(!frame.controller().editNode());
    frame.tree()->clearSelection();
    frame.tree()->setSelected(findMemo(frame, QStringLiteral("{A}")), true);
    findAction(frame, "editMemo")->trigger();
    QTest::keyClicks(openEditor(frame), QStringLiteral("changed"));
    frame.controller().pasteAsMemo(QString());
    QCOMPARE(memoOf(findMemo(frame, QStringLiteral("{A}"))).content, QStringLiteral("changed"));
    rows = storedRows(program.mainWindow());
    QCOMPARE(rows.size(), 5);
    QCOMPARE(rows[0].content, QStringLiteral("changed"));
    QCOMPARE(rows[2].content, QStringLiteral("typed"));
    QCOMPARE(rows[3].content, QStringLiteral("  first\r\nsecond"));
    QCOMPARE(rows[4].content, QString()); // an empty clipboard makes an empty memo
}

JOTWELL_TEST_MAIN(TestMemosView)
#include "tst_memopane_view.moc"
