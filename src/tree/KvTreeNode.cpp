#include "tree/KvTreeNode.h"

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
