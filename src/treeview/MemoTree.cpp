// SPDX-License-Identifier: GPL-3.0-or-later
#include "treeview/MemoTree.h"
#include "treeview/TreeAccessible.h"
#include "treeview/TreeMetrics.h"
#include <QScrollBar>
#include <algorithm>

using namespace TreeMetrics;

static MemoTreeDelegate &noDelegate()
{
    static MemoTreeDelegate answersNothing;
    return answersNothing;
}

MemoTree::MemoTree(QWidget *parent, TreeNodeStore::NodeFactory makeNode)
    : QAbstractScrollArea(parent), m_nodes(std::move(makeNode)),
      m_edit(viewport(), this, m_nodes),
      m_dragDrop(this),
      m_painter(*this),
      m_scroller(*verticalScrollBar(), *viewport(), [this](TreeNode *node) { return m_painter.measure(node); },
                 [this] { return m_painter.lineHeight(); }),
      m_mouse(*this),
      m_keys(*this),
      m_delegate(&noDelegate())
{
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Always on: a scroll bar that comes and goes changes the width, which re-wraps every
    // row, which can make it come and go again.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    viewport()->setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAcceptDrops(true);
    setAcceptDrops(true);

    connect(&m_edit, &TreeInlineEdit::committed, this, &MemoTree::editCommitted);
    connect(&m_edit, &TreeInlineEdit::ended, this, &MemoTree::editEnded);
    connect(&m_edit, &TreeInlineEdit::cancelled, this, &MemoTree::editCancelled);
    m_dragDrop.setDelegate(m_delegate);
    m_painter.setDelegate(m_delegate);
    connect(&m_dragDrop, &TreeDragDrop::targetChanged, this, [this](TreeNode *oldTarget, TreeNode *newTarget) {
        if (oldTarget)
            repaintNode(oldTarget);
        if (newTarget)
            repaintNode(newTarget);
    });
    connect(&m_dragDrop, &TreeDragDrop::expandRequested, this, [this](TreeNode *node) { setExpanded(node, true); });
    TreeAccessible::install();
}

MemoTree::~MemoTree()
{
    // The owner is usually being destroyed too: nothing may reach it any more.
    blockSignals(true);
    m_delegate = &noDelegate();
    m_dragDrop.setDelegate(m_delegate);
    m_painter.setDelegate(m_delegate);
}

// --- nodes -------------------------------------------------------------------------------

TreeNode *MemoTree::addChild(TreeNode *parent)
{
    TreeNode *node = m_nodes.addChild(parent);
    if (showsChildrenOf(node->m_parent))
        requestLayout();
    else if (node->m_parent->m_children.size() == 1)
        repaintNode(parent); // its expand button appears
    return node;
}

void MemoTree::deleteNode(TreeNode *node)
{
    if (node && m_nodes.contains(node))
        deleteNodes({node});
}

void MemoTree::deleteSelectedNodes()
{
    deleteNodes(selectedNodes());
}

void MemoTree::clear()
{
    cancelEditNode();
    clearSelection();
    deleteNodes(m_nodes.root()->m_children);
    m_scroller.layout().clear();
    m_layoutDirty = true;
    verticalScrollBar()->setValue(0);
}

void MemoTree::forgetNode(TreeNode *node)
{
    m_scroller.layout().forget(node);
    m_selection.remove(node);
    m_dragDrop.forget(node);
    m_mouse.forget(node);
    for (TreeNode **p : {&m_focused, &m_anchor, &m_pendingScroll})
        if (*p == node)
            *p = nullptr;
}

void MemoTree::deleteNodes(const std::vector<TreeNode *> &requested)
{
    // Remember serials: callbacks below (edit cancel) may delete some of these themselves.
    std::vector<std::pair<TreeNode *, uint64_t>> wanted;
    wanted.reserve(requested.size());
    for (TreeNode *n : requested)
        if (n && m_nodes.contains(n))
            wanted.emplace_back(n, n->m_serial);
    if (wanted.empty())
        return;

    if (TreeNode *edited = m_edit.node()) {
        for (const auto &w : wanted)
            if (TreeNodeStore::isInSubtree(edited, w.first)) {
                cancelEditNode();
                break;
            }
    }

    std::unordered_set<TreeNode *> doomed;
    for (const auto &w : wanted)
        if (isAlive(w.first, w.second))
            doomed.insert(w.first);
    if (doomed.empty())
        return;
    const std::vector<TreeNode *> tops = m_nodes.detach(doomed);
    const bool relayout = std::any_of(tops.begin(), tops.end(), [this](TreeNode *top) { return showsChildrenOf(top->m_parent); });
    const int selectedBefore = m_selection.count();
    // Children before their parent, so nodeFreed never sees a parent without its record.
    for (TreeNode *top : tops)
        m_nodes.destroy(top, [this](TreeNode *gone) {
            forgetNode(gone);
            emit nodeFreed(gone);
        });
    if (relayout)
        requestLayout();
    else
        viewport()->update();
    if (m_selection.count() != selectedBefore)
        notifySelection(firstSelected());
}

