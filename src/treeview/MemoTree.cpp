// SPDX-License-Identifier: GPL-3.0-or-later
#include "treeview/MemoTree.h"
#include "core/MemoText.h"
#include "treeview/TreeAccessible.h"
#include "treeview/TreeEditor.h"
#include "treeview/TreeLayout.h"
#include "treeview/TreeMetrics.h"
#include "treeview/TreeText.h"
#include <QScrollBar>
#include <QTimer>
#include <algorithm>

using namespace TreeMetrics;

static MemoTreeDelegate &noDelegate()
{
    static MemoTreeDelegate answersNothing;
    return answersNothing;
}

MemoTree::MemoTree(QWidget *parent)
    : QAbstractScrollArea(parent),
      m_layout(std::make_unique<TreeLayout>()),
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

    m_expandTimer = new QTimer(this);
    m_expandTimer->setSingleShot(true);
    m_expandTimer->setInterval(700);
    connect(m_expandTimer, &QTimer::timeout, this, [this] {
        if (m_dropTarget && m_dropTarget->childCount() > 0 && !m_dropTarget->isExpanded())
            setExpanded(m_dropTarget, true);
    });
    m_clickEditTimer = new QTimer(this);
    m_clickEditTimer->setSingleShot(true);
    connect(m_clickEditTimer, &QTimer::timeout, this, [this] {
        if (isAlive(m_clickEditNode, m_clickEditSerial) && m_clickEditNode->m_selected && !m_editor)
            editNode(m_clickEditNode);
        m_clickEditNode = nullptr;
    });
    m_scrollTimer = new QTimer(this);
    m_scrollTimer->setInterval(50);
    connect(m_scrollTimer, &QTimer::timeout, this, &MemoTree::dragAutoScroll);
    TreeAccessible::install();
}

MemoTree::~MemoTree()
{
    // The owner is usually being destroyed too: nothing may reach it any more.
    blockSignals(true);
    m_delegate = &noDelegate();
    if (m_editor) {
        m_editor->disconnect(this);
        delete m_editor;
    }
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
    m_layout->clear();
    m_layoutDirty = true;
    verticalScrollBar()->setValue(0);
}

void MemoTree::forgetNode(TreeNode *node)
{
    m_layout->forget(node);
    m_selection.remove(node);
    for (TreeNode **p : {&m_focused, &m_hot, &m_anchor, &m_pressNode, &m_deferredSelect, &m_pendingScroll, &m_dropTarget})
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

    if (m_editNode) {
        for (const auto &w : wanted)
            if (TreeNodeStore::isInSubtree(m_editNode, w.first)) {
                cancelEditNode();
                break;
            }
    }

    std::unordered_set<TreeNode *> doomed;
    for (const auto &w : wanted)
        if (isAlive(w.first, w.second))
            doomed.insert(w.first);
    // Only subtree tops are detached; a node below another doomed node goes with it.
    std::vector<TreeNode *> tops;
    for (TreeNode *n : doomed) {
        bool covered = false;
        for (TreeNode *p = n->m_parent; p && !covered; p = p->m_parent)
            covered = doomed.count(p) > 0;
        if (!covered)
            tops.push_back(n);
    }
    if (tops.empty())
        return;

    // One pass per parent keeps deleting many siblings linear.
    std::unordered_set<TreeNode *> parents;
    for (TreeNode *n : tops)
        parents.insert(n->m_parent);
    bool relayout = false;
    for (TreeNode *p : parents) {
        relayout = relayout || showsChildrenOf(p);
        auto &kids = p->m_children;
        kids.erase(std::remove_if(kids.begin(), kids.end(), [&](TreeNode *c) { return doomed.count(c) > 0; }),
                   kids.end());
        for (size_t i = 0; i < kids.size(); ++i)
            kids[i]->m_index = int(i);
    }

    const int selectedBefore = m_selection.count();
    // Children before their parent, so nodeFreed never sees a parent without its record.
    for (TreeNode *top : tops) {
        std::vector<std::pair<TreeNode *, size_t>> stack{{top, 0}};
        while (!stack.empty()) {
            auto &[n, next] = stack.back();
            if (next < n->m_children.size()) {
                TreeNode *c = n->m_children[next++];
                stack.emplace_back(c, 0);
                continue;
            }
            TreeNode *done = n;
            stack.pop_back();
            done->m_children.clear();
            m_nodes.destroy(done, [this](TreeNode *gone) {
                forgetNode(gone);
                emit nodeFreed(gone);
            });
        }
    }
    if (relayout)
        requestLayout();
    else
        viewport()->update();
    if (m_selection.count() != selectedBefore)
        notifySelection(firstSelected());
}

