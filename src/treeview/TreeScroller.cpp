// SPDX-License-Identifier: GPL-3.0-or-later
#include "treeview/TreeScroller.h"
#include "treeview/TreeNode.h"
#include <QScopedValueRollback>
#include <QScrollBar>
#include <algorithm>

TreeScroller::TreeScroller(QScrollBar &bar, const QWidget &viewport, Measure measure, std::function<int()> lineHeight)
    : m_bar(bar), m_viewport(viewport), m_measure(std::move(measure)), m_lineHeight(std::move(lineHeight))
{
}

int TreeScroller::viewHeight() const
{
    return m_viewport.height();
}

void TreeScroller::relayout(TreeNode *root, int estimate)
{
    const int value = m_bar.value();
    TreeNode *anchor = nullptr;
    int within = 0;
    const int topRow = value > 0 ? m_layout.rowAt(value) : -1;
    if (topRow >= 0) {
        anchor = m_layout.node(topRow);
        within = value - m_layout.offset(topRow);
    }
    m_layout.rebuild(root, estimate);

    int newValue = value;
    for (TreeNode *n = anchor; n && n != root; n = n->parent()) {
        const int row = m_layout.rowOf(n);
        if (row < 0)
            continue;
        if (n == anchor) {
            // Measure the screen below the anchor now: with estimates only, the range could
            // shrink under the anchor and clamp the view somewhere else.
            int filled = -within;
            for (int r = row; r < m_layout.count() && filled < viewHeight(); ++r) {
                measureRow(r);
                filled += m_layout.height(r);
            }
            newValue = m_layout.offset(row) + std::min(within, m_layout.height(row) - 1);
        } else {
            newValue = m_layout.offset(row);
        }
        break;
    }
    updateRange();
    setValue(newValue, m_painting);
}

bool TreeScroller::measureRow(int row)
{
    return m_layout.measure(row, m_measure);
}

void TreeScroller::ensureMeasured(int row)
{
    const int old = m_layout.height(row);
    const int top = m_layout.offset(row);
    if (!measureRow(row) || m_layout.height(row) == old)
        return;
    if (top < m_bar.value()) {
        // The row starts above the view: shift the scroll position with it so that what is
        // on screen stays put.
        updateRange();
        setValue(m_bar.value() + m_layout.height(row) - old, true);
    }
}

void TreeScroller::settle()
{
    // Measuring can move the scroll position (rows above the view) and shrink the range (near
    // the end); repeat until the rows on screen are all measured at the final position.
    for (int pass = 0; pass < 8; ++pass) {
        const int value = m_bar.value();
        const int first = m_layout.rowAt(value);
        if (first >= 0) {
            for (int row = first; row < m_layout.count() && m_layout.offset(row) < m_bar.value() + viewHeight(); ++row)
                ensureMeasured(row);
        }
        updateRange();
        if (m_bar.value() == value && (first < 0 || m_layout.rowAt(value) == first))
            break;
    }
}

void TreeScroller::updateRange()
{
    m_bar.setPageStep(std::max(1, viewHeight()));
    m_bar.setSingleStep(std::max(1, m_lineHeight()));
    const QScopedValueRollback<bool> quiet(m_quiet, m_quiet || m_painting);
    m_bar.setRange(0, std::max(0, m_layout.total() - viewHeight()));
}

void TreeScroller::setValue(int value, bool quiet)
{
    const QScopedValueRollback<bool> rollback(m_quiet, m_quiet || quiet);
    m_bar.setValue(value);
}

void TreeScroller::scrollTo(int row)
{
    ensureMeasured(row);
    int top = m_layout.offset(row);
    const int height = m_layout.height(row);
    const int value = m_bar.value();
    if (top < value || height >= viewHeight()) {
        if (top != value && (top < value || top + height > value + viewHeight())) {
            updateRange();
            setValue(top, false);
        }
    } else if (top + height > value + viewHeight()) {
        // Measure the rows that will share the screen with it first, so the final position
        // does not drift when they are painted.
        int filled = height;
        for (int r = row - 1; r >= 0 && filled < viewHeight(); --r) {
            ensureMeasured(r);
            filled += m_layout.height(r);
        }
        top = m_layout.offset(row);
        updateRange();
        setValue(top + height - viewHeight(), false);
    }
    updateRange();
}

int TreeScroller::pageTarget(int row, int direction)
{
    int filled = 0;
    int target = row;
    for (;;) {
        const int next = target + direction;
        if (next < 0 || next >= m_layout.count())
            break;
        ensureMeasured(next);
        if (target != row && filled + m_layout.height(next) > viewHeight())
            break;
        filled += m_layout.height(next);
        target = next;
    }
    return target;
}

int TreeScroller::rowAt(int viewportY) const
{
    if (viewportY < 0 || viewportY >= viewHeight())
        return -1;
    return m_layout.rowAt(m_bar.value() + viewportY);
}

QRect TreeScroller::rowRect(int row) const
{
    return QRect(0, m_layout.offset(row) - m_bar.value(), m_viewport.width(), m_layout.height(row));
}
