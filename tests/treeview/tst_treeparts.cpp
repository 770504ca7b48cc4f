// SPDX-License-Identifier: GPL-3.0-or-later
// The tree control's parts, each without the tree: the node store, the selection, the inline
// edit, drag and drop, the scrolling over laid-out rows, and the mouse's and keys' rules.
#include "ScriptedTreeDelegate.h"
#include "treeview/TreeDragDrop.h"
#include "treeview/TreeFocus.h"
#include "treeview/TreeInlineEdit.h"
#include "treeview/TreeInputHost.h"
#include "treeview/TreeKeys.h"
#include "treeview/TreeMouse.h"
#include "treeview/TreeNodeStore.h"
#include "treeview/TreeRows.h"
#include "treeview/TreeScroller.h"
#include "treeview/TreeSelection.h"
#include <QAbstractScrollArea>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>
#include <QtTest>
#include <algorithm>

namespace {

std::vector<TreeNode *> childrenOf(const TreeNode *parent)
{
    std::vector<TreeNode *> result;
    for (int i = 0; i < parent->childCount(); ++i)
        result.push_back(parent->child(i));
    return result;
}

// Rows of 20 px with their selection and focus, and a stand-in for the tree that logs what the
// mouse and the keys ask of it. The rows: a, b (open: b1, a hidden one, b2, b3), c (closed: c1).
struct InputBench : TreeInputHost {
    TreeNodeStore store{makeTextNode};
    QWidget viewport;
    QScrollBar bar;
    TreeRows rows{store, viewport, bar, [](TreeNode *) { return 20; }, [] { return 16; }};
    TreeFocus focus{store};
    mutable ScriptedTreeDelegate answers;
    QStringList asked;

    InputBench()
    {
        viewport.resize(200, 400);
        for (const QString parentAndName : {"a", "b", "b b1", "b hidden", "b b2", "b b3", "c", "c c1"})
            textOf(store.addChild(node(parentAndName.section(' ', -2, -2)))) = parentAndName.section(' ', -1);
        rows.setVisible(node("hidden"), false);
        rows.setExpanded(node("b"), true);
    }
    TreeNode *node(const QString &name) const
    {
        for (TreeNode *n = store.root()->firstChild(); n; n = store.nextNode(n))
            if (textOf(n) == name)
                return n;
        return nullptr;
    }
    QString selected() const { return names(focus.selection().nodes()); }
    static QString names(const std::vector<TreeNode *> &nodes)
    {
        QStringList result;
        for (TreeNode *n : nodes)
            result << (n ? textOf(n) : QString());
        return result.join(' ');
    }

    MemoTreeDelegate *delegate() const override { return &answers; }
    void takeFocus() override {}
    bool isOnExpandButton(TreeNode *, const QPoint &pos) const override { return pos.x() < 16; }
    void setExpanded(TreeNode *node, bool expanded) override
    {
        asked << (expanded ? "expand " : "collapse ") + textOf(node);
        rows.setExpanded(node, expanded);
    }
    bool editNode(TreeNode *node) override
    {
        asked << "edit " + textOf(node);
        return true;
    }
    bool isEditing() const override { return false; }
    void startDrag(TreeNode *node) override { asked << "drag " + textOf(node); }
    void beginUpdate() override { rows.beginUpdate(); }
    void endUpdate() override { rows.endUpdate(); }
};

} // namespace

class TestTreeParts : public QObject {
    Q_OBJECT
private slots:
    void storeKnowsLiveNodes();
    void storeMovesAndRemovesPerParent();
    void selectionKeepsSiblingsInTreeOrder();
    void inlineEditTellsHowItEnded_data();
    void inlineEditTellsHowItEnded();
    void dragDropAsksTheDelegateAndFollowsThePointer();
    void scrollerKeepsTheViewStill();
    void mouseSelectsAsClicked_data();
    void mouseSelectsAsClicked();
    void keysMoveAmongTheRows_data();
    void keysMoveAmongTheRows();
};

