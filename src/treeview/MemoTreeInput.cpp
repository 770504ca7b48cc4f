// SPDX-License-Identifier: GPL-3.0-or-later
#include "treeview/MemoTree.h"
#include <QHelpEvent>
#include <QToolTip>

// --- pointer -----------------------------------------------------------------------------

bool MemoTree::viewportEvent(QEvent *event)
{
    switch (event->type()) {
    case QEvent::Leave:
        m_mouse.setHot(nullptr);
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
    m_mouse.setHot(nullptr);
    QAbstractScrollArea::leaveEvent(event);
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
