#include "TestSupport.h"
#include "app/Fm_Main.h"
#include "app/pU_Funcs.h"
#include "memos/Fr_kvMemos.h"
#include "store/KvConnection.h"
#include "store/KvQuery.h"
#include "store/SqlCatalogue.h"
#include "tree/KvVirtualTree.h"
#include <QAction>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QToolButton>
#include <QtTest>

namespace {

int Height(TkvMemosFrame &frame, KvTreeNode *node)
{
    int height = 0;
    frame.VtMemosMeasureItem(node, height);
    return height;
}

int Line(TkvMemosFrame &frame, KvTreeNode *node)
{
    return frame.VtMemos->textHeight(node, QStringLiteral("l"));
}

// The colour VtMemosBeforeCellPaint gives the middle of a row.
QRgb Background(TkvMemosFrame &frame, KvTreeNode *node)
{
    QImage canvas(40, 20, QImage::Format_RGB32);
    canvas.fill(Qt::black);
    QPainter painter(&canvas);
    frame.VtMemosBeforeCellPaint(painter, node, canvas.rect());
    painter.end();
    return canvas.pixel(20, 10);
}

QRgb Middle(const QImage &picture)
{
    return picture.scaled(40, 20, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).pixel(20, 10);
}

// Colours equal but for rounding in scaling.
bool Near(QRgb a, QRgb b)
{
    return qAbs(qRed(a) - qRed(b)) <= 2 && qAbs(qGreen(a) - qGreen(b)) <= 2 && qAbs(qBlue(a) - qBlue(b)) <= 2;
}

struct Row {
    QString content;
    double assignTime;
};

QList<Row> Rows(TmainFm &mainFm)
{
    KvQuery query(mainFm.connection());
    QList<Row> rows;
    for (OpenSql(query, Sql::SelectAllMemos()); !query.eof(); query.next())
        rows.append({query.fieldAsString("content"), query.fieldAsDateTime("assignTime")});
    return rows;
}

} // namespace