void MemoTree::placeNodes(const std::vector<Placement> &placements)
{
    // Decided before the move, while the rows still show where the nodes come from.
    bool relayout = false;
    for (const Placement &p : placements)
        if (m_nodes.contains(p.node) && (!p.parent || m_nodes.contains(p.parent)))
            relayout = relayout || showsChildrenOf(p.node->m_parent) || showsChildrenOf(p.parent ? p.parent : m_nodes.root());
    nodesMoved(m_nodes.place(placements), relayout);
}

bool MemoTree::moveTo(TreeNode *node, TreeNode *target, AttachMode mode)
{
    if (!node || !m_nodes.contains(node) || (target && !m_nodes.contains(target)))
        return false;
    TreeNode *dest = target ? target : m_nodes.root();
    if (TreeNodeStore::isInSubtree(dest, node))
        return false;
    const bool relayout = showsChildrenOf(node->m_parent) || showsChildrenOf(dest);
    nodesMoved(m_nodes.move(node, dest, mode == AttachMode::AddChildFirst), relayout);
    return true;
}

void MemoTree::nodesMoved(const TreeNodeStore::Moved &moved, bool relayout)
{
    if (moved.parents.empty())
        return;
    // A new indent means a new wrap width for the whole subtree.
    for (TreeNode *node : moved.relevelled)
        TreeLayout::forgetHeights(node);
    m_selection.nodesMoved(moved.selected);
    if (relayout)
        requestLayout();
    else
        viewport()->update();
}

bool MemoTree::isAlive(TreeNode *node, uint64_t serial) const
{
    return m_nodes.isAlive(node, serial);
}

void MemoTree::setDelegate(MemoTreeDelegate *delegate)
{
    m_delegate = delegate ? delegate : &noDelegate();
    m_dragDrop.setDelegate(m_delegate);
    m_painter.setDelegate(m_delegate);
    invalidateAll();
}

int MemoTree::topLevelCount() const
{
    return m_nodes.root()->childCount();
}

TreeNode *MemoTree::topLevelNode(int i) const
{
    return i >= 0 && i < m_nodes.root()->childCount() ? m_nodes.root()->child(i) : nullptr;
}

TreeNode *MemoTree::firstNode() const
{
    return m_nodes.root()->firstChild();
}

TreeNode *MemoTree::lastTopLevelNode() const
{
    return m_nodes.root()->lastChild();
}

TreeNode *MemoTree::nextNode(TreeNode *node) const
{
    return m_nodes.nextNode(node);
}

int MemoTree::totalCount() const
{
    return m_nodes.count();
}

// --- update bracket ----------------------------------------------------------------------

void MemoTree::beginUpdate()
{
    ++m_updateCount;
}

void MemoTree::endUpdate()
{
    if (m_updateCount == 0 || --m_updateCount > 0)
        return;
    doLayout();
    if (m_selectionNotifyPending) {
        m_selectionNotifyPending = false;
        notifySelection(nullptr);
    }
    if (m_pendingScroll) {
        TreeNode *n = m_pendingScroll;
        m_pendingScroll = nullptr;
        scrollIntoView(n);
    }
    placeEditor();
    viewport()->update();
}

// --- state -------------------------------------------------------------------------------

bool MemoTree::showsChildrenOf(const TreeNode *parent) const
{
    if (parent == m_nodes.root())
        return true;
    return parent->m_expanded && isEffectivelyVisible(const_cast<TreeNode *>(parent));
}

void MemoTree::setExpanded(TreeNode *node, bool expanded)
{
    if (!node || node->m_expanded == expanded)
        return;
    node->m_expanded = expanded;
    if (!expanded && m_focused && m_focused != node && TreeNodeStore::isInSubtree(m_focused, node))
        setFocusedQuietly(node);
    if (!expanded)
        deselectHidden(node, false);
    if (!node->m_children.empty() && isEffectivelyVisible(node))
        requestLayout();
    if (expanded)
        emit nodeExpanded(node);
    else
        emit nodeCollapsed(node);
}

