// SPDX-License-Identifier: GPL-3.0-or-later
#include "treeview/TreeAccessible.h"
#include "treeview/MemoTree.h"
#include "ScriptedTreeDelegate.h"
#include <QAccessible>
#include <QtTest>

namespace {

struct Heard {
    QAccessible::Event type;
    QString text;
};

std::vector<Heard> heard;

void listen(QAccessibleEvent *event)
{
    QAccessibleInterface *iface = event->accessibleInterface();
    heard.push_back({event->type(), iface ? iface->text(QAccessible::Name) : QString()});
}

TreeNode *add(MemoTree &tree, TreeNode *parent, const QString &text)
{
    TreeNode *n = tree.addChild(parent);
    textOf(n) = text;
    return n;
}

QStringList rowTexts(QAccessibleInterface *tree)
{
    QStringList result;
    for (int i = 0; i < tree->childCount(); ++i)
        result << tree->child(i)->text(QAccessible::Name);
    return result;
}

bool heardEvent(QAccessible::Event type, const QString &text)
{
    return std::any_of(heard.begin(), heard.end(), [&](const Heard &h) { return h.type == type && h.text == text; });
}

// A tree of three memos: "Alpha" (collapsed, two sub-memos), "Beta" (expanded, one
// sub-memo), "Gamma" (hidden).
struct Fixture {
    ScriptedTree tree;
    TreeNode *alpha, *alpha1, *alpha2, *beta, *beta1, *gamma;
    Fixture()
    {
        tree.resize(300, 400);
        alpha = add(tree, nullptr, QStringLiteral("Alpha"));
        alpha1 = add(tree, alpha, QStringLiteral("Alpha one"));
        alpha2 = add(tree, alpha, QStringLiteral("Alpha two"));
        beta = add(tree, nullptr, QStringLiteral("Beta"));
        beta1 = add(tree, beta, QStringLiteral("Beta one"));
        gamma = add(tree, nullptr, QStringLiteral("Gamma"));
        tree.setExpanded(beta, true);
        tree.setVisible(gamma, false);
    }
    QAccessibleInterface *iface() { return QAccessible::queryAccessibleInterface(&tree); }
};

} // namespace

class TestTreeAccessible : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // Qt delivers accessibility events only while an assistive technology is active,
        // which no test platform here provides; the tree's own sink hears them all the same.
        TreeAccessible::setEventSink(listen);
    }
    void init() { heard.clear(); }
    void rowsAreTheShownNodesInOrder();
    void rowStatesAndLevels();
    void rowInterfacesFollowTheirNodes();
    void focusAndSelectionAreAnnounced();
};

void TestTreeAccessible::rowsAreTheShownNodesInOrder()
{
    Fixture f;
    QAccessibleInterface *tree = f.iface();
    QVERIFY(tree);
    QCOMPARE(tree->role(), QAccessible::Tree);
    // Collapsed sub-memos and the hidden memo are not reported.
    QCOMPARE(rowTexts(tree), QStringList({"Alpha", "Beta", "Beta one"}));
    for (int i = 0; i < tree->childCount(); ++i) {
        QCOMPARE(tree->child(i)->parent(), tree);
        QCOMPARE(tree->indexOfChild(tree->child(i)), i);
    }
    QVERIFY(!tree->child(3));
    QVERIFY(!tree->child(-1));

    heard.clear();
    f.tree.setExpanded(f.alpha, true);
    f.tree.setVisible(f.gamma, true);
    QCOMPARE(rowTexts(tree), QStringList({"Alpha", "Alpha one", "Alpha two", "Beta", "Beta one", "Gamma"}));
    QVERIFY(heardEvent(QAccessible::TableModelChanged, QString()));

    // Hiding a memo takes its sub-memos out with it.
    f.tree.setVisible(f.alpha, false);
    QCOMPARE(rowTexts(tree), QStringList({"Beta", "Beta one", "Gamma"}));

    // Hit testing finds the row under a point on screen.
    f.tree.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.tree));
    const QRect betaOne = tree->child(1)->rect();
    QVERIFY(!betaOne.isEmpty());
    QCOMPARE(tree->childAt(betaOne.center().x(), betaOne.center().y())->text(QAccessible::Name),
             QStringLiteral("Beta one"));
}

