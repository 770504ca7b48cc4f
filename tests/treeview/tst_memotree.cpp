// SPDX-License-Identifier: GPL-3.0-or-later
#include "treeview/MemoTree.h"
#include "ScriptedTreeDelegate.h"
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QMimeData>
#include <QScrollBar>
#include <QToolTip>
#include <QVBoxLayout>
#include <QtTest>

namespace {

TreeNode *add(MemoTree &tree, TreeNode *parent, const QString &text)
{
    TreeNode *n = tree.addChild(parent);
    textOf(n) = text;
    return n;
}

QStringList texts(const std::vector<TreeNode *> &nodes)
{
    QStringList result;
    for (TreeNode *n : nodes)
        result << textOf(n);
    return result;
}

QStringList childTexts(MemoTree &tree, TreeNode *parent)
{
    QStringList result;
    const int count = parent ? parent->childCount() : tree.topLevelCount();
    for (int i = 0; i < count; ++i) {
        TreeNode *n = parent ? parent->child(i) : tree.topLevelNode(i);
        if (n->index() != i)
            result << QStringLiteral("bad index");
        result << textOf(n);
    }
    return result;
}

// texts of the rows on screen, top to bottom, as hit testing finds them.
QStringList rowTexts(MemoTree &tree)
{
    QStringList result;
    for (int y = 0; TreeNode *n = tree.nodeAt(QPoint(1, y)); y = tree.nodeRect(n).bottom() + 1)
        result << textOf(n);
    return result;
}

// A move without buttons; the test library's would only set the cursor position.
void hover(QWidget *widget, const QPoint &pos)
{
    QMouseEvent event(QEvent::MouseMove, pos, widget->mapToGlobal(pos), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

QPoint centre(MemoTree &tree, TreeNode *n)
{
    // Right of the expand button and image, so a click selects rather than toggles.
    const QRect r = tree.nodeRect(n);
    return QPoint(r.left() + r.width() / 2, r.top() + r.height() / 2);
}

} // namespace

class TestTree : public QObject {
    Q_OBJECT
private slots:
    void nodesAndDeletion();
    void moveTo();
    void stableSortBothDirections();
    void expansionEvents();
    void layoutOfHiddenAndCollapsed();
    void mouseSelection();
    void measuresOnlyWhatIsShown();
    void hotNodeAndHint();
    void dragAndDrop();
    void editor();
    void slowSecondClickAsksToEdit();
    void printing();
    void delegateDefaultsAndQuietEnd();
};

void TestTree::nodesAndDeletion()
{
    ScriptedTree tree;
    TreeNode *a = add(tree, nullptr, "a");
    TreeNode *b = add(tree, nullptr, "b");
    TreeNode *c = add(tree, nullptr, "c");
    TreeNode *b1 = add(tree, b, "b1");
    TreeNode *b2 = add(tree, b, "b2");

    QVERIFY(!b1->isMultiline());
    QCOMPARE(b1->verticalAlignment(), 50);
    QVERIFY(b1->isVisible() && !b1->isExpanded());
    QCOMPARE(a->parent(), nullptr);
    QCOMPARE(b2->parent(), b);
    QCOMPARE(b2->level(), 1);
    QCOMPARE(b2->index(), 1);
    QCOMPARE(b1->nextSibling(), b2);
    QCOMPARE(b1->previousSibling(), nullptr);
    QCOMPARE(c->nextSibling(), nullptr);
    QCOMPARE(tree.totalCount(), 5);
    QCOMPARE(tree.lastTopLevelNode(), c);

    QStringList order;
    for (TreeNode *n = tree.firstNode(); n; n = tree.nextNode(n))
        order << textOf(n);
    QCOMPARE(order, QStringList({"a", "b", "b1", "b2", "c"}));

    const uint64_t serialB = b->serial(), serialB1 = b1->serial(), serialC = c->serial();
    QVERIFY(serialB != serialB1);
    QVERIFY(tree.isAlive(b1, serialB1));
    QVERIFY(!tree.isAlive(b1, serialB)); // right pointer, wrong serial

    // Deleting a node with selected children: each node freed once, children before their
    // parent, the selection and focus cleared, onChange told.
    tree.setSelected(b1, true);
    tree.setSelected(b2, true);
    tree.setFocusedNode(b2);
    QCOMPARE(tree.selectedCount(), 2);
    QStringList freed;
    int changes = 0;
    QObject::connect(&tree, &MemoTree::nodeFreed, [&](TreeNode *n) { freed << textOf(n); });
    QObject::connect(&tree, &MemoTree::selectionChanged, [&] { ++changes; });
    tree.deleteNode(b);
    QCOMPARE(freed.size(), 3);
    QCOMPARE(freed.last(), QString("b"));
    QCOMPARE(tree.selectedCount(), 0);
    QCOMPARE(tree.firstSelected(), nullptr);
    QCOMPARE(tree.focusedNode(), nullptr);
    QCOMPARE(changes, 1);
    QVERIFY(!tree.isAlive(b, serialB));
    QVERIFY(!tree.isAlive(b1, serialB1));
    QVERIFY(tree.isAlive(c, serialC));
    QCOMPARE(c->index(), 1);
    QCOMPARE(tree.totalCount(), 2);

    // A new node never takes an old serial.
    TreeNode *d = tree.addChild(nullptr);
    QVERIFY(d->serial() > serialC);

    freed.clear();
    tree.clear();
    QCOMPARE(freed.size(), 3);
    QCOMPARE(tree.totalCount(), 0);
    QCOMPARE(tree.firstNode(), nullptr);
    QCOMPARE(tree.visibleCount(), 0);
}

void TestTree::moveTo()
{
    ScriptedTree tree;
    TreeNode *a = add(tree, nullptr, "a");
    TreeNode *b = add(tree, nullptr, "b");
    TreeNode *c = add(tree, nullptr, "c");
    TreeNode *a1 = add(tree, a, "a1");
    add(tree, a, "a2");

    QVERIFY(!tree.moveTo(a, a, MemoTree::AttachMode::AddChildLast));
    QVERIFY(!tree.moveTo(a, a1, MemoTree::AttachMode::AddChildFirst));
    QCOMPARE(childTexts(tree, nullptr), QStringList({"a", "b", "c"}));

    QVERIFY(tree.moveTo(c, a, MemoTree::AttachMode::AddChildFirst));
    QCOMPARE(childTexts(tree, a), QStringList({"c", "a1", "a2"}));
    QCOMPARE(c->parent(), a);
    QCOMPARE(c->level(), 1);
    QVERIFY(tree.moveTo(b, a, MemoTree::AttachMode::AddChildLast));
    QCOMPARE(childTexts(tree, a), QStringList({"c", "a1", "a2", "b"}));
    QCOMPARE(childTexts(tree, nullptr), QStringList({"a"}));

    QVERIFY(tree.moveTo(a1, nullptr, MemoTree::AttachMode::AddChildFirst));
    QCOMPARE(childTexts(tree, nullptr), QStringList({"a1", "a"}));
    QCOMPARE(a1->parent(), nullptr);
    QCOMPARE(childTexts(tree, a), QStringList({"c", "a2", "b"}));

    // Laid out where it went.
    tree.setExpanded(a, true);
    QCOMPARE(tree.visibleCount(), 5);
}

void TestTree::stableSortBothDirections()
{
    ScriptedTree tree;
    // Equal keys carry a tag after '#' that the comparison ignores.
    const QStringList names{"cherry", "same#1", "apple", "Banana", "same#2"};
    for (const QString &name : names)
        add(tree, nullptr, name);
    TreeNode *parent = tree.topLevelNode(2);
    for (const QString &name : names)
        add(tree, parent, name);
    tree.compare = [](TreeNode *x, TreeNode *y) {
        return QString::compare(textOf(x).section('#', 0, 0), textOf(y).section('#', 0, 0),
                                Qt::CaseInsensitive);
    };

    tree.sortTree(true);
    const QStringList ascending{"apple", "Banana", "cherry", "same#1", "same#2"};
    QCOMPARE(childTexts(tree, nullptr), ascending);
    QCOMPARE(childTexts(tree, parent), ascending);

    tree.sortTree(false);
    const QStringList descending{"same#1", "same#2", "cherry", "Banana", "apple"};
    QCOMPARE(childTexts(tree, nullptr), descending);
    QCOMPARE(childTexts(tree, parent), descending);

    // The laid-out rows follow the new order.
    tree.setExpanded(parent, true);
    tree.resize(300, 400);
    tree.show();
    QVERIFY(QTest::qWaitForWindowExposed(&tree));
    QCOMPARE(rowTexts(tree), descending + descending); // "apple" is last and holds the children
}

void TestTree::expansionEvents()
{
    ScriptedTree tree;
    TreeNode *a = add(tree, nullptr, "a");
    TreeNode *leaf = add(tree, nullptr, "leaf");
    TreeNode *a1 = add(tree, a, "a1");
    add(tree, a, "a2");
    QStringList events;
    QObject::connect(&tree, &MemoTree::nodeExpanded, [&](TreeNode *n) { events << "+" + textOf(n); });
    QObject::connect(&tree, &MemoTree::nodeCollapsed, [&](TreeNode *n) { events << "-" + textOf(n); });

    tree.setExpanded(a, true);
    tree.setExpanded(a, true);
    tree.setExpanded(leaf, true); // no children, but the flag and the event still count
    tree.setExpanded(leaf, true);
    QVERIFY(leaf->isExpanded());
    QCOMPARE(events, QStringList({"+a", "+leaf"}));
    QCOMPARE(tree.visibleCount(), 4);

    // inside (nested) brackets the events fire at once but the layout waits.
    events.clear();
    tree.beginUpdate();
    tree.beginUpdate();
    tree.setExpanded(a, false);
    tree.setExpanded(a, false);
    tree.setExpanded(leaf, false);
    QCOMPARE(events, QStringList({"-a", "-leaf"}));
    QCOMPARE(tree.visibleCount(), 4);
    tree.endUpdate();
    QCOMPARE(tree.visibleCount(), 4);
    tree.endUpdate();
    QCOMPARE(tree.visibleCount(), 2);

    // Collapsing over the focused child moves the focus to the parent.
    tree.setExpanded(a, true);
    tree.setFocusedNode(a1);
    tree.setExpanded(a, false);
    QCOMPARE(tree.focusedNode(), a);
}

void TestTree::layoutOfHiddenAndCollapsed()
{
    ScriptedTree tree;
    tree.resize(300, 400);
    TreeNode *a = add(tree, nullptr, "a");
    TreeNode *b = add(tree, nullptr, "b");
    TreeNode *c = add(tree, nullptr, "c");
    TreeNode *a1 = add(tree, a, "a1");
    TreeNode *b1 = add(tree, b, "b1");
    TreeNode *b2 = add(tree, b, "b2");
    tree.setExpanded(b, true);
    QCOMPARE(tree.visibleCount(), 5); // a's child stays out: a is collapsed
    QVERIFY(tree.nodeRect(a1).isEmpty());
    QVERIFY(!tree.isEffectivelyVisible(a1));
    QVERIFY(tree.isEffectivelyVisible(b2));

    tree.setVisible(b1, false);
    QCOMPARE(tree.visibleCount(), 4);
    QVERIFY(tree.nodeRect(b1).isEmpty());
    QCOMPARE(tree.nodeAt(tree.nodeRect(b).bottomLeft() + QPoint(1, 1)), b2);

    // A hidden parent takes its subtree along, and showing it brings the subtree back.
    tree.setVisible(b, false);
    QCOMPARE(tree.visibleCount(), 2);
    QVERIFY(!tree.isEffectivelyVisible(b2));
    QCOMPARE(tree.nodeAt(tree.nodeRect(a).bottomLeft() + QPoint(1, 1)), c);
    QCOMPARE(tree.nodeAt(tree.nodeRect(c).bottomLeft() + QPoint(1, 1)), nullptr);
    tree.setVisible(b, true);
    QCOMPARE(tree.visibleCount(), 4);

    // storedRows stack without gaps or overlaps.
    QCOMPARE(tree.nodeRect(b).top(), tree.nodeRect(a).bottom() + 1);
    QCOMPARE(tree.nodeRect(b2).top(), tree.nodeRect(b).bottom() + 1);
}

void TestTree::mouseSelection()
{
    ScriptedTree tree;
    tree.resize(300, 500);
    TreeNode *a = add(tree, nullptr, "a");
    TreeNode *b = add(tree, nullptr, "b");
    TreeNode *c = add(tree, nullptr, "c");
    TreeNode *d = add(tree, nullptr, "d");
    add(tree, b, "b1");
    add(tree, b, "b2");
    add(tree, b, "b3");
    TreeNode *hidden = add(tree, b, "hidden");
    add(tree, c, "c1"); // c stays collapsed
    tree.setExpanded(b, true);
    tree.setVisible(hidden, false);
    tree.show();
    QVERIFY(QTest::qWaitForWindowExposed(&tree));
    QWidget *vp = tree.viewport();
    QList<TreeNode *> changes;
    QObject::connect(&tree, &MemoTree::selectionChanged, [&](TreeNode *n) { changes << n; });

    // The clicks' rules are the mouse's own; the tree tells each change.
    QTest::mouseClick(vp, Qt::LeftButton, {}, centre(tree, d));
    QTest::mouseClick(vp, Qt::LeftButton, Qt::ControlModifier, centre(tree, a));
    QCOMPARE(texts(tree.selectedNodes()), QStringList({"a", "d"})); // tree order, not click order
    QCOMPARE(tree.firstSelected(), a);
    QCOMPARE(tree.nextSelected(a), d);
    QCOMPARE(tree.nextSelected(d), nullptr);
    QCOMPARE(tree.focusedNode(), a);
    QCOMPARE(changes, QList<TreeNode *>({d, a}));

    // select all: every laid-out row of every level, one notification.
    changes.clear();
    tree.selectAllVisible();
    QCOMPARE(changes.size(), 1);
    QCOMPARE(texts(tree.selectedNodes()), QStringList({"a", "b", "b1", "b2", "b3", "c", "d"}));
    int walked = 0;
    for (TreeNode *n = tree.firstSelected(); n; n = tree.nextSelected(n))
        ++walked;
    QCOMPARE(walked, 7);
    tree.clearSelection();
    tree.clearSelection();
    QCOMPARE(changes.size(), 2);

    // Right click: asks for the menu of the node under the mouse.
    QList<TreeNode *> asked;
    tree.menu = [&](TreeNode *n) -> QMenu * {
        asked << n;
        return nullptr;
    };
    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, centre(tree, c), vp->mapToGlobal(centre(tree, c)));
    QApplication::sendEvent(vp, &menuEvent);
    QContextMenuEvent blankEvent(QContextMenuEvent::Mouse, QPoint(100, vp->height() - 5), QPoint());
    QApplication::sendEvent(vp, &blankEvent);
    QCOMPARE(asked, QList<TreeNode *>({c, nullptr}));

    int doubleClicks = 0;
    QObject::connect(&tree, &MemoTree::doubleClicked, [&] { ++doubleClicks; });
    QTest::mouseDClick(vp, Qt::LeftButton, {}, centre(tree, b));
    QCOMPARE(doubleClicks, 1);
    QVERIFY(b->isExpanded()); // no toggle on double click
}

void TestTree::measuresOnlyWhatIsShown()
{
    ScriptedTree tree;
    tree.resize(400, 600);
    QHash<TreeNode *, int> measured;
    tree.rowHeight = [&](TreeNode *n) {
        ++measured[n];
        return 20 + (n->index() % 3) * 15; // 20, 35 or 50 px
    };
    tree.beginUpdate();
    for (int i = 0; i < 100000; ++i)
        tree.addChild(nullptr);
    tree.endUpdate();
    QCOMPARE(tree.visibleCount(), 100000);
    tree.show();
    QVERIFY(QTest::qWaitForWindowExposed(&tree));
    tree.viewport()->repaint();
    QVERIFY2(measured.size() <= 40, qPrintable(QString::number(measured.size())));
    QVERIFY(measured.size() >= 600 / 50);
    for (int count : measured)
        QCOMPARE(count, 1); // cached

    // Painted rows have their measured heights and hit-test to themselves.
    for (int i = 0; i < 10; ++i) {
        TreeNode *n = tree.topLevelNode(i);
        QCOMPARE(tree.nodeRect(n).height(), 20 + (i % 3) * 15);
        QCOMPARE(tree.nodeAt(tree.nodeRect(n).center()), n);
    }

    // Jumping to the end measures about one more screen, and the last row sits at the bottom.
    tree.setFocus();
    QTest::keyClick(&tree, Qt::Key_End);
    tree.viewport()->repaint();
    QVERIFY2(measured.size() <= 80, qPrintable(QString::number(measured.size())));
    TreeNode *last = tree.lastTopLevelNode();
    QCOMPARE(tree.nodeRect(last).bottom(), tree.viewport()->height() - 1);
    QCOMPARE(tree.verticalScrollBar()->value(), tree.verticalScrollBar()->maximum());
    QCOMPARE(tree.verticalScrollBar()->pageStep(), tree.viewport()->height());

    // Invalidating forgets the heights; the next paint measures the screen again, no more.
    const int before = measured.size();
    tree.invalidateAll();
    tree.viewport()->repaint();
    QCOMPARE(measured.size(), before);
    QCOMPARE(tree.nodeRect(last).bottom(), tree.viewport()->height() - 1);
    int remeasured = 0;
    for (int count : measured)
        remeasured += count > 1;
    QVERIFY(remeasured > 5 && remeasured <= 40);
}

void TestTree::hotNodeAndHint()
{
    ScriptedTree tree;
    tree.resize(300, 300);
    TreeNode *a = add(tree, nullptr, "a");
    TreeNode *b = add(tree, nullptr, "b");
    tree.show();
    QVERIFY(QTest::qWaitForWindowExposed(&tree));
    QStringList hot;
    int moves = 0;
    auto name = [](TreeNode *n) { return n ? textOf(n) : QString("-"); };
    QObject::connect(&tree, &MemoTree::hoveredNodeChanged, [&](TreeNode *o, TreeNode *n) { hot << name(o) + ">" + name(n); });
    QObject::connect(&tree, &MemoTree::mouseMoved, [&] { ++moves; });
    QWidget *vp = tree.viewport();
    hover(vp, centre(tree, a));
    hover(vp, centre(tree, a) + QPoint(5, 0));
    hover(vp, centre(tree, b));
    hover(vp, QPoint(50, vp->height() - 5));
    QVERIFY(moves >= 3);
    QCOMPARE(hot, QStringList({"->a", "a>b", "b>-"}));
    hover(vp, centre(tree, a));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(vp, &leave);
    QCOMPARE(tree.hotNode(), nullptr);

    // The hint shows over blank space only.
    tree.setHint("Double-click to add");
    const QPoint blank(50, vp->height() - 5);
    QHelpEvent overBlank(QEvent::ToolTip, blank, vp->mapToGlobal(blank));
    QApplication::sendEvent(vp, &overBlank);
    QTRY_VERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(), QString("Double-click to add"));
    QHelpEvent overNode(QEvent::ToolTip, centre(tree, a), vp->mapToGlobal(centre(tree, a)));
    QApplication::sendEvent(vp, &overNode);
    QTRY_VERIFY(!QToolTip::isVisible());
}

