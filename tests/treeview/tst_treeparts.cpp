// SPDX-License-Identifier: GPL-3.0-or-later
// The tree control's parts that work without a widget: the node store and the selection.
#include "treeview/TreeNodeStore.h"
#include "treeview/TreeSelection.h"
#include <QtTest>

class TestTreeParts : public QObject {
    Q_OBJECT
private slots:
    void storeKnowsLiveNodes();
    void selectionKeepsSiblingsInTreeOrder();
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
}

QTEST_GUILESS_MAIN(TestTreeParts)
#include "tst_treeparts.moc"
