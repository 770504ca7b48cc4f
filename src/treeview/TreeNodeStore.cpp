// SPDX-License-Identifier: GPL-3.0-or-later
#include "treeview/TreeNodeStore.h"

TreeNodeStore::TreeNodeStore() : m_root(std::make_unique<TreeNode>())
{
    m_root->m_expanded = true;
}

TreeNodeStore::~TreeNodeStore()
{
    std::vector<TreeNode *> stack(m_root->m_children.begin(), m_root->m_children.end());
    while (!stack.empty()) {
        TreeNode *n = stack.back();
        stack.pop_back();
        stack.insert(stack.end(), n->m_children.begin(), n->m_children.end());
        delete n;
    }
}

TreeNode *TreeNodeStore::addChild(TreeNode *parent)
{
    TreeNode *owner = parent ? parent : m_root.get();
    auto *node = new TreeNode;
    node->m_parent = owner;
    node->m_index = int(owner->m_children.size());
    node->m_serial = m_nextSerial++;
    owner->m_children.push_back(node);
    m_live.insert(node);
    return node;
}

void TreeNodeStore::destroy(TreeNode *node, const std::function<void(TreeNode *)> &farewell)
{
    m_live.remove(node);
    farewell(node);
    delete node;
}

bool TreeNodeStore::isAlive(const TreeNode *node, uint64_t serial) const
{
    return node && m_live.contains(node) && node->m_serial == serial;
}

TreeNode *TreeNodeStore::nextNode(const TreeNode *node) const
{
    if (!node)
        return nullptr;
    if (!node->m_children.empty())
        return node->m_children.front();
    for (const TreeNode *n = node; n && n != m_root.get(); n = n->m_parent)
        if (TreeNode *s = n->nextSibling())
            return s;
    return nullptr;
}

bool TreeNodeStore::isInSubtree(const TreeNode *node, const TreeNode *top)
{
    for (const TreeNode *n = node; n; n = n->m_parent)
        if (n == top)
            return true;
    return false;
}