void TestTree::dragAndDrop()
{
    ScriptedTree tree;
    tree.resize(300, 300);
    TreeNode *a = add(tree, nullptr, "a");
    TreeNode *b = add(tree, nullptr, "b");
    TreeNode *b1 = add(tree, b, "b1");
    tree.show();
    QVERIFY(QTest::qWaitForWindowExposed(&tree));
    QWidget *vp = tree.viewport();

    // Pressing and moving far enough asks whether the node may be dragged (here: no, as
    // by default).
    QList<TreeNode *> askedDrag;
    tree.mayDrag = [&](TreeNode *n) {
        askedDrag << n;
        return tree.MemoTreeDelegate::canDrag(n);
    };
    QTest::mousePress(vp, Qt::LeftButton, {}, centre(tree, a));
    const QPoint far = centre(tree, a) + QPoint(0, QApplication::startDragDistance() + 5);
    QMouseEvent drag(QEvent::MouseMove, far, vp->mapToGlobal(far), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(vp, &drag);
    QTest::mouseRelease(vp, Qt::LeftButton, {}, far);
    QCOMPARE(askedDrag, QList<TreeNode *>({a}));

    // The owner decides per target; a collapsed target opens after hovering.
    QList<TreeNode *> over, dropped;
    QList<QString> droppedTexts;
    tree.mayDrop = [&](TreeNode *target, const QMimeData *, bool internal) {
        over << target;
        return !internal && target != a;
    };
    tree.dropped = [&](TreeNode *target, const QMimeData *data, bool internal) {
        if (!internal)
            dropped << target;
        droppedTexts << data->text();
    };
    QMimeData data;
    data.setText("from elsewhere");
    const auto actions = Qt::CopyAction | Qt::MoveAction;
    QDragEnterEvent enter(centre(tree, a), actions, &data, Qt::LeftButton, {});
    QApplication::sendEvent(vp, &enter);
    QVERIFY(enter.isAccepted());
    QDragMoveEvent overA(centre(tree, a), actions, &data, Qt::LeftButton, {});
    QApplication::sendEvent(vp, &overA);
    QVERIFY(!overA.isAccepted());
    QDragMoveEvent overB(centre(tree, b), actions, &data, Qt::LeftButton, {});
    QApplication::sendEvent(vp, &overB);
    QVERIFY(overB.isAccepted());
    QCOMPARE(over, QList<TreeNode *>({a, b}));
    QTRY_VERIFY_WITH_TIMEOUT(b->isExpanded(), 3000);

    // Each drop ends a drag, so each is preceded by its own enter.
    auto dropAt = [&](const QPoint &pos) {
        QDragEnterEvent enterAgain(pos, actions, &data, Qt::LeftButton, {});
        QApplication::sendEvent(vp, &enterAgain);
        QDropEvent drop(pos, actions, &data, Qt::LeftButton, {});
        QApplication::sendEvent(vp, &drop);
        return drop.isAccepted();
    };
    QVERIFY(!dropAt(centre(tree, a)));
    QVERIFY(dropped.isEmpty());
    QVERIFY(dropAt(centre(tree, b1)));
    QVERIFY(dropAt(QPoint(50, vp->height() - 5)));
    QCOMPARE(dropped, QList<TreeNode *>({b1, nullptr}));
    QCOMPARE(droppedTexts, QStringList({"from elsewhere", "from elsewhere"}));
}

void TestTree::editor()
{
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *tree = new ScriptedTree;
    auto *other = new QLineEdit;
    layout->addWidget(tree);
    layout->addWidget(other);
    window.resize(400, 400);
    TreeNode *a = add(*tree, nullptr, "first\r\nsecond");
    TreeNode *b = add(*tree, nullptr, "b");
    QStringList log;
    QObject::connect(tree, &MemoTree::editCommitted, [&](TreeNode *n, const QString &t) {
        log << "new " + textOf(n) + "=" + t;
        textOf(n) = t;
    });
    QObject::connect(tree, &MemoTree::editEnded, [&](TreeNode *n) { log << "edited " + textOf(n); });
    QObject::connect(tree, &MemoTree::editCancelled, [&] { log << "cancelled"; });
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));

    // A closed editor lingers until deleted later; the open one is the visible one.
    auto editorWidget = [&]() -> QPlainTextEdit * {
        for (QPlainTextEdit *e : tree->viewport()->findChildren<QPlainTextEdit *>())
            if (e->isVisible())
                return e;
        return nullptr;
    };

    // Opens with the text, line breaks as lines, all selected; Enter is a new line, Tab
    // and Esc characters never get in, Ctrl+Enter commits with CR LF.
    QVERIFY(tree->editNode(a));
    QVERIFY(tree->isEditing());
    QCOMPARE(tree->editedNode(), a);
    QPlainTextEdit *ed = editorWidget();
    QVERIFY(ed);
    QCOMPARE(ed->toPlainText(), QString("first\nsecond"));
    QCOMPARE(ed->textCursor().selectedText().size(), 12);
    QTRY_VERIFY(ed->hasFocus());
    QTest::keyClick(ed, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(ed, Qt::Key_Return);
    QTest::keyClick(ed, Qt::Key_Tab);
    QTest::keyClicks(ed, "x");
    QCOMPARE(ed->toPlainText(), QString("first\nsecond\nx"));
    QTest::keyClick(ed, Qt::Key_Return, Qt::ControlModifier);
    QVERIFY(!tree->isEditing());
    QCOMPARE(log, QStringList({"new first\r\nsecond=first\r\nsecond\r\nx", "edited first\r\nsecond\r\nx"}));

    // Esc cancels without new text.
    log.clear();
    QVERIFY(tree->editNode(b));
    QTest::keyClicks(editorWidget(), "changed");
    QTest::keyClick(editorWidget(), Qt::Key_Escape);
    QVERIFY(!tree->isEditing());
    QCOMPARE(log, QStringList({"cancelled"}));
    QCOMPARE(textOf(b), QString("b"));

    // An unchanged commit is edited but brings no new text.
    log.clear();
    QVERIFY(tree->editNode(b));
    QVERIFY(tree->endEditNode());
    QVERIFY(!tree->endEditNode());
    QCOMPARE(log, QStringList({"edited b"}));

    // Focus moving to another widget commits.
    log.clear();
    QVERIFY(tree->editNode(b));
    QTest::keyClicks(editorWidget(), "c");
    other->setFocus();
    QVERIFY(!tree->isEditing());
    QCOMPARE(log, QStringList({"new b=c", "edited c"}));

    // The owner may refuse; deleting the node being edited cancels first.
    log.clear();
    tree->mayEdit = [](TreeNode *n) { return textOf(n) != "c"; };
    QVERIFY(!tree->editNode(b));
    QVERIFY(!tree->isEditing());
    QVERIFY(tree->editNode(a));
    tree->deleteNode(a);
    QVERIFY(!tree->isEditing());
    QCOMPARE(log, QStringList({"cancelled"}));

    // Editing a child of a collapsed node opens its parent first.
    TreeNode *b1 = add(*tree, b, "child");
    tree->mayEdit = nullptr;
    QVERIFY(tree->editNode(b1));
    QVERIFY(b->isExpanded());
    QCOMPARE(tree->focusedNode(), b1);
    QVERIFY(tree->cancelEditNode());
}