void MemoTree::setVisible(TreeNode *node, bool visible)
{
    if (!node || node->m_visible == visible)
        return;
    node->m_visible = visible;
    if (!visible)
        deselectHidden(node, true);
    if (showsChildrenOf(node->m_parent))
        requestLayout();
}

void MemoTree::deselectHidden(TreeNode *top, bool withTop)
{
    // No command may act on a memo out of sight.
    if (!m_selection.removeSubtree(top, withTop))
        return;
    if (m_updateCount)
        m_selectionNotifyPending = true; // one notice when the update ends
    else
        notifySelection(nullptr);
}

bool MemoTree::isEffectivelyVisible(TreeNode *node) const
{
    if (!node)
        return false;
    for (const TreeNode *n = node; n && n != m_nodes.root(); n = n->m_parent) {
        if (!n->m_visible || (n != node && !n->m_expanded))
            return false;
    }
    return true;
}

int MemoTree::visibleCount() const
{
    ensureLayout();
    return m_scroller.layout().count();
}

TreeNode *MemoTree::nodeAtRow(int row) const
{
    ensureLayout();
    return row >= 0 && row < m_scroller.layout().count() ? m_scroller.layout().node(row) : nullptr;
}

int MemoTree::rowOfNode(const TreeNode *node) const
{
    ensureLayout();
    return m_scroller.layout().rowOf(node);
}

void MemoTree::setMultiline(TreeNode *node, bool multiline)
{
    if (!node || node->m_multiline == multiline)
        return;
    node->m_multiline = multiline;
    invalidateNode(node);
}

void MemoTree::setVerticalAlignment(TreeNode *node, int percent)
{
    if (!node)
        return;
    percent = std::clamp(percent, 0, 100);
    if (node->m_verticalAlignment == percent)
        return;
    node->m_verticalAlignment = percent;
    repaintNode(node);
}

void MemoTree::invalidateNode(TreeNode *node)
{
    if (!node)
        return;
    // The row keeps its old height until it is painted or otherwise needed: usually the best
    // guess there is, and it leaves rows off screen alone.
    node->m_height = 0;
    if (m_scroller.layout().rowOf(node) >= 0)
        viewport()->update();
}

void MemoTree::invalidateHeights()
{
    TreeLayout::forgetHeights(m_nodes.root());
    // A relayout gives every row its estimate again and keeps the top row in place.
    m_layoutDirty = true;
}

void MemoTree::invalidateAll()
{
    invalidateHeights();
    if (!m_updateCount)
        doLayout();
    viewport()->update();
}

void MemoTree::repaintNode(TreeNode *node)
{
    if (m_updateCount)
        return; // everything is painted at endUpdate
    if (m_layoutDirty) {
        viewport()->update(); // the coming layout repaints all; don't lay out for one row
        return;
    }
    const QRect r = nodeRect(node);
    if (!r.isEmpty())
        viewport()->update(r);
}

void MemoTree::sortTree(bool ascending)
{
    const MemoTreeDelegate &d = *m_delegate;
    m_nodes.sort([&](TreeNode *a, TreeNode *b) { return ascending ? d.compareNodes(a, b) < 0 : d.compareNodes(b, a) < 0; });
    m_selection.nodesMoved(false);
    requestLayout();
}

// --- layout and measuring ----------------------------------------------------------------

void MemoTree::requestLayout()
{
    m_layoutDirty = true;
    if (!m_updateCount)
        viewport()->update();
}

void MemoTree::ensureLayout() const
{
    // Laid out lazily, at the first query or paint: many changes outside a bracket still
    // cost one layout.
    if (m_layoutDirty && !m_updateCount)
        const_cast<MemoTree *>(this)->doLayout();
}

void MemoTree::doLayout()
{
    if (!m_layoutDirty || m_updateCount)
        return;
    m_layoutDirty = false;
    // What the user looks at stays where it is when rows elsewhere come or go.
    m_scroller.relayout(m_nodes.root(), estimatedHeight());
    TreeAccessible::rowsChanged(this);
    placeEditor();
    if (!m_scroller.isPainting())
        viewport()->update();
}

int MemoTree::estimatedHeight() const
{
    return m_painter.lineHeight() + 2 * kTextMarginV;
}

void MemoTree::scrollContentsBy(int, int)
{
    placeEditor();
    if (m_scroller.isQuiet())
        return;
    viewport()->update();
    m_mouse.updateHotFromCursor();
}

void MemoTree::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    const int width = viewport()->width();
    if (width != m_lastWidth) {
        m_lastWidth = width;
        invalidateHeights(); // every row wraps anew
    }
    if (!m_updateCount) {
        doLayout();
        m_scroller.updateRange();
    }
    placeEditor();
    viewport()->update();
}

