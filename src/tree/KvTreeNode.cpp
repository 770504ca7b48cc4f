#include "tree/KvTreeNode.h"

KvTreeNode *KvTreeNode::parent() const
{
    // The hidden root is the only node without a parent; it is never handed out.
    return FParent && FParent->FParent ? FParent : nullptr;
}

int KvTreeNode::level() const
{
    int result = 0;
    for (const KvTreeNode *p = FParent; p && p->FParent; p = p->FParent)
        ++result;
    return result;
}

KvTreeNode *KvTreeNode::nextSibling() const
{
    if (!FParent)
        return nullptr;
    const size_t next = size_t(FIndex) + 1;
    return next < FParent->FChildren.size() ? FParent->FChildren[next] : nullptr;
}

KvTreeNode *KvTreeNode::previousSibling() const
{
    if (!FParent || FIndex == 0)
        return nullptr;
    return FParent->FChildren[size_t(FIndex) - 1];
}
