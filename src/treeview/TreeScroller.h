// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "treeview/TreeLayout.h"
#include <QRect>
#include <functional>

class QScrollBar;
class QWidget;
class TreeNode;

// The laid-out rows against a scroll bar: where the view stands, and how it keeps what the user
// looks at in place while rows are measured (lazily, as they come into sight) or laid out anew.
// Moves made here are quiet unless asked otherwise, so the view can tell them from the user's.
class TreeScroller {
public:
    using Measure = std::function<int(TreeNode *)>;
    // measure gives a node's row height; lineHeight the scroll bar's single step.
    TreeScroller(QScrollBar &bar, const QWidget &viewport, Measure measure, std::function<int()> lineHeight);

    TreeLayout &layout() { return m_layout; }
    const TreeLayout &layout() const { return m_layout; }

    // Lays out root's shown nodes; the node at the top of the view, or its nearest shown
    // ancestor, stays where it is. At the very top the view stays at the top.
    void relayout(TreeNode *root, int estimate);
    bool measureRow(int row); // false when it was measured already
    // Measures row; if it starts above the view, the view moves with it.
    void ensureMeasured(int row);
    // Measures the rows on screen until the view stands still.
    void settle();
    void updateRange();
    void setValue(int value, bool quiet);
    void scrollTo(int row); // into view, measuring the rows that share the screen with it
    // The row a page up (direction -1) or down (1) from row.
    int pageTarget(int row, int direction);

    int rowAt(int viewportY) const; // -1 outside the view or below the last row
    QRect rowRect(int row) const;   // in viewport coordinates

    bool isQuiet() const { return m_quiet; }
    // While painting, every move is quiet: the painting shows it already.
    void setPainting(bool painting) { m_painting = painting; }
    bool isPainting() const { return m_painting; }

private:
    int viewHeight() const;

    TreeLayout m_layout;
    QScrollBar &m_bar;
    const QWidget &m_viewport;
    Measure m_measure;
    std::function<int()> m_lineHeight;
    bool m_quiet = false;
    bool m_painting = false;
};