void MemoTree::forgetHeights(TreeNode *top)
{
    // A new indent means a new wrap width for the whole subtree.
    std::vector<TreeNode *> stack{top};
    while (!stack.empty()) {
        TreeNode *n = stack.back();
        stack.pop_back();
        n->m_height = 0;
        stack.insert(stack.end(), n->m_children.begin(), n->m_children.end());
    }
}

void MemoTree::placeNodes(const std::vector<Placement> &placements)
{
    std::vector<Placement> valid;
    std::unordered_set<TreeNode *> moving;
    for (const Placement &p : placements) {
        TreeNode *dest = p.parent ? p.parent : m_nodes.root();
        if (m_nodes.contains(p.node) && (!p.parent || m_nodes.contains(p.parent)) && !TreeNodeStore::isInSubtree(dest, p.node)
            && moving.insert(p.node).second)
            valid.push_back({p.node, dest, p.index});
    }
    if (valid.empty())
        return;
    std::unordered_set<TreeNode *> touched;
    std::vector<std::pair<TreeNode *, int>> levels; // each node's level before the move
    for (const Placement &p : valid) {
        touched.insert(p.node->m_parent);
        touched.insert(p.parent);
        levels.emplace_back(p.node, p.node->level());
    }
    bool relayout = false;
    for (TreeNode *parent : touched) {
        relayout = relayout || showsChildrenOf(parent);
        auto &kids = parent->m_children;
        kids.erase(std::remove_if(kids.begin(), kids.end(), [&](TreeNode *c) { return moving.count(c) > 0; }),
                   kids.end());
    }
    // Ascending indexes per parent, merged into the children that stayed.
    std::stable_sort(valid.begin(), valid.end(), [](const Placement &a, const Placement &b) {
        return a.parent != b.parent ? std::less<TreeNode *>()(a.parent, b.parent) : a.index < b.index;
    });
    for (auto group = valid.begin(); group != valid.end();) {
        TreeNode *dest = group->parent;
        const auto end = std::find_if(group, valid.end(), [dest](const Placement &p) { return p.parent != dest; });
        std::vector<TreeNode *> merged;
        merged.reserve(dest->m_children.size() + size_t(end - group));
        auto stayed = dest->m_children.begin();
        for (auto p = group; p != end;) {
            if (p->index <= int(merged.size()) || stayed == dest->m_children.end())
                merged.push_back((p++)->node);
            else
                merged.push_back(*stayed++);
        }
        merged.insert(merged.end(), stayed, dest->m_children.end());
        dest->m_children = std::move(merged);
        for (TreeNode *node : dest->m_children)
            node->m_parent = dest;
        group = end;
    }
    for (TreeNode *parent : touched)
        for (size_t i = 0; i < parent->m_children.size(); ++i)
            parent->m_children[i]->m_index = int(i);
    bool selected = false;
    for (const auto &[node, level] : levels) {
        selected = selected || node->m_selected;
        if (node->level() != level)
            forgetHeights(node);
    }
    m_selection.nodesMoved(selected);
    if (relayout)
        requestLayout();
    else
        viewport()->update();
}