void TestTree::slowSecondClickAsksToEdit()
{
    ScriptedTree tree;
    TreeNode *a = add(tree, nullptr, "a");
    TreeNode *b = add(tree, nullptr, "b");
    tree.resize(300, 200);
    tree.show();
    QVERIFY(QTest::qWaitForWindowExposed(&tree));
    QList<TreeNode *> asked;
    tree.mayEdit = [&](TreeNode *node) {
        asked << node;
        return false;
    };
    QWidget *vp = tree.viewport();
    const int wait = QApplication::doubleClickInterval() + 200;

    QTest::mouseClick(vp, Qt::LeftButton, {}, centre(tree, a)); // selects: no edit
    QTest::qWait(wait);
    QVERIFY(asked.isEmpty());
    QTest::mouseClick(vp, Qt::LeftButton, {}, centre(tree, a)); // the second, slow click
    QTRY_COMPARE_WITH_TIMEOUT(asked, QList<TreeNode *>({a}), wait + 500);

    // A double click on the selected node is not a slow click.
    QTest::mouseDClick(vp, Qt::LeftButton, {}, centre(tree, a));
    QTest::qWait(wait);
    QCOMPARE(asked.size(), 1);

    // Clicking another node first selects it.
    QTest::mouseClick(vp, Qt::LeftButton, {}, centre(tree, b));
    QTest::qWait(wait);
    QCOMPARE(asked.size(), 1);
}

