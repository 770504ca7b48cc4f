// SPDX-License-Identifier: GPL-3.0-or-later
#include "treeview/TreeLayout.h"
#include "treeview/TreeNode.h"

void TreeLayout::clear()
{
    for (TreeNode *n : m_rows)
        if (n)
            n->m_row = -1;
    m_rows.clear();
    m_heights.clear();
    m_sums.clear();
    m_topBit = 0;
}

void TreeLayout::rebuild(TreeNode *root, int estimate)
{
    const size_t previous = m_rows.size();
    clear();
    m_rows.reserve(previous);
    m_heights.reserve(previous);

    // Iterative walk: the tree is shallow, but a stack keeps it safe for any depth.
    std::vector<std::pair<TreeNode *, size_t>> stack;
    stack.emplace_back(root, 0);
    while (!stack.empty()) {
        auto &[parent, next] = stack.back();
        if (next >= parent->m_children.size()) {
            stack.pop_back();
            continue;
        }
        TreeNode *n = parent->m_children[next++];
        if (!n->m_visible)
            continue;
        n->m_row = int(m_rows.size());
        m_rows.push_back(n);
        m_heights.push_back(n->m_height > 0 ? n->m_height : estimate);
        if (n->m_expanded && !n->m_children.empty())
            stack.emplace_back(n, 0);
    }
    buildSums();
}

void TreeLayout::buildSums()
{
    const size_t n = m_heights.size();
    m_sums.assign(n + 1, 0);
    for (size_t i = 1; i <= n; ++i) {
        m_sums[i] += m_heights[i - 1];
        const size_t up = i + (i & (~i + 1));
        if (up <= n)
            m_sums[up] += m_sums[i];
    }
    m_topBit = 1;
    while (size_t(m_topBit) * 2 <= n)
        m_topBit *= 2;
    if (n == 0)
        m_topBit = 0;
}

int TreeLayout::rowOf(const TreeNode *node) const
{
    if (!node || node->m_row < 0 || node->m_row >= count() || m_rows[size_t(node->m_row)] != node)
        return -1;
    return node->m_row;
}

int TreeLayout::offset(int row) const
{
    int sum = 0;
    for (int i = row; i > 0; i -= i & -i)
        sum += m_sums[size_t(i)];
    return sum;
}

int TreeLayout::rowAt(int y) const
{
    if (y < 0)
        return -1;
    // Fenwick descent: the number of rows whose bottoms lie at or above y.
    int pos = 0;
    int rest = y;
    for (int step = m_topBit; step > 0; step /= 2) {
        const int next = pos + step;
        if (next <= count() && m_sums[size_t(next)] <= rest) {
            pos = next;
            rest -= m_sums[size_t(next)];
        }
    }
    return pos < count() ? pos : -1;
}

void TreeLayout::setHeight(int row, int height)
{
    const int delta = height - m_heights[size_t(row)];
    if (delta == 0)
        return;
    m_heights[size_t(row)] = height;
    for (int i = row + 1; i <= count(); i += i & -i)
        m_sums[size_t(i)] += delta;
}

void TreeLayout::forget(TreeNode *node)
{
    const int row = rowOf(node);
    if (row >= 0)
        m_rows[size_t(row)] = nullptr;
    node->m_row = -1;
}

bool TreeLayout::measure(int row, const std::function<int(TreeNode *)> &measure)
{
    TreeNode *node = m_rows[std::size_t(row)];
    if (!node || node->m_height > 0)
        return false;
    node->m_height = measure(node);
    setHeight(row, node->m_height);
    return true;
}

void TreeLayout::forgetHeights(TreeNode *top)
{
    std::vector<TreeNode *> stack{top};
    while (!stack.empty()) {
        TreeNode *n = stack.back();
        stack.pop_back();
        n->m_height = 0;
        stack.insert(stack.end(), n->m_children.begin(), n->m_children.end());
    }
}
