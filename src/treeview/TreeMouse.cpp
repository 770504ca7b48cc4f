// SPDX-License-Identifier: GPL-3.0-or-later
#include "treeview/TreeMouse.h"
#include "treeview/MemoTree.h"
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>

TreeMouse::TreeMouse(MemoTree &tree) : m_tree(tree)
{
    m_clickEditTimer.setSingleShot(true);
    QObject::connect(&m_clickEditTimer, &QTimer::timeout, &m_clickEditTimer, [this] {
        if (m_tree.isAlive(m_clickEditNode, m_clickEditSerial) && m_clickEditNode->isSelected() && !m_tree.isEditing())
            m_tree.editNode(m_clickEditNode);
        m_clickEditNode = nullptr;
    });
}

void TreeMouse::forget(TreeNode *node)
{
    for (TreeNode **p : {&m_hot, &m_pressNode, &m_deferredSelect})
        if (*p == node)
            *p = nullptr;
}

void TreeMouse::setHot(TreeNode *node)
{
    if (node == m_hot)
        return;
    TreeNode *old = m_hot;
    m_hot = node;
    if (old)
        m_tree.repaintNode(old);
    if (node)
        m_tree.repaintNode(node);
    emit m_tree.hoveredNodeChanged(old, node);
}

void TreeMouse::updateHotFromCursor()
{
    QWidget *viewport = m_tree.viewport();
    if (viewport->underMouse())
        setHot(m_tree.nodeAt(viewport->mapFromGlobal(QCursor::pos())));
}

void TreeMouse::press(QMouseEvent *event)
{
    MemoTree &t = m_tree;
    // Taking focus commits an open editor before the click does anything else.
    if (!t.hasFocus())
        t.setFocus(Qt::MouseFocusReason);
    const QPoint pos = event->position().toPoint();
    TreeNode *node = t.nodeAt(pos);
    m_pressPos = pos;
    m_pressNode = nullptr;
    m_deferredSelect = nullptr;
    const Qt::KeyboardModifiers mods = event->modifiers();

    m_clickEditTimer.stop();
    m_clickEditNode = nullptr;
    if (event->button() == Qt::LeftButton) {
        if (!node) {
            t.clearSelection();
            return;
        }
        if (mods == Qt::NoModifier && node == t.m_focused && node->isSelected() && t.selectedCount() == 1) {
            m_clickEditNode = node;
            m_clickEditSerial = node->serial();
        }
        if (node->childCount() > 0 && t.m_painter.parts(node, t.nodeRect(node)).button.contains(pos)) {
            t.setExpanded(node, !node->isExpanded());
            return;
        }
        m_pressNode = node;
        if (mods & Qt::ShiftModifier) {
            TreeNode *anchor = t.m_anchor ? t.m_anchor : t.m_focused;
            t.selectRange(anchor, node, mods & Qt::ControlModifier); // Ctrl+Shift adds the range
            if (!anchor || anchor->parent() != node->parent())
                t.m_anchor = node;
        } else if (mods & Qt::ControlModifier) {
            t.toggleSelected(node);
            t.m_anchor = node;
        } else if (node->isSelected() && t.selectedCount() > 1) {
            m_deferredSelect = node; // may be the start of dragging the whole selection
            t.m_anchor = node;
        } else {
            t.selectOnly(node);
            t.m_anchor = node;
        }
        t.setFocusedQuietly(node);
    } else if (event->button() == Qt::RightButton) {
        if (node) {
            if (!node->isSelected()) {
                t.selectOnly(node);
                t.m_anchor = node;
            }
            t.setFocusedQuietly(node);
        }
    }
}

void TreeMouse::release(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && m_deferredSelect) {
        TreeNode *node = m_deferredSelect;
        m_deferredSelect = nullptr;
        m_tree.selectOnly(node);
    }
    // Released where it was pressed, without a drag: wait whether a double click follows.
    if (m_clickEditNode && m_pressNode == m_clickEditNode && m_tree.nodeAt(event->position().toPoint()) == m_clickEditNode)
        m_clickEditTimer.start(QApplication::doubleClickInterval() + 50);
    else
        m_clickEditNode = nullptr;
    m_pressNode = nullptr;
}

void TreeMouse::move(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    emit m_tree.mouseMoved(pos);
    setHot(m_tree.nodeAt(pos));
    if ((event->buttons() & Qt::LeftButton) && m_pressNode &&
        (pos - m_pressPos).manhattanLength() >= QApplication::startDragDistance()) {
        TreeNode *node = m_pressNode;
        m_pressNode = nullptr;
        m_deferredSelect = nullptr;
        if (m_tree.m_delegate->canDrag(node) && m_tree.m_nodes.contains(node))
            m_tree.m_dragDrop.start(node);
    }
}

void TreeMouse::doubleClick()
{
    m_clickEditTimer.stop();
    m_clickEditNode = nullptr;
    // No expansion toggle: the owner decides what a double click means.
    emit m_tree.doubleClicked();
}

void TreeMouse::contextMenu(QContextMenuEvent *event)
{
    TreeNode *node = nullptr;
    QPoint globalPos = event->globalPos();
    if (event->reason() == QContextMenuEvent::Keyboard) {
        node = m_tree.m_focused;
        const QRect r = m_tree.nodeRect(node);
        if (!r.isEmpty())
            globalPos = m_tree.viewport()->mapToGlobal(QPoint(r.left() + 20, r.top() + std::min(r.height(), 20)));
    } else {
        node = m_tree.nodeAt(event->pos());
    }
    QPointer<QMenu> menu = m_tree.m_delegate->contextMenu(node);
    if (menu)
        menu->exec(globalPos);
    event->accept();
}
