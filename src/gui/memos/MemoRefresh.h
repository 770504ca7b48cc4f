// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QSet>
#include <QString>
#include <functional>

class MemoStore;
class MemoTree;
class TreeNode;

// Brings the memo list in line with the database after another process wrote to it. Only
// the memos whose parent, edit time or expanded flag differ from their nodes are read back
// and touched, so the selection, the focused memo, the scroll position and a search in
// force stay as they are, and the cost follows the change rather than the size of the list.
class MemoRefresh {
public:
    using NodeMaker = std::function<TreeNode *(TreeNode *parent)>;
    using Holds = std::function<bool(const TreeNode *node)>;

    // makeNode: a memo node as the list makes it; held: nodes whose text the database has not
    // taken yet, which the refresh neither changes nor removes.
    MemoRefresh(MemoTree &tree, MemoStore &store, NodeMaker makeNode, Holds held);

    // Patches what changed into the tree; new memos take their places in the sort order.
    // Returns the ids of the memos added, changed or removed. Throws DatabaseError before
    // touching the tree when the database cannot be read.
    QSet<QString> run(bool ascending);

private:
    int sortedIndex(TreeNode *parent, TreeNode *node, bool ascending) const;
    void place(TreeNode *node, TreeNode *parent, bool ascending);

    MemoTree &m_tree;
    MemoStore &m_store;
    NodeMaker m_makeNode;
    Holds m_held;
};
