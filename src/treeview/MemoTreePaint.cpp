// SPDX-License-Identifier: GPL-3.0-or-later
#include "treeview/MemoTree.h"
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

void MemoTree::paintEvent(QPaintEvent *event)
{
    QPainter painter(viewport());
    painter.fillRect(event->rect(), palette().color(QPalette::Base));
    TreeScroller &rows = m_rows.scroller();
    rows.setPainting(true);
    // inside an update bracket the previous layout is painted as it stands (deleted nodes
    // show as blank rows) rather than laying out half-made changes.
    if (!m_rows.isUpdating()) {
        m_rows.ensureLayout();
        rows.settle();
    }
    const int value = verticalScrollBar()->value();
    const int viewHeight = viewport()->height();
    const int width = viewport()->width();
    TreeRowPainter::Decorations decorations;
    decorations.viewFocused = hasFocus();
    decorations.edited = m_edit.node();
    decorations.focused = m_focus.focused();
    decorations.dropTarget = m_dragDrop.target();
    int row = rows.layout().rowAt(value);
    if (row >= 0) {
        int top = rows.layout().offset(row) - value;
        for (; row < rows.layout().count() && top < viewHeight; ++row) {
            const int height = rows.layout().height(row);
            const QRect rect(0, top, width, height);
            if (TreeNode *node = rows.layout().node(row); node && rect.intersects(event->rect()))
                m_painter.paint(painter, node, rect, &decorations);
            top += height;
        }
    }
    rows.setPainting(false);
}
