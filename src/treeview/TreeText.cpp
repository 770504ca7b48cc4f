// SPDX-License-Identifier: GPL-3.0-or-later
#include "treeview/TreeText.h"
#include "core/MemoText.h"
#include <QFont>
#include <QPainter>
#include <QTextLayout>
#include <cmath>

namespace TreeText {

QString toCrLf(const QString &text)
{
    QString result = toLfLineBreaks(text);
    result.replace(QChar::LineSeparator, QLatin1Char('\n'));
    result.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    result.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return result;
}

namespace {

// Lays out one paragraph starting at y; returns the y below it. With painter set, draws it.
qreal layoutParagraph(const QFont &font, const QString &paragraph, int width, qreal y, QPainter *painter,
                      const QPointF &origin, qreal clipBottom)
{
    QTextLayout layout(paragraph, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.setCacheEnabled(painter != nullptr);
    qreal bottom = y;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(qMax(1, width));
        line.setPosition(QPointF(0, bottom));
        bottom += line.height();
        if (painter && origin.y() + bottom >= clipBottom)
            break; // the rest would be clipped away anyway
    }
    layout.endLayout();
    if (!painter)
        return bottom;
    // A line above the painter's clip is not drawn at all: a page that goes on with a tall
    // row must not carry the lines before it, not even as clipped-away text in a PDF.
    const qreal clipTop = painter->hasClipping() ? painter->clipBoundingRect().top() - 0.5 : -1e9;
    for (int i = 0; i < layout.lineCount(); ++i) {
        const QTextLine line = layout.lineAt(i);
        if (origin.y() + line.y() >= clipTop)
            line.draw(painter, origin);
    }
    return bottom;
}

} // namespace

int wrappedHeight(const QFont &font, const QString &text, int width)
{
    qreal y = 0;
    for (const QString &paragraph : text.split(QLatin1Char('\n')))
        y = layoutParagraph(font, paragraph, width, y, nullptr, QPointF(), 0);
    return int(std::ceil(y));
}

qreal lineHeight(const QFont &font)
{
    return layoutParagraph(font, QStringLiteral("l"), 1000, 0, nullptr, QPointF(), 0);
}

void drawWrapped(QPainter &painter, const QFont &font, const QColor &color, const QRect &rect, const QString &text)
{
    painter.save();
    painter.setPen(color);
    painter.setFont(font);
    qreal y = 0;
    const qreal bottom = rect.bottom() + 1;
    for (const QString &paragraph : text.split(QLatin1Char('\n'))) {
        if (rect.top() + y >= bottom)
            break;
        // Each paragraph's lines are positioned from 0 so the layout draws at its own origin.
        y += layoutParagraph(font, paragraph, rect.width(), 0, &painter, QPointF(rect.left(), rect.top() + y), bottom);
    }
    painter.restore();
}

} // namespace TreeText