bool MemoTree::moveTo(TreeNode *node, TreeNode *target, AttachMode mode)
{
    if (!node || !m_nodes.contains(node) || (target && !m_nodes.contains(target)))
        return false;
    TreeNode *dest = target ? target : m_nodes.root();
    if (TreeNodeStore::isInSubtree(dest, node))
        return false;
    TreeNode *from = node->m_parent;
    const bool relayout = showsChildrenOf(from) || showsChildrenOf(dest);
    const int oldLevel = node->level();

    from->m_children.erase(from->m_children.begin() + node->m_index);
    for (size_t i = size_t(node->m_index); i < from->m_children.size(); ++i)
        from->m_children[i]->m_index = int(i);
    node->m_parent = dest;
    if (mode == AttachMode::AddChildFirst) {
        dest->m_children.insert(dest->m_children.begin(), node);
        for (size_t i = 0; i < dest->m_children.size(); ++i)
            dest->m_children[i]->m_index = int(i);
    } else {
        node->m_index = int(dest->m_children.size());
        dest->m_children.push_back(node);
    }

    if (node->level() != oldLevel)
        forgetHeights(node);
    m_selection.nodesMoved(node->m_selected);
    if (relayout)
        requestLayout();
    else
        viewport()->update();
    return true;
}

bool MemoTree::isAlive(TreeNode *node, uint64_t serial) const
{
    return m_nodes.isAlive(node, serial);
}

void MemoTree::setDelegate(MemoTreeDelegate *delegate)
{
    m_delegate = delegate ? delegate : &noDelegate();
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
    // What the user cannot see is never selected, so no command acts on a memo out of sight.
    if (m_selection.isEmpty())
        return;
    bool changed = false;
    std::vector<TreeNode *> pending;
    if (withTop)
        pending.push_back(top);
    else
        pending.assign(top->m_children.begin(), top->m_children.end());
    while (!pending.empty()) {
        TreeNode *n = pending.back();
        pending.pop_back();
        if (n->m_selected) {
            m_selection.remove(n);
            changed = true;
        }
        pending.insert(pending.end(), n->m_children.begin(), n->m_children.end());
    }
    if (!changed)
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
    return m_layout->count();
}

TreeNode *MemoTree::nodeAtRow(int row) const
{
    ensureLayout();
    return row >= 0 && row < m_layout->count() ? m_layout->node(row) : nullptr;
}

int MemoTree::rowOfNode(const TreeNode *node) const
{
    ensureLayout();
    return m_layout->rowOf(node);
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
    if (m_layout->rowOf(node) >= 0)
        viewport()->update();
}

void MemoTree::invalidateHeights()
{
    std::vector<TreeNode *> stack(m_nodes.root()->m_children.begin(), m_nodes.root()->m_children.end());
    while (!stack.empty()) {
        TreeNode *n = stack.back();
        stack.pop_back();
        n->m_height = 0;
        stack.insert(stack.end(), n->m_children.begin(), n->m_children.end());
    }
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
    auto less = [&](TreeNode *a, TreeNode *b) {
        return ascending ? d.compareNodes(a, b) < 0 : d.compareNodes(b, a) < 0;
    };
    std::vector<TreeNode *> stack{m_nodes.root()};
    while (!stack.empty()) {
        TreeNode *n = stack.back();
        stack.pop_back();
        std::stable_sort(n->m_children.begin(), n->m_children.end(), less);
        for (size_t i = 0; i < n->m_children.size(); ++i) {
            n->m_children[i]->m_index = int(i);
            if (!n->m_children[i]->m_children.empty())
                stack.push_back(n->m_children[i]);
        }
    }
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

    // Keep the node at the top of the view where it is (or its nearest shown ancestor), so
    // that expanding, hiding or adding rows elsewhere does not move what the user looks at.
    const int value = verticalScrollBar()->value();
    TreeNode *anchor = nullptr;
    int within = 0;
    // At the very top the view stays at the top, so nodes added first are seen.
    const int topRow = value > 0 ? m_layout->rowAt(value) : -1;
    if (topRow >= 0) {
        anchor = m_layout->node(topRow);
        within = value - m_layout->offset(topRow);
    }
    m_layout->rebuild(m_nodes.root(), estimatedHeight());
    TreeAccessible::rowsChanged(this);

    int newValue = value;
    for (TreeNode *n = anchor; n && n != m_nodes.root(); n = n->m_parent) {
        const int row = m_layout->rowOf(n);
        if (row < 0)
            continue;
        if (n == anchor) {
            // Measure the screen below the anchor now: with estimates only, the range could
            // shrink under the anchor and clamp the view somewhere else.
            int filled = -within;
            for (int r = row; r < m_layout->count() && filled < viewport()->height(); ++r) {
                measureRow(r);
                filled += m_layout->height(r);
            }
            newValue = m_layout->offset(row) + std::min(within, m_layout->height(row) - 1);
        } else {
            newValue = m_layout->offset(row);
        }
        break;
    }
    updateScrollRange();
    setScrollValue(newValue, m_inPaint);
    placeEditor();
    if (!m_inPaint)
        viewport()->update();
}