// --- geometry ----------------------------------------------------------------------------

TreeNode *MemoTree::nodeAt(const QPoint &viewportPos) const
{
    ensureLayout();
    const int row = m_scroller.rowAt(viewportPos.y());
    return row >= 0 ? m_scroller.layout().node(row) : nullptr;
}

QRect MemoTree::nodeRect(TreeNode *node) const
{
    ensureLayout();
    const int row = m_scroller.layout().rowOf(node);
    return row >= 0 ? m_scroller.rowRect(row) : QRect();
}

int MemoTree::textAreaWidth(TreeNode *node) const
{
    return m_painter.textAreaWidth(node);
}

int MemoTree::textHeight(TreeNode *node, const QString &text) const
{
    return m_painter.textHeight(node, text);
}

void MemoTree::setImages(const std::vector<QIcon> &images)
{
    const bool hadImages = m_painter.hasImages();
    m_painter.setImages(images);
    // Images narrow the text area; heights measured without them no longer hold.
    if (hadImages || m_painter.hasImages())
        invalidateAll();
}

void MemoTree::setHint(const QString &hint)
{
    m_hint = hint;
}

// --- selection and focus -----------------------------------------------------------------

void MemoTree::notifySelection(TreeNode *node)
{
    viewport()->update();
    TreeAccessible::selectionChanged(this, node);
    emit selectionChanged(node);
}

void MemoTree::selectOnly(TreeNode *node)
{
    if (m_selection.selectOnly(node))
        notifySelection(node);
}

void MemoTree::toggleSelected(TreeNode *node)
{
    m_selection.toggle(node);
    notifySelection(node);
}

void MemoTree::selectRange(TreeNode *from, TreeNode *to, bool keep)
{
    if (m_selection.selectRange(from, to, keep))
        notifySelection(to);
    else
        selectOnly(to);
}

void MemoTree::setSelected(TreeNode *node, bool selected)
{
    if (!node || node->m_selected == selected)
        return;
    if (selected) {
        if (!m_selection.admits(node))
            m_selection.clear();
        m_selection.add(node);
        m_anchor = node;
    } else {
        m_selection.remove(node);
    }
    notifySelection(node);
}

void MemoTree::clearSelection()
{
    if (m_selection.clear())
        notifySelection(nullptr);
}

void MemoTree::selectNodes(const std::vector<TreeNode *> &nodes)
{
    const bool changed = m_selection.clear();
    for (TreeNode *n : nodes)
        if (n && m_nodes.contains(n) && m_selection.admits(n))
            m_selection.add(n);
    if (!m_selection.isEmpty())
        m_anchor = firstSelected();
    if (changed || !m_selection.isEmpty())
        notifySelection(firstSelected());
}

void MemoTree::selectAllVisible()
{
    ensureLayout();
    const TreeLayout &rows = m_scroller.layout();
    std::vector<TreeNode *> shown;
    shown.reserve(size_t(rows.count()));
    for (int row = 0; row < rows.count(); ++row)
        if (TreeNode *n = rows.node(row))
            shown.push_back(n);
    if (m_selection.addAll(std::move(shown), !m_layoutDirty))
        notifySelection(m_focused && m_focused->m_selected ? m_focused : firstSelected());
}

TreeNode *MemoTree::firstSelected() const
{
    return m_selection.first();
}

TreeNode *MemoTree::nextSelected(TreeNode *node) const
{
    return m_selection.next(node);
}

std::vector<TreeNode *> MemoTree::selectedNodes() const
{
    return m_selection.nodes();
}

int MemoTree::selectedCount() const
{
    return m_selection.count();
}

void MemoTree::setFocusedQuietly(TreeNode *node)
{
    if (m_focused == node)
        return;
    TreeNode *old = m_focused;
    m_focused = node;
    if (old)
        repaintNode(old);
    if (node)
        repaintNode(node);
    TreeAccessible::focusMoved(this, node);
}

void MemoTree::setFocusedNode(TreeNode *node)
{
    if (node && !m_nodes.contains(node))
        return;
    setFocusedQuietly(node);
    if (node) {
        m_anchor = node;
        scrollIntoView(node);
    }
}

void MemoTree::scrollIntoView(TreeNode *node)
{
    if (!node)
        return;
    if (m_updateCount) {
        m_pendingScroll = node;
        return;
    }
    ensureLayout();
    const int row = m_scroller.layout().rowOf(node);
    if (row < 0)
        return;
    m_scroller.scrollTo(row);
    viewport()->update();
}