void TestTreeParts::storeKnowsLiveNodes()
{
    TreeNodeStore store;
    TreeNode *a = store.addChild(nullptr);
    TreeNode *a1 = store.addChild(a);
    TreeNode *b = store.addChild(nullptr);
    QCOMPARE(store.count(), 3);
    QVERIFY(a->parent() == nullptr && a1->parent() == a && b->index() == 1);
    // Tree order runs through a subtree before the next sibling.
    QCOMPARE(store.nextNode(a), a1);
    QCOMPARE(store.nextNode(a1), b);
    QVERIFY(!store.nextNode(b));
    QVERIFY(TreeNodeStore::isInSubtree(a1, a) && !TreeNodeStore::isInSubtree(a, a1));

    // A serial tells one node from any other made at that address before or after.
    QVERIFY(store.isAlive(b, b->serial()) && !store.isAlive(b, a->serial()) && !store.isAlive(nullptr, 0));
    QVERIFY(store.contains(a1) && !store.contains(store.root()));
}

void TestTreeParts::storeMovesAndRemovesPerParent()
{
    TreeNodeStore store;
    TreeNode *root = store.root();
    std::vector<TreeNode *> top;
    for (int i = 0; i < 5; ++i)
        top.push_back(store.addChild(nullptr));
    TreeNode *c = top[2];
    TreeNode *c1 = store.addChild(c);

    // Placements merge into the children that stay, at their final indexes; one into its own
    // subtree and a second one of the same node are left out.
    const TreeNodeStore::Moved moved = store.place({{top[4], nullptr, 0}, {top[0], c, 5}, {c, c1, 0}, {top[4], c, 0}});
    QCOMPARE(childrenOf(root), (std::vector<TreeNode *>{top[4], top[1], c, top[3]}));
    QCOMPARE(childrenOf(c), (std::vector<TreeNode *>{c1, top[0]}));
    QVERIFY(top[3]->index() == 3 && top[0]->index() == 1 && top[0]->parent() == c);
    QCOMPARE(moved.relevelled, (std::vector<TreeNode *>{top[0]}));
    QCOMPARE(moved.parents.size(), size_t(2));

    const TreeNodeStore::Moved back = store.move(top[0], root, true);
    QCOMPARE(childrenOf(root).front(), top[0]);
    QVERIFY(top[4]->index() == 1 && c1->index() == 0 && back.relevelled.size() == 1);

    // Removing a node with one below it detaches the top only; destroying says farewell to the
    // children first.
    const std::vector<TreeNode *> tops = store.detach({c, c1, top[1]});
    QCOMPARE(tops.size(), size_t(2));
    QCOMPARE(childrenOf(root), (std::vector<TreeNode *>{top[0], top[4], top[3]}));
    QCOMPARE(top[3]->index(), 2);
    std::vector<TreeNode *> farewells;
    for (TreeNode *t : tops)
        store.destroy(t, [&](TreeNode *gone) {
            QVERIFY(!store.contains(gone));
            farewells.push_back(gone);
        });
    QCOMPARE(farewells.size(), size_t(3));
    QVERIFY(std::find(farewells.begin(), farewells.end(), c1) < std::find(farewells.begin(), farewells.end(), c));
    QCOMPARE(store.count(), 3);
}

