// SPDX-License-Identifier: GPL-3.0-or-later
#include "treeview/TreeNode.h"

TreeNode *TreeNode::nextSibling() const
{
    if (!m_parent)
        return nullptr;
    const size_t next = size_t(m_index) + 1;
    return next < m_parent->m_children.size() ? m_parent->m_children[next] : nullptr;
}

TreeNode *TreeNode::previousSibling() const
{
    if (!m_parent || m_index == 0)
        return nullptr;
    return m_parent->m_children[size_t(m_index) - 1];
}
