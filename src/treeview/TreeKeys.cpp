// SPDX-License-Identifier: GPL-3.0-or-later
#include "treeview/TreeKeys.h"
#include "treeview/MemoTreeDelegate.h"
#include "treeview/TreeFocus.h"
#include "treeview/TreeInputHost.h"
#include "treeview/TreeNavigation.h"
#include "treeview/TreeRows.h"
#include "treeview/TreeUpdateGuard.h"
#include <QKeyEvent>

void TreeKeys::press(QKeyEvent *event)
{
    m_host.delegate()->keyPressed(event);
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    const bool keypad = event->modifiers() & Qt::KeypadModifier;
    m_rows.ensureLayout();
    TreeNode *focused = m_focus.focused();
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
        if (focused && focused->isExpanded() && focused->childCount() > 0)
            m_host.setExpanded(focused, false);
        else if (focused && focused->parent())
            moveTo(focused->parent());
        break;
    case Qt::Key_Right:
        if (focused && focused->childCount() > 0) {
            if (!focused->isExpanded()) {
                m_host.setExpanded(focused, true);
            } else {
                const int row = m_rows.rowOf(focused);
                TreeNode *next = row >= 0 ? m_rows.node(row + 1) : nullptr;
                if (next && next->parent() == focused)
                    moveTo(next);
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
                m_host.setExpanded(focused, true);
            else if (event->key() == Qt::Key_Minus)
                m_host.setExpanded(focused, false);
            else
                expandSubtree(focused);
        }
        break;
    case Qt::Key_Space:
    case Qt::Key_A:
    case Qt::Key_F2: {
        // Ctrl+Space, Ctrl+A and a plain F2; with other modifiers the key is the owner's.
        if (mods != (event->key() == Qt::Key_F2 ? Qt::NoModifier : Qt::ControlModifier)) {
            event->ignore();
            return;
        }
        if (event->key() == Qt::Key_A)
            m_focus.selectAll(m_rows);
        else if (focused && event->key() == Qt::Key_Space)
            m_focus.toggle(focused);
        else if (focused)
            m_host.editNode(focused);
        break;
    }
    default:
        // Enter, Delete, copying and the like belong to the owner, who saw them first.
        event->ignore();
        return;
    }
    event->accept();
}

void TreeKeys::expandSubtree(TreeNode *node)
{
    const TreeUpdateGuard update(m_host);
    std::vector<TreeNode *> stack{node};
    while (!stack.empty()) {
        TreeNode *n = stack.back();
        stack.pop_back();
        if (n->childCount() > 0)
            m_host.setExpanded(n, true);
        for (int i = 0; i < n->childCount(); ++i)
            stack.push_back(n->child(i));
    }
}

void TreeKeys::moveTo(TreeNode *node)
{
    m_focus.selectOnly(node);
    m_focus.setFocused(node);
    m_rows.scrollTo(node);
}

void TreeKeys::navigate(int key, Qt::KeyboardModifiers mods)
{
    const TreeLayout &rows = m_rows.scroller().layout();
    const int current = rows.rowOf(m_focus.focused());
    int target = TreeNavigation::target(m_rows.scroller(), current, key);
    if (target < 0)
        return;
    TreeNode *anchor = nullptr;
    if ((mods & Qt::ShiftModifier) && current >= 0) {
        anchor = m_focus.anchor() && rows.rowOf(m_focus.anchor()) >= 0 ? m_focus.anchor() : m_focus.focused();
        target = TreeNavigation::extendTarget(m_rows.scroller(), anchor, current, target, key);
        if (target < 0)
            return;
    }
    TreeNode *node = rows.node(target);
    if (anchor) {
        m_focus.selectRange(anchor, node, false);
        m_focus.setAnchor(anchor);
    } else if (!(mods & Qt::ControlModifier)) {
        m_focus.selectOnly(node);
    }
    m_focus.setFocused(node);
    m_rows.scrollTo(node);
}
