// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// An update bracket of a tree that closes however the scope is left.
template <class Tree>
class TreeUpdateGuard {
public:
    explicit TreeUpdateGuard(Tree &tree) : m_tree(tree) { m_tree.beginUpdate(); }
    ~TreeUpdateGuard() { m_tree.endUpdate(); }
    TreeUpdateGuard(const TreeUpdateGuard &) = delete;
    TreeUpdateGuard &operator=(const TreeUpdateGuard &) = delete;

private:
    Tree &m_tree;
};