void TestTree::printing()
{
    ScriptedTree tree;
    tree.resize(300, 300);
    int widthSeen = 0;
    tree.rowHeight = [&](TreeNode *n) {
        widthSeen = tree.textAreaWidth(n);
        return 40;
    };
    for (int i = 0; i < 10; ++i)
        add(tree, nullptr, QString::number(i));
    tree.show();
    QVERIFY(QTest::qWaitForWindowExposed(&tree));
    QImage page(500, 100, QImage::Format_RGB32);
    QPainter painter(&page);
    int pages = 1;
    tree.paintRowsForPrint(painter, QRect(0, 0, 500, 100), [&] { ++pages; });
    QCOMPARE(pages, 5); // two 40 px rows per 100 px page
    QVERIFY(widthSeen > 400); // measured at the page width, not the widget's
    QVERIFY(tree.textAreaWidth(tree.firstNode()) < 300);
}

QTEST_MAIN(TestTree)
void TestTree::delegateDefaultsAndQuietEnd()
{
    // Without a delegate: empty rows of one line, every node editable, drops refused.
    auto *tree = new MemoTree(nullptr, makeTextNode);
    tree->resize(300, 300);
    TreeNode *a = add(*tree, nullptr, "a");
    add(*tree, nullptr, "b");
    tree->show();
    QVERIFY(QTest::qWaitForWindowExposed(tree));
    const int plainHeight = tree->nodeRect(a).height();
    QVERIFY(plainHeight > 0);
    QVERIFY(tree->editNode(a));
    QVERIFY(tree->cancelEditNode());
    QMimeData data;
    data.setText("text");
    QDragMoveEvent over(centre(*tree, a), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(tree->viewport(), &over);
    QVERIFY(!over.isAccepted());

    // A delegate set later is asked when the rows are painted next: they take its heights.
    ScriptedTreeDelegate delegate;
    delegate.rowHeight = [](TreeNode *) { return 3 * 17; };
    tree->setDelegate(&delegate);
    QCOMPARE(tree->delegate(), &delegate);
    QTRY_COMPARE(tree->nodeRect(a).height(), 3 * 17);
    tree->setDelegate(nullptr); // back to the do-nothing answers
    QTRY_COMPARE(tree->nodeRect(a).height(), plainHeight);

    // Nodes deleted by the program are told; nodes that go with the tree are not, since
    // their owner is usually half destroyed by then.
    int freed = 0;
    QObject::connect(tree, &MemoTree::nodeFreed, [&] { ++freed; });
    tree->deleteNode(a);
    QCOMPARE(freed, 1);
    delete tree;
    QCOMPARE(freed, 1);
}

#include "tst_memotree.moc"
