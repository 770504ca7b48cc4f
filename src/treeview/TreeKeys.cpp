// SPDX-License-Identifier: GPL-3.0-or-later
#include "treeview/TreeKeys.h"
#include "treeview/MemoTree.h"
#include "treeview/TreeNavigation.h"
#include "treeview/TreeUpdateGuard.h"
#include <QKeyEvent>

void TreeKeys::press(QKeyEvent *event)
{
    MemoTree &t = m_tree;
    t.m_delegate->keyPressed(event);
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    const bool keypad = event->modifiers() & Qt::KeypadModifier;
    t.ensureLayout();
    TreeNode *focused = t.m_focused;
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        navigate(event->key(), mods);
        break;
    case Qt::Key_Left:
        if (focused && focused->isExpanded() && focused->childCount() > 0) {
            t.setExpanded(focused, false);
        } else if (focused && focused->parent()) {
            TreeNode *p = focused->parent();
            t.selectOnly(p);
            t.m_anchor = p;
            t.setFocusedNode(p);
        }
        break;
    case Qt::Key_Right:
        if (focused && focused->childCount() > 0) {
            if (!focused->isExpanded()) {
                t.setExpanded(focused, true);
            } else {
                t.ensureLayout();
                const int row = t.rowOfNode(focused);
                TreeNode *next = row >= 0 ? t.nodeAtRow(row + 1) : nullptr;
                if (next && next->parent() == focused) {
                    t.selectOnly(next);
                    t.setFocusedNode(next);
                }
            }
        }
        break;
    case Qt::Key_Plus:
    case Qt::Key_Minus:
    case Qt::Key_Asterisk:
        if (!keypad) {
            event->ignore();
            return;
        }
        if (focused) {
            if (event->key() == Qt::Key_Plus)
                t.setExpanded(focused, true);
            else if (event->key() == Qt::Key_Minus)
                t.setExpanded(focused, false);
            else
                expandSubtree(focused);
        }
        break;
    case Qt::Key_Space:
        if (mods != Qt::ControlModifier) {
            event->ignore();
            return;
        }
        if (focused) {
            t.toggleSelected(focused);
            t.m_anchor = t.m_focused;
        }
        break;
    case Qt::Key_A:
        if (mods != Qt::ControlModifier) {
            event->ignore();
            return;
        }
        t.selectAllVisible();
        break;
    case Qt::Key_F2:
        if (mods != Qt::NoModifier) {
            event->ignore();
            return;
        }
        if (focused)
            t.editNode(focused);
        break;
    default:
        // Enter, Delete, copying and the like belong to the owner, who saw them first.
        event->ignore();
        return;
    }
    event->accept();
}

void TreeKeys::expandSubtree(TreeNode *node)
{
    const TreeUpdateGuard update(m_tree);
    std::vector<TreeNode *> stack{node};
    while (!stack.empty()) {
        TreeNode *n = stack.back();
        stack.pop_back();
        if (n->childCount() > 0)
            m_tree.setExpanded(n, true);
        for (int i = 0; i < n->childCount(); ++i)
            stack.push_back(n->child(i));
    }
}

void TreeKeys::navigate(int key, Qt::KeyboardModifiers mods)
{
    MemoTree &t = m_tree;
    const TreeLayout &rows = t.m_scroller.layout();
    const int current = rows.rowOf(t.m_focused);
    int target = TreeNavigation::target(t.m_scroller, current, key);
    if (target < 0)
        return;
    TreeNode *anchor = nullptr;
    if ((mods & Qt::ShiftModifier) && current >= 0) {
        anchor = t.m_anchor && rows.rowOf(t.m_anchor) >= 0 ? t.m_anchor : t.m_focused;
        target = TreeNavigation::extendTarget(t.m_scroller, anchor, current, target, key);
        if (target < 0)
            return;
    }
    TreeNode *node = rows.node(target);
    if (anchor) {
        t.selectRange(anchor, node, false);
        t.m_anchor = anchor;
    } else if (!(mods & Qt::ControlModifier)) {
        t.selectOnly(node);
        t.m_anchor = node;
    }
    t.setFocusedQuietly(node);
    t.scrollIntoView(node);
}