void TestTreeParts::selectionKeepsSiblingsInTreeOrder()
{
    TreeNodeStore store;
    TreeNode *a = store.addChild(nullptr);
    TreeNode *a1 = store.addChild(a);
    TreeNode *a2 = store.addChild(a);
    TreeNode *b = store.addChild(nullptr);
    TreeSelection selection;

    selection.add(b);
    selection.add(a);
    QVERIFY(a->isSelected() && b->isSelected());
    QCOMPARE(selection.nodes(), (std::vector<TreeNode *>{a, b}));
    QCOMPARE(selection.next(a), b);
    // A node of another parent is not admitted while siblings are selected; alone it is.
    QVERIFY(!selection.admits(a1));
    QVERIFY(selection.clear() && !a->isSelected() && !selection.clear());
    QVERIFY(selection.admits(a1));

    // Nodes of several parents (a select-all) admit nothing more until cleared.
    selection.add(a2);
    selection.add(a);
    QVERIFY(!selection.admits(a1));
    QCOMPARE(selection.first(), a);
    selection.remove(a);
    QVERIFY(!a->isSelected());
    // Moved under one parent again, the selection knows its parent anew.
    selection.nodesMoved(true);
    QVERIFY(selection.admits(a1) && !selection.admits(b));
    QCOMPARE(selection.count(), 1);

    // The rules of clicks and keys: the one selected node again changes nothing; a range takes
    // the siblings between and refuses nodes of two parents; a toggled stranger joins alone.
    QVERIFY(selection.selectOnly(a1) && !selection.selectOnly(a1));
    QVERIFY(selection.selectRange(a2, a1, false) && selection.count() == 2);
    QVERIFY(!selection.selectRange(a1, b, false) && selection.count() == 2);
    selection.toggle(b);
    QCOMPARE(selection.nodes(), (std::vector<TreeNode *>{b}));
    QVERIFY(selection.removeSubtree(b, true) && selection.isEmpty() && !selection.removeSubtree(b, true));
    QVERIFY(selection.addAll({a, a1, a2, b}, true) && !selection.addAll({a}, true));
    QCOMPARE(selection.nodes(), (std::vector<TreeNode *>{a, a1, a2, b}));
    QVERIFY(selection.removeSubtree(a, false) && selection.nodes() == (std::vector<TreeNode *>{a, b}));
}

void TestTreeParts::inlineEditTellsHowItEnded_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("commit");
    QTest::addColumn<bool>("deleteOnCommit"); // whoever hears of the new text deletes the node
    QTest::addColumn<QStringList>("told");

    QTest::newRow("changed") << "x\ny" << true << false << QStringList{"committed x\r\ny", "ended"};
    QTest::newRow("unchanged") << "" << true << false << QStringList{"ended"};
    QTest::newRow("cancelled") << "x" << false << false << QStringList{"cancelled"};
    QTest::newRow("deleted on commit") << "x" << true << true << QStringList{"committed x"};
}

void TestTreeParts::inlineEditTellsHowItEnded()
{
    QFETCH(QString, typed);
    QFETCH(bool, commit);
    QFETCH(bool, deleteOnCommit);
    QFETCH(QStringList, told);

    QWidget home;
    QWidget host(&home);
    TreeNodeStore store;
    TreeNode *node = store.addChild(nullptr);
    TreeInlineEdit edit(&host, &home, store);
    QStringList log;
    connect(&edit, &TreeInlineEdit::committed, this, [&](TreeNode *n, const QString &text) {
        log << "committed " + text;
        if (deleteOnCommit)
            store.destroy(*store.detach({n}).begin(), [](TreeNode *) {});
    });
    connect(&edit, &TreeInlineEdit::ended, this, [&] { log << "ended"; });
    connect(&edit, &TreeInlineEdit::cancelled, this, [&] { log << "cancelled"; });

    QVERIFY(edit.open(node, "old", host.font(), QRect(0, 0, 100, 40)));
    QVERIFY(!edit.open(node, "again", host.font(), QRect()));
    QCOMPARE(edit.node(), node);
    QCOMPARE(edit.editor()->textCursor().selectedText(), QString("old"));
    QCOMPARE(edit.editor()->geometry(), QRect(0, 0, 100, 40));
    if (!typed.isEmpty())
        edit.editor()->setPlainText(typed);
    QVERIFY(commit ? edit.commit() : edit.cancel());
    QVERIFY(!edit.isOpen() && !edit.node());
    QVERIFY(!edit.commit() && !edit.cancel());
    QCOMPARE(log, told);
}