class TestMemosView : public QObject {
    Q_OBJECT
private:
    void seed(const TestFolder &folder)
    {
        KvConnection connection;
        connection.open(folder.file(QStringLiteral("kvData.kvb")));
        InsertMemoRow(connection, QStringLiteral("{A}"), QStringLiteral("root"), QStringLiteral("one\r\ntwo\r\nthree"), true);
        InsertMemoRow(connection, QStringLiteral("{A1}"), QStringLiteral("{A}"), QStringLiteral("sub"));
        InsertMemoRow(connection, QStringLiteral("{B}"), QStringLiteral("root"), QStringLiteral("b"));
        InsertMemoRow(connection, QStringLiteral("{C}"), QStringLiteral("root"), QString());
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
    TkvMemosFrame &frame = program.frame();
    KvTreeNode *three = FindMemo(frame, QStringLiteral("{A}"));
    KvTreeNode *empty = FindMemo(frame, QStringLiteral("{C}"));
    KvTreeNode *one = FindMemo(frame, QStringLiteral("{B}"));
    const int line = Line(frame, one);

    QCOMPARE(Height(frame, three), frame.VtMemos->textHeight(three, QStringLiteral("a\nb\nc")) + 4);
    QVERIFY(Height(frame, three) >= 3 * line + 4);
    QCOMPARE(Height(frame, empty), line + 4);
    QCOMPARE(Height(frame, one), line + 4);

    // Editing makes room for four lines, and the row shrinks back afterwards.
    frame.VtMemos->setSelected(one, true);
    frame.Action_MemoEdit->trigger();
    QPlainTextEdit *editor = OpenEditor(frame);
    QCOMPARE(Height(frame, one), 4 * line + 4);
    QCOMPARE(frame.VtMemos->nodeRect(one).height(), 4 * line + 4);
    QTest::keyClick(editor, Qt::Key_Escape);
    QCOMPARE(Height(frame, one), line + 4);
    QTRY_COMPARE(frame.VtMemos->nodeRect(one).height(), line + 4);

    // A text taller than the tree is capped at the tree less one line while edited.
    one->data.content = QStringLiteral("x\r\n").repeated(200);
    frame.FEditNode = one;
    QCOMPARE(Height(frame, one), frame.VtMemos->height() - line);
    frame.FEditNode = nullptr;
    QVERIFY(Height(frame, one) > frame.VtMemos->height());

    // List view: one line each, except the memo the mouse rests on.
    frame.Action_ViewList->trigger();
    QCOMPARE(Height(frame, three), line + 4);
    frame.FHoverNode = three;
    QVERIFY(Height(frame, three) >= 3 * line + 4);
}

void TestMemosView::placeholderAndBackgrounds()
{
    TestFolder folder;
    seed(folder);
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    TkvMemosFrame &frame = program.frame();
    TmainFm &mainFm = program.mainFm();

    QFont font = frame.VtMemos->font();
    QColor colour = Qt::black;
    frame.VtMemosPaintText(FindMemo(frame, QStringLiteral("{C}")), font, colour);
    QVERIFY(font.italic());
    QCOMPARE(colour, frame.palette().color(QPalette::PlaceholderText));
    font = frame.VtMemos->font();
    colour = Qt::black;
    frame.VtMemosPaintText(FindMemo(frame, QStringLiteral("{B}")), font, colour);
    QVERIFY(!font.italic());
    QCOMPARE(colour, QColor(Qt::black));
    frame.FEditNode = FindMemo(frame, QStringLiteral("{C}"));
    frame.VtMemosPaintText(frame.FEditNode, font, colour);
    QVERIFY(!font.italic());
    frame.FEditNode = nullptr;

    // Order: "" (C), "b" (B), "one..." (A): pictures alternate by index among siblings.
    QCOMPARE(FindMemo(frame, QStringLiteral("{C}"))->index(), 0);
    QVERIFY(!Near(Middle(mainFm.FItemBackground0), Middle(mainFm.FItemBackground1)));
    QVERIFY(Near(Background(frame, FindMemo(frame, QStringLiteral("{C}"))), Middle(mainFm.FItemBackground0)));
    QVERIFY(Near(Background(frame, FindMemo(frame, QStringLiteral("{B}"))), Middle(mainFm.FItemBackground1)));
    QVERIFY(Near(Background(frame, FindMemo(frame, QStringLiteral("{A}"))), Middle(mainFm.FItemBackground0)));
    QVERIFY(Near(Background(frame, FindMemo(frame, QStringLiteral("{A1}"))), Middle(mainFm.FGroupBackground)));

    // The row under the mouse takes the information colour.
    KvTreeNode *b = FindMemo(frame, QStringLiteral("{B}"));
    QTest::mouseMove(frame.VtMemos->viewport(), frame.VtMemos->nodeRect(b).center());
    QTRY_COMPARE(frame.VtMemos->hotNode(), b);
    QCOMPARE(QColor(Background(frame, b)), frame.palette().color(QPalette::ToolTipBase));
}

void TestMemosView::tipPanelModesAndClicks()
{
    TestFolder folder;
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    TkvMemosFrame &frame = program.frame();

    QCOMPARE(frame.FTipMode, 2);
    QTest::mouseClick(frame.label_tip, Qt::LeftButton);
    QPlainTextEdit *editor = OpenEditor(frame);
    QVERIFY(editor);
    QCOMPARE(frame.FTipMode, 1);
    QCOMPARE(frame.label_tip->text(), QStringLiteral("Click here to finish Edit. Press Esc cancel."));
    QTest::keyClicks(editor, QStringLiteral("from the tip"));
    QTest::mouseClick(frame.label_tip, Qt::LeftButton);
    QVERIFY(!frame.VtMemos->isEditing());
    QCOMPARE(Rows(program.mainFm()).size(), 1);
    QCOMPARE(Rows(program.mainFm())[0].content, QStringLiteral("from the tip"));
    QCOMPARE(frame.FTipMode, 0);
    QVERIFY(frame.Panel_tip->isHidden());

    frame.Edt_Search->setFocus();
    QTest::keyClicks(frame.Edt_Search, QStringLiteral("absent"));
    QCOMPARE(frame.FTipMode, 3);
    QTest::mouseClick(frame.label_tip, Qt::LeftButton);
    QVERIFY(!frame.FSearching);
    QCOMPARE(frame.FTipMode, 0);

    // A narrow window wraps the tip onto more lines.
    frame.ShowTip(2);
    const int wide = frame.Panel_tip->height();
    program.mainFm().resize(90, 500);
    QTRY_VERIFY(frame.Panel_tip->height() > wide);
}

void TestMemosView::searchBoxFillsTheBar()
{
    TestFolder folder;
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    TkvMemosFrame &frame = program.frame();
    for (int width : {300, 640, 1000}) {
        program.mainFm().resize(width, 500);
        QTRY_COMPARE(frame.ToolBar_Bottom->width(), width);
        QCOMPARE(frame.Edt_Search->width(), width - 2 * frame.Btn_Search->width() - 10);
        QCOMPARE(frame.Btn_Search->x(), frame.Edt_Search->geometry().right() + 1 + 10);
    }
}

void TestMemosView::copyJoinsWithCarriageReturn()
{
    TestFolder folder;
    {
        KvConnection connection;
        connection.open(folder.file(QStringLiteral("kvData.kvb")));
        InsertMemoRow(connection, QStringLiteral("{1}"), QStringLiteral("root"), QString());
        InsertMemoRow(connection, QStringLiteral("{2}"), QStringLiteral("root"), QStringLiteral("a"));
        InsertMemoRow(connection, QStringLiteral("{3}"), QStringLiteral("root"), QStringLiteral("b"));
        InsertMemoRow(connection, QStringLiteral("{4}"), QStringLiteral("root"), QStringLiteral("line\r\nbreak"));
    }
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    TkvMemosFrame &frame = program.frame();
    QClipboard *clipboard = QGuiApplication::clipboard();
    const auto copy = [&](std::initializer_list<const char *> mids) {
        frame.VtMemos->clearSelection();
        for (const char *mid : mids)
            frame.VtMemos->setSelected(FindMemo(frame, QString::fromLatin1(mid)), true);
        frame.VtMemos->setFocus();
        QTest::keyClick(frame.VtMemos, Qt::Key_C, Qt::ControlModifier);
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
        KvConnection connection;
        connection.open(folder.file(QStringLiteral("kvData.kvb")));
        InsertMemoRow(connection, QStringLiteral("{A}"), QStringLiteral("root"), QStringLiteral("kept"));
    }
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    TkvMemosFrame &frame = program.frame();
    QClipboard *clipboard = QGuiApplication::clipboard();

    clipboard->setText(QStringLiteral("  first\r\nsecond\r\n\r\n"));
    frame.VtMemos->setFocus();
    QTest::keyClick(frame.VtMemos, Qt::Key_V, Qt::ControlModifier);
    KvTreeNode *pasted = frame.VtMemos->lastTopLevelNode();
    QCOMPARE(pasted->data.content, QStringLiteral("  first\r\nsecond"));
    QCOMPARE(pasted->data.mid.size(), 38);
    QVERIFY(!pasted->isSelected());
    QList<Row> rows = Rows(program.mainFm());
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows[1].content, QStringLiteral("  first\r\nsecond"));
    QCOMPARE(rows[1].assignTime, 0.0); // not written

