#pragma once
#include "store/MemoInfo.h"
#include <cstdint>
#include <vector>

class KvVirtualTree;

// A node of KvVirtualTree. The tree creates, owns and deletes nodes; callers hold plain
// pointers that stay valid until the node is deleted (see KvVirtualTree::isAlive).
class KvTreeNode {
public:
    TMemoInfo data; // the record the node carries; the tree never interprets it

    // nullptr for a top-level node: the hidden root is never handed out. Inline, as the
    // filter and the walks over 100,000 nodes ask it for every node.
    KvTreeNode *parent() const { return FParent && FParent->FParent ? FParent : nullptr; }
    int index() const { return FIndex; } // position among its siblings, from 0
    int level() const // 0 for top-level nodes
    {
        int result = 0;
        for (const KvTreeNode *p = FParent; p && p->FParent; p = p->FParent)
            ++result;
        return result;
    }
    int childCount() const { return int(FChildren.size()); }
    KvTreeNode *child(int i) const { return FChildren[size_t(i)]; }
    KvTreeNode *firstChild() const { return FChildren.empty() ? nullptr : FChildren.front(); }
    KvTreeNode *lastChild() const { return FChildren.empty() ? nullptr : FChildren.back(); }
    KvTreeNode *nextSibling() const;
    KvTreeNode *previousSibling() const;
    bool isExpanded() const { return FExpanded; }
    bool isVisible() const { return FVisible; } // own flag; a hidden ancestor hides it too
    bool isSelected() const { return FSelected; }
    bool isMultiline() const { return FMultiline; }
    int verticalAlignment() const { return FVerticalAlignment; }
    uint64_t serial() const { return FSerial; } // unique for the tree's lifetime, never reused

private:
    friend class KvVirtualTree;
    friend class KvTreeLayout;
    KvTreeNode *FParent = nullptr; // the tree's hidden root for top-level nodes
    std::vector<KvTreeNode *> FChildren;
    int FIndex = 0;
    uint64_t FSerial = 0;
    int FHeight = 0; // cached measured height; 0 = not measured
    bool FExpanded = false;
    bool FVisible = true;
    bool FSelected = false;
    bool FMultiline = false;
    int FVerticalAlignment = 50;
    int FRow = -1; // row in the tree's current layout; -1 when not laid out
};
