// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstddef>
#include <functional>
#include <vector>

class TreeNode;

// The rows the tree shows, top to bottom, with a Fenwick tree over their heights so that
// pixel offset <-> row lookups and a single height change cost O(log n) however many rows
// there are. storedRows not measured yet carry an estimate.
class TreeLayout {
public:
    // Lays out every node under root that is shown: itself and its ancestors visible, its
    // ancestors expanded. O(n).
    void rebuild(TreeNode *root, int estimate);
    void clear();

    int count() const { return int(m_rows.size()); }
    TreeNode *node(int row) const { return m_rows[std::size_t(row)]; } // nullptr for a forgotten row
    int rowOf(const TreeNode *node) const;                        // -1 when not laid out
    int height(int row) const { return m_heights[std::size_t(row)]; }
    int offset(int row) const; // top of row; offset(count()) is the total height
    int total() const { return offset(count()); }
    int rowAt(int y) const;    // row containing pixel y, -1 above or below all rows
    void setHeight(int row, int height);
    // Measures the row's node unless it was measured already (false then, and for a
    // forgotten row); the node keeps its height for later layouts.
    bool measure(int row, const std::function<int(TreeNode *)> &measure);
    // The subtree's nodes, top included, are measured again when next needed.
    static void forgetHeights(TreeNode *top);
    // A deleted node keeps its row (so offsets hold until the next rebuild) but shows nothing.
    void forget(TreeNode *node);

private:
    void buildSums();

    std::vector<TreeNode *> m_rows;
    std::vector<int> m_heights;
    std::vector<int> m_sums; // Fenwick tree, 1-based
    int m_topBit = 0;        // highest power of two <= count(), for the descent in rowAt
};
