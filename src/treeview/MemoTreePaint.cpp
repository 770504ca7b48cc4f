// SPDX-License-Identifier: GPL-3.0-or-later
#include "treeview/MemoTree.h"
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

void MemoTree::paintEvent(QPaintEvent *event)
{
    QPainter painter(viewport());
    painter.fillRect(event->rect(), palette().color(QPalette::Base));
    m_scroller.setPainting(true);
    // inside an update bracket the previous layout is painted as it stands (deleted nodes
    // show as blank rows) rather than laying out half-made changes.
    if (!m_updateCount) {
        ensureLayout();
        m_scroller.settle();
    }
    const int value = verticalScrollBar()->value();
    const int viewHeight = viewport()->height();
    const int width = viewport()->width();
    TreeRowPainter::Decorations decorations;
    decorations.viewFocused = hasFocus();
    decorations.edited = m_edit.node();
    decorations.focused = m_focused;
    decorations.dropTarget = m_dragDrop.target();
    int row = m_scroller.layout().rowAt(value);
    if (row >= 0) {
        int top = m_scroller.layout().offset(row) - value;
        for (; row < m_scroller.layout().count() && top < viewHeight; ++row) {
            const int height = m_scroller.layout().height(row);
            const QRect rect(0, top, width, height);
            if (TreeNode *node = m_scroller.layout().node(row); node && rect.intersects(event->rect()))
                m_painter.paint(painter, node, rect, &decorations);
            top += height;
        }
    }
    m_scroller.setPainting(false);
}

void MemoTree::paintRowsForPrint(QPainter &painter, const QRect &pageRect, const std::function<void()> &newPage)
{
    ensureLayout();
    std::vector<TreeNode *> rows;
    rows.reserve(size_t(m_scroller.layout().count()));
    for (int row = 0; row < m_scroller.layout().count(); ++row)
        if (TreeNode *node = m_scroller.layout().node(row))
            rows.push_back(node);
    m_painter.print(painter, rows, pageRect, newPage);
}
