// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

class MemoTree;

// A node of MemoTree. The tree creates, owns and deletes nodes; callers hold plain
// pointers that stay valid until the node is deleted (see MemoTree::isAlive). A user whose
// nodes carry data of its own derives from TreeNode and has the tree make its nodes; the tree
// never looks at that data.
class TreeNode {
public:
    TreeNode() = default;
    TreeNode(const TreeNode &) = delete;
    TreeNode &operator=(const TreeNode &) = delete;
    virtual ~TreeNode() = default;

    // nullptr for a top-level node: the hidden root is never handed out. Inline, as the
    // filter and the walks over 100,000 nodes ask it for every node.
    TreeNode *parent() const { return m_parent && m_parent->m_parent ? m_parent : nullptr; }
    int index() const { return m_index; } // position among its siblings, from 0
    int level() const // 0 for top-level nodes
    {
        int result = 0;
        for (const TreeNode *p = m_parent; p && p->m_parent; p = p->m_parent)
            ++result;
        return result;
    }
    int childCount() const { return int(m_children.size()); }
    TreeNode *child(int i) const { return m_children[size_t(i)]; }
    TreeNode *firstChild() const { return m_children.empty() ? nullptr : m_children.front(); }
    TreeNode *lastChild() const { return m_children.empty() ? nullptr : m_children.back(); }
    TreeNode *nextSibling() const;
    TreeNode *previousSibling() const;
    bool isExpanded() const { return m_expanded; }
    bool isVisible() const { return m_visible; } // own flag; a hidden ancestor hides it too
    bool isSelected() const { return m_selected; }
    bool isMultiline() const { return m_multiline; }
    int verticalAlignment() const { return m_verticalAlignment; }
    uint64_t serial() const { return m_serial; } // unique for the tree's lifetime, never reused

private:
    friend class MemoTree;
    friend class TreeNodeStore;
    friend class TreeSelection;
    friend class TreeLayout;
    friend class TreeRows;
    TreeNode *m_parent = nullptr; // the tree's hidden root for top-level nodes
    std::vector<TreeNode *> m_children;
    int m_index = 0;
    uint64_t m_serial = 0;
    int m_height = 0; // cached measured height; 0 = not measured
    bool m_expanded = false;
    bool m_visible = true;
    bool m_selected = false;
    bool m_multiline = false;
    int m_verticalAlignment = 50;
    int m_row = -1; // row in the tree's current layout; -1 when not laid out
};
