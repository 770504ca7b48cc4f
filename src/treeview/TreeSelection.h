// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "treeview/TreeNode.h"
#include <unordered_set>
#include <vector>

// The selected nodes of a tree. Only siblings are selected together, unless a select-all took
// nodes of several parents; the nodes are read in tree order. Each node is marked as well, so
// that it knows it is selected. Nothing is told here: the tree tells its owner.
class TreeSelection {
public:
    bool isEmpty() const { return m_nodes.empty(); }
    int count() const { return int(m_nodes.size()); }
    // Whether node can join the selection as it is, without clearing it first.
    bool admits(const TreeNode *node) const;
    void add(TreeNode *node);
    void remove(TreeNode *node);
    bool clear(); // false when nothing was selected

    // What the user's clicks and keys do; each returns whether anything changed.
    bool selectOnly(TreeNode *node);
    // node in or out; joining clears a selection that does not admit it
    void toggle(TreeNode *node);
    // The shown siblings from one to the other; a selection that does not admit them, or
    // unless keep, is cleared first. False when the two are no siblings: nothing happened.
    bool selectRange(const TreeNode *from, TreeNode *to, bool keep);
    // Deselects top's subtree (top itself when withTop): what is out of sight is never selected.
    bool removeSubtree(TreeNode *top, bool withTop);

    // After selected nodes moved: the order is read again, the common parent found again
    // when parentsChanged.
    void nodesMoved(bool parentsChanged);
    // Adds nodes (the laid-out rows, in tree order when inTreeOrder); false when all were
    // selected already.
    bool addAll(std::vector<TreeNode *> nodes, bool inTreeOrder);

    TreeNode *first() const;
    TreeNode *next(const TreeNode *node) const;
    std::vector<TreeNode *> nodes() const;

private:
    void sort() const;

    std::unordered_set<TreeNode *> m_nodes;
    const TreeNode *m_parent = nullptr; // common parent of the selection
    bool m_mixed = false;               // nodes of several parents (select all)
    mutable std::vector<TreeNode *> m_order;
    mutable bool m_orderDirty = false;
};
