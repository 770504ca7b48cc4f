// SPDX-License-Identifier: GPL-3.0-or-later
#include "treeview/TreeDragDrop.h"
#include "treeview/MemoTreeDelegate.h"
#include "treeview/TreeNode.h"
#include <QAbstractScrollArea>
#include <QDrag>
#include <QDropEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QTimer>

namespace {

const QString kDragMimeType = QStringLiteral("application/x-korvel-jotwell-tree-node");

} // namespace

TreeDragDrop::TreeDragDrop(QAbstractScrollArea *view)
    : m_view(view), m_expandTimer(new QTimer(this)), m_scrollTimer(new QTimer(this))
{
    m_expandTimer->setSingleShot(true);
    m_expandTimer->setInterval(kExpandDelay);
    connect(m_expandTimer, &QTimer::timeout, this, [this] {
        if (m_target && m_target->childCount() > 0 && !m_target->isExpanded())
            emit expandRequested(m_target);
    });
    m_scrollTimer->setInterval(50);
    connect(m_scrollTimer, &QTimer::timeout, this, &TreeDragDrop::autoScroll);
}

void TreeDragDrop::setDelegate(MemoTreeDelegate *delegate)
{
    m_delegate = delegate;
}

void TreeDragDrop::start(TreeNode *node)
{
    auto *data = new QMimeData;
    data->setData(kDragMimeType, QByteArray::number(qulonglong(node->serial())));
    auto *drag = new QDrag(m_view);
    drag->setMimeData(data);
    m_dragging = true;
    drag->exec(Qt::MoveAction | Qt::CopyAction, Qt::MoveAction);
    m_dragging = false;
    setTarget(nullptr);
}

void TreeDragDrop::forget(TreeNode *node)
{
    if (m_target == node)
        m_target = nullptr;
}

void TreeDragDrop::setTarget(TreeNode *node)
{
    if (node == m_target)
        return;
    TreeNode *old = m_target;
    m_target = node;
    if (node)
        m_expandTimer->start(); // a collapsed target opens after a short hover
    else
        m_expandTimer->stop();
    emit targetChanged(old, node);
}

bool TreeDragDrop::nearEdge() const
{
    return m_pos.y() < kAutoScrollMargin || m_pos.y() >= m_view->viewport()->height() - kAutoScrollMargin;
}

void TreeDragDrop::autoScroll()
{
    QScrollBar *bar = m_view->verticalScrollBar();
    if (!nearEdge())
        m_scrollTimer->stop();
    else if (m_pos.y() < kAutoScrollMargin)
        bar->setValue(bar->value() - bar->singleStep());
    else
        bar->setValue(bar->value() + bar->singleStep());
}

void TreeDragDrop::move(QDragMoveEvent *event, TreeNode *target)
{
    m_pos = event->position().toPoint();
    if (m_delegate->canDrop(target, event->mimeData(), m_dragging)) {
        event->acceptProposedAction();
        setTarget(target);
    } else {
        event->ignore();
        setTarget(nullptr);
    }
    if (nearEdge() && !m_scrollTimer->isActive())
        m_scrollTimer->start();
}

void TreeDragDrop::leave()
{
    setTarget(nullptr);
    m_scrollTimer->stop();
}

void TreeDragDrop::drop(QDropEvent *event, TreeNode *target)
{
    m_scrollTimer->stop();
    setTarget(nullptr);
    if (!m_delegate->canDrop(target, event->mimeData(), m_dragging)) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    m_delegate->drop(target, event->mimeData(), m_dragging);
}
