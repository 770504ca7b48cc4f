// SPDX-License-Identifier: GPL-3.0-or-later
#include "treeview/MemoTree.h"
#include "treeview/TreeNavigation.h"
#include <QApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QScrollBar>
#include <QTimer>
#include <QToolTip>

// --- hot node ----------------------------------------------------------------------------

void MemoTree::setHot(TreeNode *node)
{
    if (node == m_hot)
        return;
    TreeNode *old = m_hot;
    m_hot = node;
    if (old)
        repaintNode(old);
    if (node)
        repaintNode(node);
    emit hoveredNodeChanged(old, node);
}

void MemoTree::updateHotFromCursor()
{
    if (!viewport()->underMouse())
        return;
    setHot(nodeAt(viewport()->mapFromGlobal(QCursor::pos())));
}

bool MemoTree::viewportEvent(QEvent *event)
{
    switch (event->type()) {
    case QEvent::Leave:
        setHot(nullptr);
        break;
    case QEvent::ToolTip: {
        // The hint explains what a click on blank space does; rows have no tooltip.
        auto *help = static_cast<QHelpEvent *>(event);
        if (!nodeAt(help->pos()) && !m_hint.isEmpty())
            QToolTip::showText(help->globalPos(), m_hint, viewport());
        else
            QToolTip::hideText();
        return true;
    }
    default:
        break;
    }
    return QAbstractScrollArea::viewportEvent(event);
}

void MemoTree::leaveEvent(QEvent *event)
{
    setHot(nullptr);
    QAbstractScrollArea::leaveEvent(event);
}

// --- mouse -------------------------------------------------------------------------------

void MemoTree::mousePressEvent(QMouseEvent *event)
{
    // Taking focus commits an open editor before the click does anything else.
    if (!hasFocus())
        setFocus(Qt::MouseFocusReason);
    const QPoint pos = event->position().toPoint();
    TreeNode *node = nodeAt(pos);
    m_pressPos = pos;
    m_pressNode = nullptr;
    m_deferredSelect = nullptr;
    const Qt::KeyboardModifiers mods = event->modifiers();

    m_clickEditTimer->stop();
    m_clickEditNode = nullptr;
    if (event->button() == Qt::LeftButton) {
        if (!node) {
            clearSelection();
            return;
        }
        if (mods == Qt::NoModifier && node == m_focused && node->m_selected && m_selection.count() == 1) {
            m_clickEditNode = node;
            m_clickEditSerial = node->m_serial;
        }
        if (!node->m_children.empty() && m_painter.parts(node, nodeRect(node)).button.contains(pos)) {
            setExpanded(node, !node->m_expanded);
            return;
        }
        m_pressNode = node;
        if (mods & Qt::ShiftModifier) {
            TreeNode *anchor = m_anchor ? m_anchor : m_focused;
            selectRange(anchor, node, mods & Qt::ControlModifier); // Ctrl+Shift adds the range
            if (!anchor || anchor->m_parent != node->m_parent)
                m_anchor = node;
        } else if (mods & Qt::ControlModifier) {
            toggleSelected(node);
            m_anchor = node;
        } else if (node->m_selected && m_selection.count() > 1) {
            m_deferredSelect = node; // may be the start of dragging the whole selection
            m_anchor = node;
        } else {
            selectOnly(node);
            m_anchor = node;
        }
        setFocusedQuietly(node);
    } else if (event->button() == Qt::RightButton) {
        if (node) {
            if (!node->m_selected) {
                selectOnly(node);
                m_anchor = node;
            }
            setFocusedQuietly(node);
        }
    }
}

void MemoTree::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && m_deferredSelect) {
        TreeNode *node = m_deferredSelect;
        m_deferredSelect = nullptr;
        selectOnly(node);
    }
    // Released where it was pressed, without a drag: wait whether a double click follows.
    if (m_clickEditNode && m_pressNode == m_clickEditNode && nodeAt(event->position().toPoint()) == m_clickEditNode)
        m_clickEditTimer->start(QApplication::doubleClickInterval() + 50);
    else
        m_clickEditNode = nullptr;
    m_pressNode = nullptr;
}

void MemoTree::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    emit mouseMoved(pos);
    setHot(nodeAt(pos));
    if ((event->buttons() & Qt::LeftButton) && m_pressNode &&
        (pos - m_pressPos).manhattanLength() >= QApplication::startDragDistance()) {
        TreeNode *node = m_pressNode;
        m_pressNode = nullptr;
        m_deferredSelect = nullptr;
        if (m_delegate->canDrag(node) && m_nodes.contains(node))
            m_dragDrop.start(node);
    }
}

void MemoTree::mouseDoubleClickEvent(QMouseEvent *)
{
    m_clickEditTimer->stop();
    m_clickEditNode = nullptr;
    // No expansion toggle: the owner decides what a double click means.
    emit doubleClicked();
}

