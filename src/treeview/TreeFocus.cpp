// SPDX-License-Identifier: GPL-3.0-or-later
#include "treeview/TreeFocus.h"
#include "treeview/TreeNodeStore.h"
#include "treeview/TreeRows.h"
#include <utility>

void TreeFocus::setFocused(TreeNode *node)
{
    if (m_focused != node)
        emit focusMoved(std::exchange(m_focused, node), node);
}

void TreeFocus::selectOnly(TreeNode *node)
{
    m_anchor = node;
    if (m_selection.selectOnly(node))
        emit selectionChanged(node);
}

void TreeFocus::toggle(TreeNode *node)
{
    m_anchor = node;
    m_selection.toggle(node);
    emit selectionChanged(node);
}

void TreeFocus::selectRange(TreeNode *from, TreeNode *to, bool keep)
{
    if (m_selection.selectRange(from, to, keep))
        emit selectionChanged(to);
    else
        selectOnly(to);
}

void TreeFocus::setSelected(TreeNode *node, bool selected)
{
    if (!node || node->isSelected() == selected)
        return;
    if (selected) {
        if (!m_selection.admits(node))
            m_selection.clear();
        m_selection.add(node);
        m_anchor = node;
    } else {
        m_selection.remove(node);
    }
    emit selectionChanged(node);
}

void TreeFocus::clear()
{
    if (m_selection.clear())
        emit selectionChanged(nullptr);
}

void TreeFocus::selectNodes(const std::vector<TreeNode *> &nodes)
{
    const bool changed = m_selection.clear();
    for (TreeNode *n : nodes)
        if (n && m_nodes.contains(n) && m_selection.admits(n))
            m_selection.add(n);
    if (!m_selection.isEmpty())
        m_anchor = m_selection.first();
    if (changed || !m_selection.isEmpty())
        emit selectionChanged(m_selection.first());
}

void TreeFocus::selectAll(const TreeRows &rows)
{
    std::vector<TreeNode *> shown = rows.shownNodes();
    if (m_selection.addAll(std::move(shown), rows.isLaidOut()))
        emit selectionChanged(m_focused && m_focused->isSelected() ? m_focused : m_selection.first());
}

bool TreeFocus::deselectSubtree(TreeNode *top, bool withTop)
{
    return m_selection.removeSubtree(top, withTop);
}

void TreeFocus::forget(TreeNode *node)
{
    m_selection.remove(node);
    for (TreeNode **p : {&m_focused, &m_anchor})
        if (*p == node)
            *p = nullptr;
}
