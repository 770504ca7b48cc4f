#pragma once
#include "tree/KvVirtualTree.h"

// An update bracket that closes however the scope is left.
class KvTreeUpdate {
public:
    explicit KvTreeUpdate(KvVirtualTree &tree) : FTree(tree) { FTree.beginUpdate(); }
    ~KvTreeUpdate() { FTree.endUpdate(); }
    KvTreeUpdate(const KvTreeUpdate &) = delete;
    KvTreeUpdate &operator=(const KvTreeUpdate &) = delete;

private:
    KvVirtualTree &FTree;
};
