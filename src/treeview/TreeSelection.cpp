// SPDX-License-Identifier: GPL-3.0-or-later
#include "treeview/TreeSelection.h"
#include <algorithm>

namespace {

// Tree order: a node before its descendants, siblings by index.
bool treeLess(const TreeNode *a, const TreeNode *b)
{
    if (a == b)
        return false;
    int da = a->level(), db = b->level();
    while (da > db) {
        const TreeNode *pa = a->parent();
        if (pa == b)
            return false; // b is an ancestor of a
        a = pa;
        --da;
    }
    while (db > da) {
        const TreeNode *pb = b->parent();
        if (pb == a)
            return true;
        b = pb;
        --db;
    }
    while (a->parent() != b->parent()) {
        a = a->parent();
        b = b->parent();
    }
    return a->index() < b->index();
}

} // namespace

bool TreeSelection::admits(const TreeNode *node) const
{
    return m_nodes.empty() || (!m_mixed && m_parent == node->m_parent);
}

void TreeSelection::add(TreeNode *node)
{
    if (node->m_selected)
        return;
    if (m_nodes.empty()) {
        m_parent = node->m_parent;
        m_mixed = false;
    } else if (m_parent != node->m_parent) {
        m_mixed = true;
    }
    node->m_selected = true;
    m_nodes.insert(node);
    m_orderDirty = true;
}

void TreeSelection::remove(TreeNode *node)
{
    if (!node->m_selected)
        return;
    node->m_selected = false;
    m_nodes.erase(node);
    m_orderDirty = true;
    if (m_nodes.empty()) {
        m_parent = nullptr;
        m_mixed = false;
    }
}

bool TreeSelection::clear()
{
    if (m_nodes.empty())
        return false;
    for (TreeNode *n : m_nodes)
        n->m_selected = false;
    m_nodes.clear();
    m_order.clear();
    m_orderDirty = false;
    m_parent = nullptr;
    m_mixed = false;
    return true;
}

bool TreeSelection::selectOnly(TreeNode *node)
{
    if (node->m_selected && count() == 1)
        return false;
    clear();
    add(node);
    return true;
}

void TreeSelection::toggle(TreeNode *node)
{
    if (node->m_selected) {
        remove(node);
        return;
    }
    if (!admits(node))
        clear();
    add(node);
}

bool TreeSelection::selectRange(const TreeNode *from, TreeNode *to, bool keep)
{
    if (!from || from->m_parent != to->m_parent)
        return false;
    if (!keep || !admits(to))
        clear();
    const int lo = std::min(from->m_index, to->m_index);
    const int hi = std::max(from->m_index, to->m_index);
    for (int i = lo; i <= hi; ++i) {
        TreeNode *n = to->m_parent->m_children[size_t(i)];
        if (n->m_visible)
            add(n);
    }
    return true;
}

bool TreeSelection::removeSubtree(TreeNode *top, bool withTop)
{
    if (isEmpty())
        return false;
    bool changed = false;
    std::vector<TreeNode *> pending;
    if (withTop)
        pending.push_back(top);
    else
        pending.assign(top->m_children.begin(), top->m_children.end());
    while (!pending.empty()) {
        TreeNode *n = pending.back();
        pending.pop_back();
        if (n->m_selected) {
            remove(n);
            changed = true;
        }
        pending.insert(pending.end(), n->m_children.begin(), n->m_children.end());
    }
    return changed;
}

void TreeSelection::nodesMoved(bool parentsChanged)
{
    m_orderDirty = true;
    if (!parentsChanged)
        return;
    m_parent = nullptr;
    m_mixed = false;
    for (const TreeNode *n : m_nodes) {
        if (!m_parent)
            m_parent = n->m_parent;
        else if (m_parent != n->m_parent)
            m_mixed = true;
    }
}

bool TreeSelection::addAll(std::vector<TreeNode *> nodes, bool inTreeOrder)
{
    bool changed = false;
    for (TreeNode *n : nodes) {
        changed = changed || !n->m_selected;
        add(n);
    }
    if (changed && inTreeOrder && count() == int(nodes.size())) {
        // Already in order: no need to sort a large selection.
        m_order = std::move(nodes);
        m_orderDirty = false;
    }
    return changed;
}

void TreeSelection::sort() const
{
    if (!m_orderDirty)
        return;
    m_order.assign(m_nodes.begin(), m_nodes.end());
    std::sort(m_order.begin(), m_order.end(), treeLess);
    m_orderDirty = false;
}

TreeNode *TreeSelection::first() const
{
    sort();
    return m_order.empty() ? nullptr : m_order.front();
}

TreeNode *TreeSelection::next(const TreeNode *node) const
{
    if (!node)
        return nullptr;
    sort();
    auto it = std::upper_bound(m_order.begin(), m_order.end(), node, treeLess);
    return it == m_order.end() ? nullptr : *it;
}

std::vector<TreeNode *> TreeSelection::nodes() const
{
    sort();
    return m_order;
}
