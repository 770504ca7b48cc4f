// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "treeview/TreeNode.h"
#include <QSet>
#include <QtGlobal>
#include <functional>
#include <memory>
#include <unordered_set>
#include <vector>

// The nodes of a tree, their order and their lifetimes: a hidden root holds the top level, and
// each node gets a serial that tells it from a later node at the same address. Every change of
// many nodes takes one pass per parent, however many siblings it has.
class TreeNodeStore {
public:
    Q_DISABLE_COPY(TreeNodeStore)
    // Makes a new node, of the user's own type derived from TreeNode where it carries data.
    using NodeFactory = std::function<TreeNode *()>;
    // makeNode: nullptr for plain TreeNodes.
    explicit TreeNodeStore(NodeFactory makeNode = nullptr);
    ~TreeNodeStore();

    using Farewell = std::function<void(TreeNode *)>;
    struct Placement {
        TreeNode *node;
        TreeNode *parent; // nullptr: the top level
        int index;        // in the parent's final order; past the end: last
    };
    struct Moved {
        std::vector<TreeNode *> parents;   // that lost or gained children
        std::vector<TreeNode *> relevelled; // moved to another level, with their subtrees
        bool selected = false;              // a selected node moved
    };

    TreeNode *root() const { return m_root.get(); } // never handed out as a node
    TreeNode *addChild(TreeNode *parent);           // nullptr parent: a new last top-level node
    // Takes these nodes out of their parents; a node below another of them goes with that one.
    // Returns the subtree tops taken out, which still name their former parents.
    std::vector<TreeNode *> detach(const std::unordered_set<TreeNode *> &nodes);
    // Deletes a detached subtree, children before their parent. farewell sees each node once
    // more, no longer alive, just before it goes.
    void destroy(TreeNode *top, const Farewell &farewell);
    // Moves node with its subtree to the first or last place under parent (the root for the
    // top level). The caller makes sure parent is not in node's subtree.
    Moved move(TreeNode *node, TreeNode *parent, bool first);
    // Puts many nodes in place; a placement into the node's own subtree, of a node not here or
    // a node placed twice is left out.
    Moved place(const std::vector<Placement> &placements);
    // Stable sort of every level.
    void sort(const std::function<bool(TreeNode *, TreeNode *)> &less);

    bool contains(const TreeNode *node) const { return m_live.contains(node); }
    bool isAlive(const TreeNode *node, uint64_t serial) const; // not deleted since serial was read
    int count() const { return int(m_live.size()); }           // every node, hidden ones included
    TreeNode *nextNode(const TreeNode *node) const;            // tree order: node, its subtree, next...
    static bool isInSubtree(const TreeNode *node, const TreeNode *top);

private:
    static void renumber(TreeNode *parent, size_t from = 0);

    NodeFactory m_makeNode;
    std::unique_ptr<TreeNode> m_root;
    QSet<const TreeNode *> m_live; // open addressing: no allocation per node
    uint64_t m_nextSerial = 1;
};