void TestTreeParts::dragDropAsksTheDelegateAndFollowsThePointer()
{
    QAbstractScrollArea view;
    view.resize(200, 200);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    view.verticalScrollBar()->setRange(0, 1000);
    view.verticalScrollBar()->setValue(500);
    TreeNodeStore store;
    TreeNode *a = store.addChild(nullptr);
    TreeNode *b = store.addChild(nullptr);
    store.addChild(b);
    ScriptedTreeDelegate delegate;
    QList<TreeNode *> dropped;
    delegate.mayDrop = [&](TreeNode *target, const QMimeData *, bool internal) { return !internal && target != a; };
    delegate.dropped = [&](TreeNode *target, const QMimeData *, bool) { dropped << target; };
    TreeDragDrop dragDrop(&view);
    dragDrop.setDelegate(&delegate);
    QList<TreeNode *> targets, expand;
    connect(&dragDrop, &TreeDragDrop::targetChanged, this, [&](TreeNode *, TreeNode *now) { targets << now; });
    connect(&dragDrop, &TreeDragDrop::expandRequested, this, [&](TreeNode *n) { expand << n; });

    QMimeData data;
    const auto actions = Qt::CopyAction | Qt::MoveAction;
    auto moveTo = [&](const QPoint &pos, TreeNode *target) {
        QDragMoveEvent event(pos, actions, &data, Qt::LeftButton, {});
        dragDrop.move(&event, target);
        return event.isAccepted();
    };
    QVERIFY(!moveTo(QPoint(50, 100), a));
    QVERIFY(moveTo(QPoint(50, 100), b));
    QCOMPARE(dragDrop.target(), b);
    // A collapsed target with children opens after a hover.
    QTRY_COMPARE_WITH_TIMEOUT(expand, QList<TreeNode *>({b}), TreeDragDrop::kExpandDelay * 3);

    // Resting near an edge scrolls that way; leaving it stops.
    QVERIFY(moveTo(QPoint(50, 2), nullptr));
    QTRY_VERIFY(view.verticalScrollBar()->value() < 500);
    QVERIFY(moveTo(QPoint(50, view.viewport()->height() - 2), nullptr));
    QTRY_VERIFY(view.verticalScrollBar()->value() > 500);
    dragDrop.leave();
    const int stopped = view.verticalScrollBar()->value();
    QTest::qWait(150);
    QCOMPARE(view.verticalScrollBar()->value(), stopped);
    QCOMPARE(targets, QList<TreeNode *>({b, nullptr}));

    QDropEvent drop(QPointF(50, 100), actions, &data, Qt::LeftButton, {});
    dragDrop.drop(&drop, b);
    QVERIFY(drop.isAccepted());
    QCOMPARE(dropped, QList<TreeNode *>({b}));
}

void TestTreeParts::scrollerKeepsTheViewStill()
{
    QScrollBar bar;
    QWidget viewport;
    viewport.resize(100, 100);
    TreeNodeStore store;
    std::vector<TreeNode *> nodes;
    for (int i = 0; i < 20; ++i)
        nodes.push_back(store.addChild(nullptr));
    QList<TreeNode *> measured;
    TreeScroller scroller(bar, viewport, [&](TreeNode *n) {
        measured << n;
        return 20;
    }, [] { return 10; });
    scroller.relayout(store.root(), 10);
    QCOMPARE(scroller.layout().count(), 20);
    QVERIFY(measured.isEmpty()); // at the top nothing is measured until painted

    // A row below the view ends up at its bottom, the rows sharing the screen measured first.
    scroller.scrollTo(9);
    QCOMPARE(scroller.rowRect(9).bottom(), viewport.height() - 1);
    QCOMPARE(scroller.rowAt(0), 5);
    QVERIFY(measured.contains(nodes[5]) && !measured.contains(nodes[4]));
    // Measuring a row above the view moves the view with it.
    const int before = bar.value();
    scroller.ensureMeasured(0);
    QCOMPARE(bar.value(), before + 10);

    // A relayout keeps the top row in place, even with rows added above it.
    const QRect top = scroller.rowRect(5);
    store.place({{store.addChild(nullptr), nullptr, 0}});
    scroller.relayout(store.root(), 10);
    QCOMPARE(scroller.rowRect(6), top);
    QCOMPARE(scroller.rowAt(0), 6);

    // A page down reaches as far as one screen holds.
    QCOMPARE(scroller.pageTarget(6, 1), 11);
    scroller.scrollTo(0);
    QCOMPARE(bar.value(), 0);
}

