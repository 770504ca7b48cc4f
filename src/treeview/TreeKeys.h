// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <Qt>

class QKeyEvent;
class TreeFocus;
class TreeInputHost;
class TreeNode;
class TreeRows;

// What the keyboard does to a tree once its delegate has seen the key: arrows, pages, Home
// and End move the focus (Shift extends among siblings, Ctrl leaves the selection), Left and
// Right and the keypad's + - * fold, Ctrl+Space toggles, Ctrl+A selects every row, F2 edits.
// Other keys are left to the owner.
class TreeKeys {
public:
    TreeKeys(TreeRows &rows, TreeFocus &focus, TreeInputHost &host) : m_rows(rows), m_focus(focus), m_host(host) {}
    void press(QKeyEvent *event);

private:
    void navigate(int key, Qt::KeyboardModifiers modifiers);
    void expandSubtree(TreeNode *node);
    void moveTo(TreeNode *node); // selects it alone, focused and in view

    TreeRows &m_rows;
    TreeFocus &m_focus;
    TreeInputHost &m_host;
};