void MemoTree::contextMenuEvent(QContextMenuEvent *event)
{
    TreeNode *node = nullptr;
    QPoint globalPos = event->globalPos();
    if (event->reason() == QContextMenuEvent::Keyboard) {
        node = m_focused;
        const QRect r = nodeRect(node);
        if (!r.isEmpty())
            globalPos = viewport()->mapToGlobal(QPoint(r.left() + 20, r.top() + std::min(r.height(), 20)));
    } else {
        node = nodeAt(event->pos());
    }
    QPointer<QMenu> menu = m_delegate->contextMenu(node);
    if (menu)
        menu->exec(globalPos);
    event->accept();
}

// --- keys --------------------------------------------------------------------------------

void MemoTree::keyPressEvent(QKeyEvent *event)
{
    m_delegate->keyPressed(event);
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    const bool keypad = event->modifiers() & Qt::KeypadModifier;
    ensureLayout();
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
        if (m_focused && m_focused->m_expanded && !m_focused->m_children.empty())
            setExpanded(m_focused, false);
        else if (m_focused && m_focused->parent()) {
            TreeNode *p = m_focused->parent();
            selectOnly(p);
            m_anchor = p;
            setFocusedNode(p);
        }
        break;
    case Qt::Key_Right:
        if (m_focused && !m_focused->m_children.empty()) {
            if (!m_focused->m_expanded) {
                setExpanded(m_focused, true);
            } else {
                ensureLayout();
                const int row = m_scroller.layout().rowOf(m_focused);
                TreeNode *next = row >= 0 && row + 1 < m_scroller.layout().count() ? m_scroller.layout().node(row + 1) : nullptr;
                if (next && next->m_parent == m_focused) {
                    selectOnly(next);
                    setFocusedNode(next);
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
        if (m_focused) {
            if (event->key() == Qt::Key_Plus)
                setExpanded(m_focused, true);
            else if (event->key() == Qt::Key_Minus)
                setExpanded(m_focused, false);
            else
                expandSubtree(m_focused);
        }
        break;
    case Qt::Key_Space:
        if (mods != Qt::ControlModifier) {
            event->ignore();
            return;
        }
        if (m_focused) {
            toggleSelected(m_focused);
            m_anchor = m_focused;
        }
        break;
    case Qt::Key_A:
        if (mods != Qt::ControlModifier) {
            event->ignore();
            return;
        }
        selectAllVisible();
        break;
    case Qt::Key_F2:
        if (mods != Qt::NoModifier) {
            event->ignore();
            return;
        }
        if (m_focused)
            editNode(m_focused);
        break;
    default:
        // Enter, Delete, copying and the like belong to the owner, who saw them first.
        event->ignore();
        return;
    }
    event->accept();
}

void MemoTree::expandSubtree(TreeNode *node)
{
    beginUpdate();
    std::vector<TreeNode *> stack{node};
    while (!stack.empty()) {
        TreeNode *n = stack.back();
        stack.pop_back();
        if (!n->m_children.empty())
            setExpanded(n, true);
        stack.insert(stack.end(), n->m_children.begin(), n->m_children.end());
    }
    endUpdate();
}

void MemoTree::navigate(int key, Qt::KeyboardModifiers mods)
{
    const TreeLayout &rows = m_scroller.layout();
    const int current = rows.rowOf(m_focused);
    int target = TreeNavigation::target(m_scroller, current, key);
    if (target < 0)
        return;
    TreeNode *anchor = nullptr;
    if ((mods & Qt::ShiftModifier) && current >= 0) {
        anchor = m_anchor && rows.rowOf(m_anchor) >= 0 ? m_anchor : m_focused;
        target = TreeNavigation::extendTarget(m_scroller, anchor, current, target, key);
        if (target < 0)
            return;
    }
    TreeNode *node = rows.node(target);
    if (anchor) {
        selectRange(anchor, node, false);
        m_anchor = anchor;
    } else if (!(mods & Qt::ControlModifier)) {
        selectOnly(node);
        m_anchor = node;
    }
    setFocusedQuietly(node);
    scrollIntoView(node);
}

// --- drag and drop -----------------------------------------------------------------------

void MemoTree::dragEnterEvent(QDragEnterEvent *event)
{
    // The drag move that always follows decides per row.
    event->acceptProposedAction();
}

void MemoTree::dragMoveEvent(QDragMoveEvent *event)
{
    m_dragDrop.move(event, nodeAt(event->position().toPoint()));
}

void MemoTree::dragLeaveEvent(QDragLeaveEvent *event)
{
    m_dragDrop.leave();
    event->accept();
}

void MemoTree::dropEvent(QDropEvent *event)
{
    m_dragDrop.drop(event, nodeAt(event->position().toPoint()));
}