void TestTreeAccessible::rowStatesAndLevels()
{
    Fixture f;
    QAccessibleInterface *tree = f.iface();
    auto *alpha = static_cast<TreeRowAccessible *>(tree->child(0));
    auto *beta = static_cast<TreeRowAccessible *>(tree->child(1));
    auto *betaOne = static_cast<TreeRowAccessible *>(tree->child(2));
    QCOMPARE(alpha->role(), QAccessible::TreeItem);
    QCOMPARE(alpha->level(), 1);
    QCOMPARE(betaOne->level(), 2);

    QVERIFY(alpha->state().expandable && alpha->state().collapsed && !alpha->state().expanded);
    QVERIFY(beta->state().expandable && beta->state().expanded && !beta->state().collapsed);
    QVERIFY(!betaOne->state().expandable && !betaOne->state().expanded);
    QVERIFY(!beta->state().selected && beta->state().selectable);

    f.tree.setSelected(f.beta, true);
    QVERIFY(beta->state().selected);
    QVERIFY(!alpha->state().selected);
    f.tree.setExpanded(f.alpha, true);
    QVERIFY(alpha->state().expanded && !alpha->state().collapsed);
    QVERIFY(tree->state().multiSelectable);
}

void TestTreeAccessible::rowInterfacesFollowTheirNodes()
{
    Fixture f;
    QAccessibleInterface *tree = f.iface();
    QAccessibleInterface *beta = tree->child(1);
    QCOMPARE(tree->child(1), beta);

    // storedRows above it appear: the same interface now sits further down.
    f.tree.setExpanded(f.alpha, true);
    QCOMPARE(tree->child(3), beta);
    QCOMPARE(tree->indexOfChild(beta), 3);

    // A deleted node's row goes invalid and is no longer anybody's child.
    f.tree.deleteNode(f.beta);
    QVERIFY(!beta->isValid());
    QCOMPARE(beta->text(QAccessible::Name), QString());
    QCOMPARE(tree->indexOfChild(beta), -1);
    QCOMPARE(rowTexts(tree), QStringList({"Alpha", "Alpha one", "Alpha two"}));
}

void TestTreeAccessible::focusAndSelectionAreAnnounced()
{
    Fixture f;
    f.tree.show();
    f.tree.activateWindow();
    f.tree.setFocus();
    QTRY_VERIFY(f.tree.hasFocus());
    QAccessibleInterface *tree = f.iface();

    heard.clear();
    f.tree.setFocusedNode(f.beta1);
    QVERIFY(heardEvent(QAccessible::Focus, QStringLiteral("Beta one")));
    QCOMPARE(tree->focusChild()->text(QAccessible::Name), QStringLiteral("Beta one"));
    QVERIFY(tree->child(2)->state().focused);
    QVERIFY(!tree->child(1)->state().focused);

    // The arrow keys move the focus, and each move is heard.
    heard.clear();
    QTest::keyClick(&f.tree, Qt::Key_Up);
    QVERIFY(heardEvent(QAccessible::Focus, QStringLiteral("Beta")));
    QVERIFY(heardEvent(QAccessible::Selection, QStringLiteral("Beta")));

    heard.clear();
    f.tree.setSelected(f.alpha, true); // a sibling joins the selection
    QVERIFY(heardEvent(QAccessible::SelectionAdd, QStringLiteral("Alpha")));
    f.tree.setSelected(f.alpha, false);
    QVERIFY(heardEvent(QAccessible::SelectionRemove, QStringLiteral("Alpha")));

    // Without keyboard focus in the tree, moving its focused node is not a focus change.
    f.tree.clearFocus();
    QTRY_VERIFY(!f.tree.hasFocus());
    heard.clear();
    f.tree.setFocusedNode(f.alpha);
    QVERIFY(!heardEvent(QAccessible::Focus, QStringLiteral("Alpha")));
}

QTEST_MAIN(TestTreeAccessible)
#include "tst_memotree_accessible.moc"
