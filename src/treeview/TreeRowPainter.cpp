// SPDX-License-Identifier: GPL-3.0-or-later
#include "treeview/TreeRowPainter.h"
#include "core/MemoText.h"
#include "treeview/MemoTreeDelegate.h"
#include "treeview/TreeMetrics.h"
#include "treeview/TreeNode.h"
#include "treeview/TreeText.h"
#include <QAbstractScrollArea>
#include <QPainter>
#include <algorithm>
#include <cmath>

using namespace TreeMetrics;

namespace {

QColor blend(const QColor &a, const QColor &b)
{
    return QColor((a.red() + b.red()) / 2, (a.green() + b.green()) / 2, (a.blue() + b.blue()) / 2);
}

} // namespace

TreeRowPainter::TreeRowPainter(const QAbstractScrollArea &view) : m_view(view) {}

void TreeRowPainter::setDelegate(const MemoTreeDelegate *delegate)
{
    m_delegate = delegate;
}

void TreeRowPainter::setImages(const std::vector<QIcon> &images)
{
    m_images = images;
}

int TreeRowPainter::lineHeight() const
{
    return m_view.fontMetrics().height();
}

int TreeRowPainter::rowWidth() const
{
    return m_printWidth > 0 ? m_printWidth : m_view.viewport()->width();
}

int TreeRowPainter::imageIndexOf(TreeNode *node) const
{
    if (m_images.empty())
        return -1;
    const int index = m_delegate->nodeImageIndex(node);
    return index >= 0 && index < int(m_images.size()) ? index : -1;
}

int TreeRowPainter::textLeft(TreeNode *node) const
{
    int x = kMarginLeft + node->level() * kIndent + kButtonWidth;
    if (imageIndexOf(node) >= 0)
        x += kImageSize + kImageGap;
    return x + kTextMarginLeft;
}

int TreeRowPainter::textAreaWidth(TreeNode *node) const
{
    if (!node)
        return 1;
    return std::max(1, rowWidth() - textLeft(node) - kTextMarginRight);
}

int TreeRowPainter::textHeight(TreeNode *node, const QString &text) const
{
    return TreeText::wrappedHeight(m_view.font(), toLfLineBreaks(text), textAreaWidth(node));
}

int TreeRowPainter::measure(TreeNode *node) const
{
    // An owner that measures for itself is not second-guessed: laying the text out here too
    // would double the cost.
    int height = m_delegate->nodeHeight(node);
    if (height <= 0)
        height = std::max(textHeight(node, m_delegate->nodeText(node)), lineHeight()) + 2 * kTextMarginV;
    return height;
}

TreeRowPainter::Parts TreeRowPainter::parts(TreeNode *node, const QRect &rowRect) const
{
    Parts parts;
    const int alignment = node->verticalAlignment();
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

void TreeRowPainter::paint(QPainter &painter, TreeNode *node, const QRect &rowRect, const Decorations *decorations) const
{
    const QPalette &pal = m_view.palette();
    painter.save();
    painter.setClipRect(rowRect, Qt::IntersectClip);
    painter.fillRect(rowRect, pal.color(QPalette::Base));
    painter.save();
    m_delegate->paintNodeBackground(painter, node, rowRect);
    painter.restore();
    if (decorations && node->isSelected()) {
        // Translucent, so a row's picture still shows and the text keeps its own colour.
        QColor highlight = pal.color(QPalette::Highlight);
        highlight.setAlpha(decorations->viewFocused || decorations->edited == node ? 90 : 50);
        painter.fillRect(rowRect, highlight);
    }
    painter.setPen(blend(pal.color(QPalette::Mid), pal.color(QPalette::Base)));
    painter.drawLine(rowRect.left(), rowRect.bottom(), rowRect.right(), rowRect.bottom());

    const Parts rowParts = parts(node, rowRect);
    if (node->childCount() > 0) {
        const QRect &box = rowParts.box;
        painter.setPen(pal.color(QPalette::Dark));
        painter.setBrush(pal.color(QPalette::Base));
        painter.drawRect(box.adjusted(0, 0, -1, -1));
        painter.setPen(pal.color(QPalette::Text));
        const int cy = box.top() + box.height() / 2;
        const int cx = box.left() + box.width() / 2;
        painter.drawLine(box.left() + 2, cy, box.right() - 2, cy);
        if (!node->isExpanded())
            painter.drawLine(cx, box.top() + 2, cx, box.bottom() - 2);
    }
    if (!rowParts.image.isEmpty())
        m_images[size_t(imageIndexOf(node))].paint(&painter, rowParts.image);

    QColor color = pal.color(QPalette::Text);
    const QFont font = textFont(node, color);
    const QString text = m_delegate->nodeText(node);
    painter.setClipRect(rowRect.adjusted(0, 0, 0, -1), Qt::IntersectClip);
    TreeText::drawWrapped(painter, font, color, rowParts.text, toLfLineBreaks(text));

    if (decorations && node == decorations->dropTarget) {
        painter.setClipping(false);
        painter.setPen(QPen(pal.color(QPalette::Highlight), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rowRect.adjusted(1, 1, -1, -1));
    }
    if (decorations && node == decorations->focused && decorations->viewFocused) {
        QPen pen(pal.color(QPalette::Text));
        pen.setStyle(Qt::DotLine);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rowRect.adjusted(0, 0, -1, -2));
    }
    painter.restore();
}

QFont TreeRowPainter::textFont(TreeNode *node, QColor &color) const
{
    QFont font = m_view.font();
    m_delegate->styleNodeText(node, font, color);
    if (m_printWidth > 0) {
        // Pixel-sized, so a painter scaled to the page draws text as wide as it was measured.
        font.setPixelSize(std::max(1, QFontInfo(font).pixelSize()));
    }
    return font;
}

void TreeRowPainter::print(QPainter &painter, const std::vector<TreeNode *> &rows, const QRect &pageRect,
                           const std::function<void()> &newPage)
{
    m_printWidth = std::max(1, pageRect.width());
    const int pageHeight = pageRect.height();
    int y = pageRect.top();
    for (TreeNode *node : rows) {
        // Measured afresh at the page width; the screen's cached heights stay untouched.
        const int height = measure(node);
        if (y > pageRect.top() && y + height > pageRect.bottom() + 1) {
            if (newPage)
                newPage();
            y = pageRect.top();
        }
        if (height <= pageHeight) {
            paint(painter, node, QRect(pageRect.left(), y, m_printWidth, height), nullptr);
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
            paint(painter, node, QRect(pageRect.left(), y, m_printWidth, sliceEnd), nullptr);
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