int MemoTree::lineHeight() const
{
    return fontMetrics().height();
}

int MemoTree::estimatedHeight() const
{
    return lineHeight() + 2 * kTextMarginV;
}

int MemoTree::layoutWidth() const
{
    return m_printWidth > 0 ? m_printWidth : viewport()->width();
}

int MemoTree::measureNode(TreeNode *node)
{
    // An owner that measures for itself is not second-guessed: laying the text out here too
    // would double the cost.
    int height = m_delegate->nodeHeight(node);
    if (height <= 0)
        height = std::max(textHeight(node, m_delegate->nodeText(node)), lineHeight()) + 2 * kTextMarginV;
    return height;
}

bool MemoTree::measureRow(int row)
{
    TreeNode *node = m_layout->node(row);
    if (!node || node->m_height > 0)
        return false;
    node->m_height = measureNode(node);
    m_layout->setHeight(row, node->m_height);
    return true;
}

void MemoTree::ensureMeasured(int row)
{
    const int old = m_layout->height(row);
    const int top = m_layout->offset(row);
    if (!measureRow(row) || m_layout->height(row) == old)
        return;
    QScrollBar *bar = verticalScrollBar();
    if (top < bar->value()) {
        // The row starts above the view: shift the scroll position with it so that what is
        // on screen stays put.
        updateScrollRange();
        setScrollValue(bar->value() + m_layout->height(row) - old, true);
    }
}

void MemoTree::settleViewport()
{
    // Measuring can move the scroll position (rows above the view) and shrink the range (near
    // the end); repeat until the rows on screen are all measured at the final position.
    QScrollBar *bar = verticalScrollBar();
    const int viewHeight = viewport()->height();
    for (int pass = 0; pass < 8; ++pass) {
        const int value = bar->value();
        const int first = m_layout->rowAt(value);
        if (first >= 0) {
            for (int row = first; row < m_layout->count() && m_layout->offset(row) < bar->value() + viewHeight; ++row)
                ensureMeasured(row);
        }
        updateScrollRange();
        if (bar->value() == value && (first < 0 || m_layout->rowAt(value) == first))
            break;
    }
}

void MemoTree::updateScrollRange()
{
    QScrollBar *bar = verticalScrollBar();
    const int viewHeight = viewport()->height();
    bar->setPageStep(std::max(1, viewHeight));
    bar->setSingleStep(std::max(1, lineHeight()));
    const bool wasQuiet = m_quietScroll;
    m_quietScroll = m_quietScroll || m_inPaint;
    bar->setRange(0, std::max(0, m_layout->total() - viewHeight));
    m_quietScroll = wasQuiet;
}

void MemoTree::setScrollValue(int value, bool quiet)
{
    const bool wasQuiet = m_quietScroll;
    m_quietScroll = m_quietScroll || quiet;
    verticalScrollBar()->setValue(value);
    m_quietScroll = wasQuiet;
}

void MemoTree::scrollContentsBy(int, int)
{
    placeEditor();
    if (m_quietScroll)
        return;
    viewport()->update();
    updateHotFromCursor();
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
        updateScrollRange();
    }
    placeEditor();
    viewport()->update();
}

// --- geometry ----------------------------------------------------------------------------

TreeNode *MemoTree::nodeAt(const QPoint &viewportPos) const
{
    ensureLayout();
    if (viewportPos.y() < 0 || viewportPos.y() >= viewport()->height())
        return nullptr;
    const int row = m_layout->rowAt(verticalScrollBar()->value() + viewportPos.y());
    return row >= 0 ? m_layout->node(row) : nullptr;
}

