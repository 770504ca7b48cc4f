// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

class QColor;
class QFont;
class QPainter;
class QRect;

// Word-wrapped node text, measured and drawn the same way so that a row is exactly as tall
// as the text painted into it. Long words break anywhere, like in the editor.
namespace TreeText {

// \n (or any other line break) becomes CR LF, the form the memo store keeps.
QString toCrLf(const QString &text);
// height of normalised text wrapped to width; an empty text is one line.
int wrappedHeight(const QFont &font, const QString &text, int width);
// height of one line of text as it is laid out and drawn.
qreal lineHeight(const QFont &font);
// Draws normalised text wrapped into rect (top-left aligned), stopping below the rect.
void drawWrapped(QPainter &painter, const QFont &font, const QColor &color, const QRect &rect,
                 const QString &text);

} // namespace TreeText
