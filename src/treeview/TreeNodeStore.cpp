// SPDX-License-Identifier: GPL-3.0-or-later
#include "treeview/TreeNodeStore.h"
#include <algorithm>

TreeNodeStore::TreeNodeStore(NodeFactory makeNode)
    : m_makeNode(makeNode ? std::move(makeNode) : [] { return new TreeNode; }), m_root(std::make_unique<TreeNode>())
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
    TreeNode *node = m_makeNode();
    node->m_parent = owner;
    node->m_index = int(owner->m_children.size());
    node->m_serial = m_nextSerial++;
    owner->m_children.push_back(node);
    m_live.insert(node);
    return node;
}

void TreeNodeStore::renumber(TreeNode *parent, size_t from)
{
    for (size_t i = from; i < parent->m_children.size(); ++i)
        parent->m_children[i]->m_index = int(i);
}

std::vector<TreeNode *> TreeNodeStore::detach(const std::unordered_set<TreeNode *> &nodes)
{
    // Only subtree tops are detached; a node below another one goes with it.
    std::vector<TreeNode *> tops;
    std::unordered_set<TreeNode *> parents;
    for (TreeNode *n : nodes) {
        bool covered = false;
        for (TreeNode *p = n->m_parent; p && !covered; p = p->m_parent)
            covered = nodes.count(p) > 0;
        if (!covered) {
            tops.push_back(n);
            parents.insert(n->m_parent);
        }
    }
    for (TreeNode *p : parents) {
        auto &kids = p->m_children;
        kids.erase(std::remove_if(kids.begin(), kids.end(), [&](TreeNode *c) { return nodes.count(c) > 0; }),
                   kids.end());
        renumber(p);
    }
    return tops;
}

void TreeNodeStore::destroy(TreeNode *top, const Farewell &farewell)
{
    std::vector<std::pair<TreeNode *, size_t>> stack{{top, 0}};
    while (!stack.empty()) {
        auto &[n, next] = stack.back();
        if (next < n->m_children.size()) {
            TreeNode *c = n->m_children[next++];
            stack.emplace_back(c, 0);
            continue;
        }
        TreeNode *done = n;
        stack.pop_back();
        done->m_children.clear();
        m_live.remove(done);
        farewell(done);
        delete done;
    }
}

TreeNodeStore::Moved TreeNodeStore::move(TreeNode *node, TreeNode *parent, bool first)
{
    TreeNode *from = node->m_parent;
    const int oldLevel = node->level();
    from->m_children.erase(from->m_children.begin() + node->m_index);
    renumber(from, size_t(node->m_index));
    node->m_parent = parent;
    if (first) {
        parent->m_children.insert(parent->m_children.begin(), node);
        renumber(parent);
    } else {
        node->m_index = int(parent->m_children.size());
        parent->m_children.push_back(node);
    }
    Moved moved;
    moved.parents = {from, parent};
    if (node->level() != oldLevel)
        moved.relevelled.push_back(node);
    moved.selected = node->m_selected;
    return moved;
}

TreeNodeStore::Moved TreeNodeStore::place(const std::vector<Placement> &placements)
{
    std::vector<Placement> valid;
    std::unordered_set<TreeNode *> moving;
    for (const Placement &p : placements) {
        TreeNode *dest = p.parent ? p.parent : root();
        if (contains(p.node) && (!p.parent || contains(p.parent)) && !isInSubtree(dest, p.node)
            && moving.insert(p.node).second)
            valid.push_back({p.node, dest, p.index});
    }
    Moved moved;
    if (valid.empty())
        return moved;
    std::unordered_set<TreeNode *> touched;
    std::vector<std::pair<TreeNode *, int>> levels; // each node's level before the move
    for (const Placement &p : valid) {
        touched.insert(p.node->m_parent);
        touched.insert(p.parent);
        levels.emplace_back(p.node, p.node->level());
    }
    for (TreeNode *parent : touched) {
        auto &kids = parent->m_children;
        kids.erase(std::remove_if(kids.begin(), kids.end(), [&](TreeNode *c) { return moving.count(c) > 0; }),
                   kids.end());
    }
    // Ascending indexes per parent, merged into the children that stayed.
    std::stable_sort(valid.begin(), valid.end(), [](const Placement &a, const Placement &b) {
        return a.parent != b.parent ? std::less<TreeNode *>()(a.parent, b.parent) : a.index < b.index;
    });
    for (auto group = valid.begin(); group != valid.end();) {
        TreeNode *dest = group->parent;
        const auto end = std::find_if(group, valid.end(), [dest](const Placement &p) { return p.parent != dest; });
        std::vector<TreeNode *> merged;
        merged.reserve(dest->m_children.size() + size_t(end - group));
        auto stayed = dest->m_children.begin();
        for (auto p = group; p != end;) {
            if (p->index <= int(merged.size()) || stayed == dest->m_children.end())
                merged.push_back((p++)->node);
            else
                merged.push_back(*stayed++);
        }
        merged.insert(merged.end(), stayed, dest->m_children.end());
        dest->m_children = std::move(merged);
        for (TreeNode *node : dest->m_children)
            node->m_parent = dest;
        group = end;
    }
    for (TreeNode *parent : touched)
        renumber(parent);
    moved.parents.assign(touched.begin(), touched.end());
    for (const auto &[node, level] : levels) {
        moved.selected = moved.selected || node->m_selected;
        if (node->level() != level)
            moved.relevelled.push_back(node);
    }
    return moved;
}

void TreeNodeStore::sort(const std::function<bool(TreeNode *, TreeNode *)> &less)
{
    std::vector<TreeNode *> stack{root()};
    while (!stack.empty()) {
        TreeNode *n = stack.back();
        stack.pop_back();
        std::stable_sort(n->m_children.begin(), n->m_children.end(), less);
        for (size_t i = 0; i < n->m_children.size(); ++i) {
            n->m_children[i]->m_index = int(i);
            if (!n->m_children[i]->m_children.empty())
                stack.push_back(n->m_children[i]);
        }
    }
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