    // A paste during an edit stores what was typed first, in a new memo and an existing one
    // alike; then the pasted memo comes.
    frame.Action_MemoAdd->trigger();
    QTest::keyClicks(OpenEditor(frame), QStringLiteral("typed"));
    frame.Action_PasteMemoExecute();
    QTRY_COMPARE(frame.VtMemos->topLevelCount(), 4);
    QVERIFY(!frame.FEditNode);
    frame.VtMemos->clearSelection();
    frame.VtMemos->setSelected(FindMemo(frame, QStringLiteral("{A}")), true);
    frame.Action_MemoEdit->trigger();
    QTest::keyClicks(OpenEditor(frame), QStringLiteral("changed"));
    frame.PasteAsMemo(QString());
    QCOMPARE(FindMemo(frame, QStringLiteral("{A}"))->data.content, QStringLiteral("changed"));
    rows = Rows(program.mainFm());
    QCOMPARE(rows.size(), 5);
    QCOMPARE(rows[0].content, QStringLiteral("changed"));
    QCOMPARE(rows[2].content, QStringLiteral("typed"));
    QCOMPARE(rows[3].content, QStringLiteral("  first\r\nsecond"));
    QCOMPARE(rows[4].content, QString()); // an empty clipboard makes an empty memo
}

JOTWELL_TEST_MAIN(TestMemosView)
#include "tst_memos_view.moc"
