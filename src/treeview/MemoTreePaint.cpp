// SPDX-License-Identifier: GPL-3.0-or-later
#include "treeview/TreeLayout.h"
#include "core/MemoText.h"
#include "treeview/TreeMetrics.h"
#include "treeview/TreeText.h"
#include "treeview/MemoTree.h"
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <cmath>

using namespace TreeMetrics;

namespace {

QColor blend(const QColor &a, const QColor &b)
{
    return QColor((a.red() + b.red()) / 2, (a.green() + b.green()) / 2, (a.blue() + b.blue()) / 2);
}

} // namespace

MemoTree::RowParts MemoTree::rowParts(TreeNode *node, const QRect &rowRect) const
{
    RowParts parts;
    const int alignment = node->m_verticalAlignment;
    const int line = lineHeight();
    // 0 % puts button and image beside the first text line; otherwise a share of the row.
    auto itemTop = [&](int size) {
        if (alignment <= 0)
            return rowRect.top() + kTextMarginV + std::max(0, (line - size) / 2);
        return rowRect.top() + std::max(0, (rowRect.height() - 1 - size) * alignment / 100);
    };
    int x = rowRect.left() + kMarginLeft + node->level() * kIndent;
    parts.button = QRect(x, rowRect.top(), kButtonWidth, rowRect.height());
    parts.box = QRect(x + (kButtonWidth - kButtonBox) / 2, itemTop(kButtonBox), kButtonBox, kButtonBox);
    x += kButtonWidth;
    if (imageIndexOf(node) >= 0) {
        parts.image = QRect(x, itemTop(kImageSize), kImageSize, kImageSize);
        x += kImageSize + kImageGap;
    }
    x += kTextMarginLeft;
    parts.text = QRect(x, rowRect.top() + kTextMarginV, std::max(1, rowRect.right() + 1 - kTextMarginRight - x),
                       std::max(0, rowRect.height() - 2 * kTextMarginV));
    return parts;
}

void MemoTree::paintRow(QPainter &painter, TreeNode *node, const QRect &rowRect, bool decorations)
{
    const QPalette &pal = palette();
    painter.save();
    painter.setClipRect(rowRect, Qt::IntersectClip);
    painter.fillRect(rowRect, pal.color(QPalette::Base));
    painter.save();
    m_delegate->paintNodeBackground(painter, node, rowRect);
    painter.restore();
    if (decorations && node->m_selected) {
        // Translucent, so a row's picture still shows and the text keeps its own colour.
        QColor highlight = pal.color(QPalette::Highlight);
        highlight.setAlpha(hasFocus() || (m_editor && m_editNode == node) ? 90 : 50);
        painter.fillRect(rowRect, highlight);
    }
    painter.setPen(blend(pal.color(QPalette::Mid), pal.color(QPalette::Base)));
    painter.drawLine(rowRect.left(), rowRect.bottom(), rowRect.right(), rowRect.bottom());

    const RowParts parts = rowParts(node, rowRect);
    if (!node->m_children.empty()) {
        const QRect &box = parts.box;
        painter.setPen(pal.color(QPalette::Dark));
        painter.setBrush(pal.color(QPalette::Base));
        painter.drawRect(box.adjusted(0, 0, -1, -1));
        painter.setPen(pal.color(QPalette::Text));
        const int cy = box.top() + box.height() / 2;
        const int cx = box.left() + box.width() / 2;
        painter.drawLine(box.left() + 2, cy, box.right() - 2, cy);
        if (!node->m_expanded)
            painter.drawLine(cx, box.top() + 2, cx, box.bottom() - 2);
    }
    if (!parts.image.isEmpty())
        m_images[size_t(imageIndexOf(node))].paint(&painter, parts.image);

    QColor color = pal.color(QPalette::Text);
    const QFont font = textFont(node, color);
    const QString text = m_delegate->nodeText(node);
    painter.setClipRect(rowRect.adjusted(0, 0, 0, -1), Qt::IntersectClip);
    TreeText::drawWrapped(painter, font, color, parts.text, toLfLineBreaks(text));

    if (decorations && node == m_dropTarget) {
        painter.setClipping(false);
        painter.setPen(QPen(pal.color(QPalette::Highlight), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rowRect.adjusted(1, 1, -1, -1));
    }
    if (decorations && node == m_focused && hasFocus()) {
        QPen pen(pal.color(QPalette::Text));
        pen.setStyle(Qt::DotLine);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rowRect.adjusted(0, 0, -1, -2));
    }
    painter.restore();
}

