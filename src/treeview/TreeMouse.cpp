// SPDX-License-Identifier: GPL-3.0-or-later
#include "treeview/TreeMouse.h"
#include "treeview/MemoTreeDelegate.h"
#include "treeview/TreeFocus.h"
#include "treeview/TreeInputHost.h"
#include "treeview/TreeNodeStore.h"
#include "treeview/TreeRows.h"
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <utility>

TreeMouse::TreeMouse(TreeRows &rows, TreeFocus &focus, TreeInputHost &host) : m_rows(rows), m_focus(focus), m_host(host)
{
    m_clickEditTimer.setSingleShot(true);
    connect(&m_clickEditTimer, &QTimer::timeout, this, [this] {
        if (m_rows.nodes().isAlive(m_clickEditNode, m_clickEditSerial) && m_clickEditNode->isSelected() && !m_host.isEditing())
            m_host.editNode(m_clickEditNode);
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
    if (node != m_hot)
        emit hotChanged(std::exchange(m_hot, node), node);
}

void TreeMouse::updateHotFromCursor()
{
    const QWidget *viewport = m_rows.viewport();
    if (viewport->underMouse())
        setHot(m_rows.nodeAt(viewport->mapFromGlobal(QCursor::pos())));
}

void TreeMouse::press(QMouseEvent *event)
{
    // Taking focus commits an open editor before the click does anything else.
    m_host.takeFocus();
    const QPoint pos = event->position().toPoint();
    TreeNode *node = m_rows.nodeAt(pos);
    m_pressPos = pos;
    m_pressNode = nullptr;
    m_deferredSelect = nullptr;
    const Qt::KeyboardModifiers mods = event->modifiers();

    m_clickEditTimer.stop();
    m_clickEditNode = nullptr;
    if (event->button() == Qt::LeftButton) {
        if (!node) {
            m_focus.clear();
            return;
        }
        if (mods == Qt::NoModifier && node == m_focus.focused() && node->isSelected() && m_focus.selection().count() == 1) {
            m_clickEditNode = node;
            m_clickEditSerial = node->serial();
        }
        if (node->childCount() > 0 && m_host.isOnExpandButton(node, pos)) {
            m_host.setExpanded(node, !node->isExpanded());
            return;
        }
        m_pressNode = node;
        if (mods & Qt::ShiftModifier) {
            // Ctrl+Shift adds the range; a range that cannot be anchors anew at the node.
            m_focus.selectRange(m_focus.anchor() ? m_focus.anchor() : m_focus.focused(), node, mods & Qt::ControlModifier);
        } else if (mods & Qt::ControlModifier) {
            m_focus.toggle(node);
        } else if (node->isSelected() && m_focus.selection().count() > 1) {
            m_deferredSelect = node; // may be the start of dragging the whole selection
            m_focus.setAnchor(node);
        } else {
            m_focus.selectOnly(node);
        }
        m_focus.setFocused(node);
    } else if (event->button() == Qt::RightButton && node) {
        if (!node->isSelected())
            m_focus.selectOnly(node);
        m_focus.setFocused(node);
    }
}

void TreeMouse::release(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && m_deferredSelect)
        m_focus.selectOnly(std::exchange(m_deferredSelect, nullptr));
    // Released where it was pressed, without a drag: wait whether a double click follows.
    if (m_clickEditNode && m_pressNode == m_clickEditNode && m_rows.nodeAt(event->position().toPoint()) == m_clickEditNode)
        m_clickEditTimer.start(QApplication::doubleClickInterval() + 50);
    else
        m_clickEditNode = nullptr;
    m_pressNode = nullptr;
}

void TreeMouse::move(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    emit moved(pos);
    setHot(m_rows.nodeAt(pos));
    if ((event->buttons() & Qt::LeftButton) && m_pressNode &&
        (pos - m_pressPos).manhattanLength() >= QApplication::startDragDistance()) {
        TreeNode *node = std::exchange(m_pressNode, nullptr);
        m_deferredSelect = nullptr;
        if (m_host.delegate()->canDrag(node) && m_rows.nodes().contains(node))
            m_host.startDrag(node);
    }
}

void TreeMouse::doubleClick()
{
    m_clickEditTimer.stop();
    m_clickEditNode = nullptr;
    // No expansion toggle: the owner decides what a double click means.
    emit doubleClicked();
}

void TreeMouse::contextMenu(QContextMenuEvent *event)
{
    TreeNode *node = nullptr;
    QPoint globalPos = event->globalPos();
    if (event->reason() == QContextMenuEvent::Keyboard) {
        node = m_focus.focused();
        const QRect r = m_rows.rect(node);
        if (!r.isEmpty())
            globalPos = m_rows.viewport()->mapToGlobal(QPoint(r.left() + 20, r.top() + std::min(r.height(), 20)));
    } else {
        node = m_rows.nodeAt(event->pos());
    }
    QPointer<QMenu> menu = m_host.delegate()->contextMenu(node);
    if (menu)
        menu->exec(globalPos);
    event->accept();
}
