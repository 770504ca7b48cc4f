#include "tree/KvTreeLayout.h"
#include "tree/KvTreeNode.h"

void KvTreeLayout::clear()
{
    for (KvTreeNode *n : FRows)
        if (n)
            n->FRow = -1;
    FRows.clear();
    FHeights.clear();
    FSums.clear();
    FTopBit = 0;
}

void KvTreeLayout::rebuild(KvTreeNode *root, int estimate)
{
    const size_t previous = FRows.size();
    clear();
    FRows.reserve(previous);
    FHeights.reserve(previous);

    // Iterative walk: the tree is shallow, but a stack keeps it safe for any depth.
    std::vector<std::pair<KvTreeNode *, size_t>> stack;
    stack.emplace_back(root, 0);
    while (!stack.empty()) {
        auto &[parent, next] = stack.back();
        if (next >= parent->FChildren.size()) {
            stack.pop_back();
            continue;
        }
        KvTreeNode *n = parent->FChildren[next++];
        if (!n->FVisible)
            continue;
        n->FRow = int(FRows.size());
        FRows.push_back(n);
        FHeights.push_back(n->FHeight > 0 ? n->FHeight : estimate);
        if (n->FExpanded && !n->FChildren.empty())
            stack.emplace_back(n, 0);
    }
    buildSums();
}

void KvTreeLayout::buildSums()
{
    const size_t n = FHeights.size();
    FSums.assign(n + 1, 0);
    for (size_t i = 1; i <= n; ++i) {
        FSums[i] += FHeights[i - 1];
        const size_t up = i + (i & (~i + 1));
        if (up <= n)
            FSums[up] += FSums[i];
    }
    FTopBit = 1;
    while (size_t(FTopBit) * 2 <= n)
        FTopBit *= 2;
    if (n == 0)
        FTopBit = 0;
}

int KvTreeLayout::rowOf(const KvTreeNode *node) const
{
    if (!node || node->FRow < 0 || node->FRow >= count() || FRows[size_t(node->FRow)] != node)
        return -1;
    return node->FRow;
}

int KvTreeLayout::offset(int row) const
{
    int sum = 0;
    for (int i = row; i > 0; i -= i & -i)
        sum += FSums[size_t(i)];
    return sum;
}

int KvTreeLayout::rowAt(int y) const
{
    if (y < 0)
        return -1;
    // Fenwick descent: the number of rows whose bottoms lie at or above y.
    int pos = 0;
    int rest = y;
    for (int step = FTopBit; step > 0; step /= 2) {
        const int next = pos + step;
        if (next <= count() && FSums[size_t(next)] <= rest) {
            pos = next;
            rest -= FSums[size_t(next)];
        }
    }
    return pos < count() ? pos : -1;
}

void KvTreeLayout::setHeight(int row, int height)
{
    const int delta = height - FHeights[size_t(row)];
    if (delta == 0)
        return;
    FHeights[size_t(row)] = height;
    for (int i = row + 1; i <= count(); i += i & -i)
        FSums[size_t(i)] += delta;
}

void KvTreeLayout::forget(KvTreeNode *node)
{
    const int row = rowOf(node);
    if (row >= 0)
        FRows[size_t(row)] = nullptr;
    node->FRow = -1;
}
