// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <Qt>

class MemoTree;
class QKeyEvent;
class TreeNode;

// What the keyboard does to a tree once its delegate has seen the key: arrows, pages, Home
// and End move the focus (Shift extends among siblings, Ctrl leaves the selection), Left and
// Right and the keypad's + - * fold, Ctrl+Space toggles, Ctrl+A selects every row, F2 edits.
// Other keys are left to the owner.
class TreeKeys {
public:
    explicit TreeKeys(MemoTree &tree) : m_tree(tree) {}
    void press(QKeyEvent *event);

private:
    void navigate(int key, Qt::KeyboardModifiers modifiers);
    void expandSubtree(TreeNode *node);

    MemoTree &m_tree;
};