void TestTreeParts::mouseSelectsAsClicked_data()
{
    // Clicks in order: ^ holds Ctrl, + Shift, r is the right button, ! the expand button, _ blank.
    QTest::addColumn<QString>("clicks");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<QString>("focused");
    QTest::addColumn<QString>("asked");

    QTest::newRow("a click selects alone") << "a b" << "b" << "b" << "";
    QTest::newRow("Ctrl adds, in tree order") << "c ^a" << "a c" << "a" << "";
    QTest::newRow("Ctrl on another parent's node starts anew") << "a ^b1" << "b1" << "b1" << "";
    QTest::newRow("Ctrl on a selected node drops it") << "b1 ^b2 ^b1" << "b2" << "b1" << "";
    QTest::newRow("Shift takes the shown siblings between") << "b3 +b1" << "b1 b2 b3" << "b1" << "";
    QTest::newRow("Shift keeps its anchor") << "b1 +b3 +b2" << "b1 b2" << "b2" << "";
    QTest::newRow("Ctrl+Shift adds the range") << "b3 ^b1 ^+b2" << "b1 b2 b3" << "b2" << "";
    QTest::newRow("Shift on a stranger anchors anew") << "b1 +c +a" << "a b c" << "a" << "";
    QTest::newRow("one of several alone on release") << "b1 ^b2 b1" << "b1" << "b1" << "";
    QTest::newRow("the expand button folds only") << "a !b" << "a" << "a" << "collapse b";
    QTest::newRow("blank space clears") << "a _" << "" << "a" << "";
    QTest::newRow("right on a selected node keeps them") << "b1 ^b2 rb1" << "b1 b2" << "b1" << "";
    QTest::newRow("right on another node selects it") << "b1 ^b2 rc" << "c" << "c" << "";
}

void TestTreeParts::mouseSelectsAsClicked()
{
    QFETCH(QString, clicks);
    QFETCH(QString, selected);
    QFETCH(QString, focused);
    QFETCH(QString, asked);
    InputBench bench;
    TreeMouse mouse(bench.rows, bench.focus, bench);

    for (QString click : clicks.split(' ')) {
        Qt::MouseButton button = Qt::LeftButton;
        Qt::KeyboardModifiers mods;
        int x = 100;
        for (; QStringLiteral("r^+!").contains(click.front()); click.remove(0, 1)) {
            button = click.front() == 'r' ? Qt::RightButton : button;
            mods |= click.front() == '^' ? Qt::ControlModifier : click.front() == '+' ? Qt::ShiftModifier : Qt::NoModifier;
            x = click.front() == '!' ? 5 : x;
        }
        const QPoint pos(x, click == "_" ? 390 : bench.rows.rect(bench.node(click)).center().y());
        QMouseEvent press(QEvent::MouseButtonPress, pos, pos, button, button, mods);
        mouse.press(&press);
        QMouseEvent release(QEvent::MouseButtonRelease, pos, pos, button, Qt::NoButton, mods);
        mouse.release(&release);
    }
    QCOMPARE(bench.selected(), selected);
    QCOMPARE(InputBench::names({bench.focus.focused()}), focused);
    QCOMPARE(bench.asked.join(", "), asked);
}

