// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "treeview/TreeNode.h"
#include <QSet>
#include <QtGlobal>
#include <functional>
#include <memory>

// The nodes of a tree and their lifetimes: a hidden root holds the top level, and each node
// gets a serial that tells it from a later node at the same address.
class TreeNodeStore {
public:
    Q_DISABLE_COPY(TreeNodeStore)
    TreeNodeStore();
    ~TreeNodeStore();

    TreeNode *root() const { return m_root.get(); } // never handed out as a node
    TreeNode *addChild(TreeNode *parent);           // nullptr parent: a new last top-level node
    // Deletes a node that no parent holds any more, nor any node below it. farewell sees it
    // once more, no longer alive, just before it goes.
    void destroy(TreeNode *node, const std::function<void(TreeNode *)> &farewell);

    bool contains(const TreeNode *node) const { return m_live.contains(node); }
    bool isAlive(const TreeNode *node, uint64_t serial) const; // not deleted since serial was read
    int count() const { return int(m_live.size()); }           // every node, hidden ones included
    TreeNode *nextNode(const TreeNode *node) const;            // tree order: node, its subtree, next...
    static bool isInSubtree(const TreeNode *node, const TreeNode *top);

private:
    std::unique_ptr<TreeNode> m_root;
    QSet<const TreeNode *> m_live; // open addressing: no allocation per node
    uint64_t m_nextSerial = 1;
};