void MemoTree::paintEvent(QPaintEvent *event)
{
    QPainter painter(viewport());
    painter.fillRect(event->rect(), palette().color(QPalette::Base));
    m_inPaint = true;
    // inside an update bracket the previous layout is painted as it stands (deleted nodes
    // show as blank rows) rather than laying out half-made changes.
    if (!m_updateCount) {
        ensureLayout();
        settleViewport();
    }
    const int value = verticalScrollBar()->value();
    const int viewHeight = viewport()->height();
    const int width = viewport()->width();
    int row = m_layout->rowAt(value);
    if (row >= 0) {
        int top = m_layout->offset(row) - value;
        for (; row < m_layout->count() && top < viewHeight; ++row) {
            const int height = m_layout->height(row);
            const QRect rect(0, top, width, height);
            if (TreeNode *node = m_layout->node(row); node && rect.intersects(event->rect()))
                paintRow(painter, node, rect, true);
            top += height;
        }
    }
    m_inPaint = false;
}

QFont MemoTree::textFont(TreeNode *node, QColor &color) const
{
    QFont font = this->font();
    m_delegate->styleNodeText(node, font, color);
    if (m_printWidth > 0) {
        // Pixel-sized, so a painter scaled to the page draws text as wide as it was measured.
        font.setPixelSize(std::max(1, QFontInfo(font).pixelSize()));
    }
    return font;
}

void MemoTree::paintRowsForPrint(QPainter &painter, const QRect &pageRect, const std::function<void()> &newPage)
{
    ensureLayout();
    m_printWidth = std::max(1, pageRect.width());
    const int pageHeight = pageRect.height();
    int y = pageRect.top();
    for (int row = 0; row < m_layout->count(); ++row) {
        TreeNode *node = m_layout->node(row);
        if (!node)
            continue;
        // Measured afresh at the page width; the screen's cached heights stay untouched.
        const int height = measureNode(node);
        if (y > pageRect.top() && y + height > pageRect.bottom() + 1) {
            if (newPage)
                newPage();
            y = pageRect.top();
        }
        if (height <= pageHeight) {
            paintRow(painter, node, QRect(pageRect.left(), y, m_printWidth, height), false);
            y += height;
            continue;
        }
        // Taller than a page: the row goes on over as many pages as it needs, each page
        // showing the next whole lines of it.
        QColor color;
        const qreal lineHeight = TreeText::lineHeight(textFont(node, color));
        const int linesPerPage = std::max(1, int((pageHeight - kTextMarginV) / lineHeight));
        for (qreal shown = 0; shown < height;) {
            const qreal slice = (shown == 0 ? kTextMarginV : 0) + linesPerPage * lineHeight;
            painter.save();
            painter.setClipRect(QRectF(pageRect.left(), y, m_printWidth, std::min<qreal>(slice, height - shown)));
            painter.translate(0, -shown);
            // The row ends where the slice does, so no line below it is drawn (a clipped line
            // would still be in a PDF's text).
            const int sliceEnd = std::min(height, int(shown + slice) + kTextMarginV);
            paintRow(painter, node, QRect(pageRect.left(), y, m_printWidth, sliceEnd), false);
            painter.restore();
            shown += slice;
            if (shown < height) {
                if (newPage)
                    newPage();
                y = pageRect.top();
            } else {
                y += int(std::ceil(slice - (shown - height)));
            }
        }
    }
    m_printWidth = -1;
}