void TestTreeParts::keysMoveAmongTheRows_data()
{
    QTest::addColumn<QString>("start"); // focused and selected; empty: nothing yet
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("mods");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<QString>("focused");
    QTest::addColumn<QString>("asked"); // "ignored": left to the owner

    const int none = Qt::NoModifier, shift = Qt::ShiftModifier, ctrl = Qt::ControlModifier, pad = Qt::KeypadModifier;
    QTest::newRow("Down at first goes to the top") << "" << int(Qt::Key_Down) << none << "a" << "a" << "";
    QTest::newRow("Up at the top stays") << "a" << int(Qt::Key_Up) << none << "a" << "a" << "";
    QTest::newRow("Down at the bottom stays") << "c" << int(Qt::Key_Down) << none << "c" << "c" << "";
    QTest::newRow("End") << "b2" << int(Qt::Key_End) << none << "c" << "c" << "";
    QTest::newRow("Home") << "b2" << int(Qt::Key_Home) << none << "a" << "a" << "";
    QTest::newRow("a page holds every row") << "a" << int(Qt::Key_PageDown) << none << "c" << "c" << "";
    QTest::newRow("Shift passes over children") << "b" << int(Qt::Key_Down) << shift << "b c" << "c" << "";
    QTest::newRow("Shift past the last sibling stays") << "b3" << int(Qt::Key_Down) << shift << "b3" << "b3" << "";
    QTest::newRow("Ctrl moves the focus alone") << "b2" << int(Qt::Key_Up) << ctrl << "b2" << "b1" << "";
    QTest::newRow("Ctrl+Space toggles") << "b2" << int(Qt::Key_Space) << ctrl << "" << "b2" << "";
    QTest::newRow("Left goes to the parent") << "b2" << int(Qt::Key_Left) << none << "b" << "b" << "";
    QTest::newRow("Left folds an open node") << "b" << int(Qt::Key_Left) << none << "b" << "b" << "collapse b";
    QTest::newRow("Right opens a closed node") << "c" << int(Qt::Key_Right) << none << "c" << "c" << "expand c";
    QTest::newRow("Right enters an open node") << "b" << int(Qt::Key_Right) << none << "b1" << "b1" << "";
    QTest::newRow("the keypad's minus folds") << "b" << int(Qt::Key_Minus) << pad << "b" << "b" << "collapse b";
    QTest::newRow("a plain minus is the owner's") << "b" << int(Qt::Key_Minus) << none << "b" << "b" << "ignored";
    QTest::newRow("the keypad's * opens the subtree") << "c" << int(Qt::Key_Asterisk) << pad << "c" << "c" << "expand c";
    QTest::newRow("Ctrl+A takes every shown row") << "a" << int(Qt::Key_A) << ctrl << "a b b1 b2 b3 c" << "a" << "";
    QTest::newRow("F2 edits") << "b1" << int(Qt::Key_F2) << none << "b1" << "b1" << "edit b1";
    QTest::newRow("Shift+F2 is the owner's") << "b1" << int(Qt::Key_F2) << shift << "b1" << "b1" << "ignored";
    QTest::newRow("Delete is the owner's") << "b1" << int(Qt::Key_Delete) << none << "b1" << "b1" << "ignored";
}

void TestTreeParts::keysMoveAmongTheRows()
{
    QFETCH(QString, start);
    QFETCH(int, key);
    QFETCH(int, mods);
    QFETCH(QString, selected);
    QFETCH(QString, focused);
    QFETCH(QString, asked);
    InputBench bench;
    TreeKeys keys(bench.rows, bench.focus, bench);
    if (TreeNode *node = bench.node(start)) {
        bench.focus.selectOnly(node);
        bench.focus.setFocused(node);
    }
    // The owner sees the key before the tree acts on it.
    QString focusWhenAsked = "not asked";
    bench.answers.key = [&](QKeyEvent *) { focusWhenAsked = InputBench::names({bench.focus.focused()}); };

    QKeyEvent event(QEvent::KeyPress, key, Qt::KeyboardModifiers(mods));
    keys.press(&event);
    if (!event.isAccepted())
        bench.asked << "ignored";
    QCOMPARE(focusWhenAsked, start);
    QCOMPARE(bench.selected(), selected);
    QCOMPARE(InputBench::names({bench.focus.focused()}), focused);
    QCOMPARE(bench.asked.join(", "), asked);
}

QTEST_MAIN(TestTreeParts)
#include "tst_treeparts.moc"
