// SPDX-License-Identifier: GPL-3.0-or-later
#include "treeview/TreeRows.h"
#include "treeview/TreeMetrics.h"
#include "treeview/TreeNodeStore.h"
#include <QScrollBar>
#include <QWidget>
#include <algorithm>

TreeRows::TreeRows(const TreeNodeStore &nodes, QWidget &viewport, QScrollBar &bar, TreeScroller::Measure measure,
                   std::function<int()> lineHeight)
    : m_nodes(nodes), m_viewport(viewport), m_scroller(bar, viewport, std::move(measure), lineHeight),
      m_lineHeight(std::move(lineHeight))
{
}

bool TreeRows::endUpdate()
{
    if (m_updateCount == 0 || --m_updateCount > 0)
        return false;
    layOut();
    return true;
}

void TreeRows::scrollToPending()
{
    if (TreeNode *node = std::exchange(m_pendingScroll, nullptr))
        scrollTo(node);
}

bool TreeRows::setExpanded(TreeNode *node, bool expanded)
{
    if (!node || node->m_expanded == expanded)
        return false;
    node->m_expanded = expanded;
    if (!node->m_children.empty() && isShown(node))
        requestLayout();
    return true;
}

bool TreeRows::setVisible(TreeNode *node, bool visible)
{
    if (!node || node->m_visible == visible)
        return false;
    node->m_visible = visible;
    if (showsChildrenOf(node->m_parent))
        requestLayout();
    return true;
}

void TreeRows::setMultiline(TreeNode *node, bool multiline)
{
    if (!node || node->m_multiline == multiline)
        return;
    node->m_multiline = multiline;
    invalidateNode(node);
}

void TreeRows::setVerticalAlignment(TreeNode *node, int percent)
{
    if (!node)
        return;
    percent = std::clamp(percent, 0, 100);
    if (node->m_verticalAlignment == percent)
        return;
    node->m_verticalAlignment = percent;
    repaint(node);
}

bool TreeRows::showsChildrenOf(const TreeNode *parent) const
{
    return parent == m_nodes.root() || (parent->m_expanded && isShown(parent));
}

bool TreeRows::isShown(const TreeNode *node) const
{
    if (!node)
        return false;
    for (const TreeNode *n = node; n && n != m_nodes.root(); n = n->m_parent) {
        if (!n->m_visible || (n != node && !n->m_expanded))
            return false;
    }
    return true;
}

void TreeRows::requestLayout()
{
    m_dirty = true;
    if (!m_updateCount)
        m_viewport.update();
}

void TreeRows::ensureLayout() const
{
    // At the first query or paint: many changes outside a bracket still cost one layout.
    if (m_dirty && !m_updateCount)
        const_cast<TreeRows *>(this)->layOut();
}

void TreeRows::layOut()
{
    if (!m_dirty || m_updateCount)
        return;
    m_dirty = false;
    // What the user looks at stays where it is when rows elsewhere come or go.
    m_scroller.relayout(m_nodes.root(), m_lineHeight() + 2 * TreeMetrics::kTextMarginV);
    emit laidOut();
    if (!m_scroller.isPainting())
        m_viewport.update();
}

void TreeRows::invalidateNode(TreeNode *node)
{
    if (!node)
        return;
    // The row keeps its old height until it is painted or otherwise needed: usually the best
    // guess there is, and it leaves rows off screen alone.
    node->m_height = 0;
    if (m_scroller.layout().rowOf(node) >= 0)
        m_viewport.update();
}

void TreeRows::invalidateHeights()
{
    TreeLayout::forgetHeights(m_nodes.root());
    // A relayout gives every row its estimate again and keeps the top row in place.
    m_dirty = true;
}

void TreeRows::invalidateAll()
{
    invalidateHeights();
    layOut();
    m_viewport.update();
}

void TreeRows::widthChanged(int width)
{
    if (width != m_width) {
        m_width = width;
        invalidateHeights();
    }
    if (!m_updateCount) {
        layOut();
        m_scroller.updateRange();
    }
}

void TreeRows::forget(TreeNode *node)
{
    m_scroller.layout().forget(node);
    if (m_pendingScroll == node)
        m_pendingScroll = nullptr;
}

void TreeRows::clear()
{
    m_scroller.layout().clear();
    m_dirty = true;
    m_scroller.setValue(0, false);
}

int TreeRows::count() const
{
    ensureLayout();
    return m_scroller.layout().count();
}

TreeNode *TreeRows::node(int row) const
{
    return row >= 0 && row < count() ? m_scroller.layout().node(row) : nullptr;
}

int TreeRows::rowOf(const TreeNode *node) const
{
    ensureLayout();
    return m_scroller.layout().rowOf(node);
}

TreeNode *TreeRows::nodeAt(const QPoint &pos) const
{
    ensureLayout();
    const int row = m_scroller.rowAt(pos.y());
    return row >= 0 ? m_scroller.layout().node(row) : nullptr;
}

QRect TreeRows::rect(const TreeNode *node) const
{
    const int row = rowOf(node);
    return row >= 0 ? m_scroller.rowRect(row) : QRect();
}

std::vector<TreeNode *> TreeRows::shownNodes() const
{
    const int rows = count();
    std::vector<TreeNode *> shown;
    shown.reserve(size_t(rows));
    for (int row = 0; row < rows; ++row)
        if (TreeNode *n = m_scroller.layout().node(row))
            shown.push_back(n);
    return shown;
}

void TreeRows::repaint(const TreeNode *node)
{
    if (m_updateCount)
        return; // everything is painted at the bracket's end
    if (m_dirty) {
        m_viewport.update(); // the coming layout repaints all; don't lay out for one row
        return;
    }
    const QRect r = rect(node);
    if (!r.isEmpty())
        m_viewport.update(r);
}

void TreeRows::scrollTo(TreeNode *node)
{
    if (!node)
        return;
    if (m_updateCount) {
        m_pendingScroll = node;
        return;
    }
    const int row = rowOf(node);
    if (row < 0)
        return;
    m_scroller.scrollTo(row);
    m_viewport.update();
}