QRect MemoTree::nodeRect(TreeNode *node) const
{
    ensureLayout();
    const int row = m_layout->rowOf(node);
    if (row < 0)
        return QRect();
    return QRect(0, m_layout->offset(row) - verticalScrollBar()->value(), viewport()->width(), m_layout->height(row));
}

int MemoTree::imageIndexOf(TreeNode *node) const
{
    if (m_images.empty())
        return -1;
    const int index = m_delegate->nodeImageIndex(node);
    return index >= 0 && index < int(m_images.size()) ? index : -1;
}

int MemoTree::textLeft(TreeNode *node) const
{
    int x = kMarginLeft + node->level() * kIndent + kButtonWidth;
    if (imageIndexOf(node) >= 0)
        x += kImageSize + kImageGap;
    return x + kTextMarginLeft;
}

int MemoTree::textAreaWidth(TreeNode *node) const
{
    if (!node)
        return 1;
    return std::max(1, layoutWidth() - textLeft(node) - kTextMarginRight);
}

int MemoTree::textHeight(TreeNode *node, const QString &text) const
{
    return TreeText::wrappedHeight(font(), toLfLineBreaks(text), textAreaWidth(node));
}

void MemoTree::setImages(const std::vector<QIcon> &images)
{
    const bool hadImages = !m_images.empty();
    m_images = images;
    // Images narrow the text area; heights measured without them no longer hold.
    if (hadImages || !m_images.empty())
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
    if (node->m_selected && m_selection.count() == 1)
        return;
    m_selection.clear();
    m_selection.add(node);
    notifySelection(node);
}

void MemoTree::toggleSelected(TreeNode *node)
{
    if (node->m_selected) {
        m_selection.remove(node);
    } else {
        if (!m_selection.admits(node))
            m_selection.clear();
        m_selection.add(node);
    }
    notifySelection(node);
}

void MemoTree::selectRange(TreeNode *from, TreeNode *to, bool keep)
{
    if (!from || from->m_parent != to->m_parent) {
        selectOnly(to);
        return;
    }
    if (!keep || !m_selection.admits(to))
        m_selection.clear();
    const int lo = std::min(from->m_index, to->m_index);
    const int hi = std::max(from->m_index, to->m_index);
    for (int i = lo; i <= hi; ++i) {
        TreeNode *n = to->m_parent->m_children[size_t(i)];
        if (n->m_visible)
            m_selection.add(n);
    }
    notifySelection(to);
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
    bool changed = false;
    for (int row = 0; row < m_layout->count(); ++row) {
        TreeNode *n = m_layout->node(row);
        if (n && !n->m_selected) {
            m_selection.add(n);
            changed = true;
        }
    }
    if (!changed)
        return;
    if (!m_layoutDirty && m_selection.count() == m_layout->count()) {
        // The rows are in tree order already; no need to sort a large selection.
        std::vector<TreeNode *> rows;
        rows.reserve(size_t(m_layout->count()));
        for (int row = 0; row < m_layout->count(); ++row)
            if (TreeNode *n = m_layout->node(row))
                rows.push_back(n);
        m_selection.setInTreeOrder(std::move(rows));
    }
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
    int row = m_layout->rowOf(node);
    if (row < 0)
        return;
    QScrollBar *bar = verticalScrollBar();
    const int viewHeight = viewport()->height();
    ensureMeasured(row);
    int top = m_layout->offset(row);
    int height = m_layout->height(row);
    if (top < bar->value() || height >= viewHeight) {
        if (top != bar->value() && (top < bar->value() || top + height > bar->value() + viewHeight)) {
            updateScrollRange();
            setScrollValue(top, false);
        }
    } else if (top + height > bar->value() + viewHeight) {
        // Measure the rows that will share the screen with it first, so the final position
        // does not drift when they are painted.
        int filled = height;
        for (int r = row - 1; r >= 0 && filled < viewHeight; --r) {
            ensureMeasured(r);
            filled += m_layout->height(r);
        }
        top = m_layout->offset(row);
        updateScrollRange();
        setScrollValue(top + height - viewHeight, false);
    }
    updateScrollRange();
    viewport()->update();
}
