#pragma once
#include <cstddef>
#include <vector>

class KvTreeNode;

// The rows the tree shows, top to bottom, with a Fenwick tree over their heights so that
// pixel offset <-> row lookups and a single height change cost O(log n) however many rows
// there are. Rows not measured yet carry an estimate.
class KvTreeLayout {
public:
    // Lays out every node under root that is shown: itself and its ancestors visible, its
    // ancestors expanded. O(n).
    void rebuild(KvTreeNode *root, int estimate);
    void clear();

    int count() const { return int(FRows.size()); }
    KvTreeNode *node(int row) const { return FRows[std::size_t(row)]; } // nullptr for a forgotten row
    int rowOf(const KvTreeNode *node) const;                        // -1 when not laid out
    int height(int row) const { return FHeights[std::size_t(row)]; }
    int offset(int row) const; // top of row; offset(count()) is the total height
    int total() const { return offset(count()); }
    int rowAt(int y) const;    // row containing pixel y, -1 above or below all rows
    void setHeight(int row, int height);
    // A deleted node keeps its row (so offsets hold until the next rebuild) but shows nothing.
    void forget(KvTreeNode *node);

private:
    void buildSums();

    std::vector<KvTreeNode *> FRows;
    std::vector<int> FHeights;
    std::vector<int> FSums; // Fenwick tree, 1-based
    int FTopBit = 0;        // highest power of two <= count(), for the descent in rowAt
};
