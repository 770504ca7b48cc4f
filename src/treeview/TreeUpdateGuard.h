// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "treeview/MemoTree.h"

// An update bracket that closes however the scope is left.
class TreeUpdateGuard {
public:
    explicit TreeUpdateGuard(MemoTree &tree) : m_tree(tree) { m_tree.beginUpdate(); }
    ~TreeUpdateGuard() { m_tree.endUpdate(); }
    TreeUpdateGuard(const TreeUpdateGuard &) = delete;
    TreeUpdateGuard &operator=(const TreeUpdateGuard &) = delete;

private:
    MemoTree &m_tree;
};
