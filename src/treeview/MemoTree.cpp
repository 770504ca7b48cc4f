// SPDX-License-Identifier: GPL-3.0-or-later
#include "treeview/MemoTree.h"
#include "treeview/TreeAccessible.h"
#include <QScrollBar>
#include <algorithm>
#include <unordered_set>
#include <utility>

static MemoTreeDelegate &noDelegate()
{
    static MemoTreeDelegate answersNothing;
    return answersNothing;
}

MemoTree::MemoTree(QWidget *parent, TreeNodeStore::NodeFactory makeNode)
    : QAbstractScrollArea(parent), m_nodes(std::move(makeNode)),
      m_painter(*this),
      m_rows(m_nodes, *viewport(), *verticalScrollBar(), [this](TreeNode *node) { return m_painter.measure(node); },
             [this] { return m_painter.lineHeight(); }),
      m_focus(m_nodes),
      m_edit(viewport(), this, m_nodes),
      m_dragDrop(this),
      m_mouse(m_rows, m_focus, *this),
      m_keys(m_rows, m_focus, *this),
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

    connect(&m_rows, &TreeRows::laidOut, this, [this] {
        TreeAccessible::rowsChanged(this);
        placeEditor();
    });
    connect(&m_focus, &TreeFocus::selectionChanged, this, [this](TreeNode *node) {
        viewport()->update();
        TreeAccessible::selectionChanged(this, node);
        emit selectionChanged(node);
    });
    connect(&m_focus, &TreeFocus::focusMoved, this, [this](TreeNode *oldNode, TreeNode *newNode) {
        repaintNodes(oldNode, newNode);
        TreeAccessible::focusMoved(this, newNode);
    });
    connect(&m_edit, &TreeInlineEdit::committed, this, &MemoTree::editCommitted);
    connect(&m_edit, &TreeInlineEdit::ended, this, &MemoTree::editEnded);
    connect(&m_edit, &TreeInlineEdit::cancelled, this, &MemoTree::editCancelled);
    connect(&m_dragDrop, &TreeDragDrop::targetChanged, this, &MemoTree::repaintNodes);
    connect(&m_dragDrop, &TreeDragDrop::expandRequested, this, [this](TreeNode *node) { setExpanded(node, true); });
    connect(&m_mouse, &TreeMouse::hotChanged, this, [this](TreeNode *oldNode, TreeNode *newNode) {
        repaintNodes(oldNode, newNode);
        emit hoveredNodeChanged(oldNode, newNode);
    });
    connect(&m_mouse, &TreeMouse::moved, this, &MemoTree::mouseMoved);
    connect(&m_mouse, &TreeMouse::doubleClicked, this, &MemoTree::doubleClicked);
    m_dragDrop.setDelegate(m_delegate);
    m_painter.setDelegate(m_delegate);
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

void MemoTree::setDelegate(MemoTreeDelegate *delegate)
{
    m_delegate = delegate ? delegate : &noDelegate();
    m_dragDrop.setDelegate(m_delegate);
    m_painter.setDelegate(m_delegate);
    invalidateAll();
}

// --- nodes -------------------------------------------------------------------------------

TreeNode *MemoTree::addChild(TreeNode *parent)
{
    TreeNode *node = m_nodes.addChild(parent);
    if (m_rows.showsChildrenOf(node->m_parent))
        m_rows.requestLayout();
    else if (node->m_parent->m_children.size() == 1)
        repaintNode(parent); // its expand button appears
    return node;
}

void MemoTree::deleteNode(TreeNode *node)
{
    if (node && m_nodes.contains(node))
        deleteNodes({node});
}

void MemoTree::clear()
{
    cancelEditNode();
    clearSelection();
    deleteNodes(m_nodes.root()->m_children);
    m_rows.clear();
}

void MemoTree::forgetNode(TreeNode *node)
{
    m_rows.forget(node);
    m_focus.forget(node);
    m_dragDrop.forget(node);
    m_mouse.forget(node);
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
    const bool relayout = std::any_of(tops.begin(), tops.end(), [this](TreeNode *top) { return m_rows.showsChildrenOf(top->m_parent); });
    const int selectedBefore = selectedCount();
    // Children before their parent, so nodeFreed never sees a parent without its record.
    for (TreeNode *top : tops)
        m_nodes.destroy(top, [this](TreeNode *gone) {
            forgetNode(gone);
            emit nodeFreed(gone);
        });
    if (relayout)
        m_rows.requestLayout();
    else
        viewport()->update();
    if (selectedCount() != selectedBefore)
        m_focus.tell(firstSelected());
}

void MemoTree::placeNodes(const std::vector<Placement> &placements)
{
    // Decided before the move, while the rows still show where the nodes come from.
    bool relayout = false;
    for (const Placement &p : placements)
        if (m_nodes.contains(p.node) && (!p.parent || m_nodes.contains(p.parent)))
            relayout = relayout || m_rows.showsChildrenOf(p.node->m_parent) ||
                       m_rows.showsChildrenOf(p.parent ? p.parent : m_nodes.root());
    nodesMoved(m_nodes.place(placements), relayout);
}

bool MemoTree::moveTo(TreeNode *node, TreeNode *target, AttachMode mode)
{
    if (!node || !m_nodes.contains(node) || (target && !m_nodes.contains(target)))
        return false;
    TreeNode *dest = target ? target : m_nodes.root();
    if (TreeNodeStore::isInSubtree(dest, node))
        return false;
    const bool relayout = m_rows.showsChildrenOf(node->m_parent) || m_rows.showsChildrenOf(dest);
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
    m_focus.nodesMoved(moved.selected);
    if (relayout)
        m_rows.requestLayout();
    else
        viewport()->update();
}

void MemoTree::sortTree(bool ascending)
{
    const MemoTreeDelegate &d = *m_delegate;
    m_nodes.sort([&](TreeNode *a, TreeNode *b) { return ascending ? d.compareNodes(a, b) < 0 : d.compareNodes(b, a) < 0; });
    m_focus.nodesMoved(false);
    m_rows.requestLayout();
}

// --- update bracket and state -----------------------------------------------------------

void MemoTree::endUpdate()
{
    if (!m_rows.endUpdate())
        return;
    if (std::exchange(m_selectionNotifyPending, false))
        m_focus.tell(nullptr);
    m_rows.scrollToPending();
    placeEditor();
    viewport()->update();
}

void MemoTree::setExpanded(TreeNode *node, bool expanded)
{
    TreeNode *focused = focusedNode();
    if (!m_rows.setExpanded(node, expanded))
        return;
    if (!expanded && focused && focused != node && TreeNodeStore::isInSubtree(focused, node))
        m_focus.setFocused(node);
    if (!expanded)
        deselectHidden(node, false);
    if (expanded)
        emit nodeExpanded(node);
    else
        emit nodeCollapsed(node);
}

void MemoTree::setVisible(TreeNode *node, bool visible)
{
    if (m_rows.setVisible(node, visible) && !visible)
        deselectHidden(node, true);
}

void MemoTree::deselectHidden(TreeNode *top, bool withTop)
{
    // No command may act on a memo out of sight.
    if (!m_focus.deselectSubtree(top, withTop))
        return;
    if (m_rows.isUpdating())
        m_selectionNotifyPending = true; // one notice when the update ends
    else
        m_focus.tell(nullptr);
}

void MemoTree::setFocusedNode(TreeNode *node)
{
    if (node && !m_nodes.contains(node))
        return;
    m_focus.setFocused(node);
    if (node) {
        m_focus.setAnchor(node);
        m_rows.scrollTo(node);
    }
}

void MemoTree::repaintNodes(TreeNode *oldNode, TreeNode *newNode)
{
    for (TreeNode *node : {oldNode, newNode})
        if (node)
            repaintNode(node);
}

void MemoTree::setImages(const std::vector<QIcon> &images)
{
    const bool hadImages = m_painter.hasImages();
    m_painter.setImages(images);
    // Images narrow the text area; heights measured without them no longer hold.
    if (hadImages || m_painter.hasImages())
        invalidateAll();
}

// --- the view's own events ---------------------------------------------------------------

void MemoTree::scrollContentsBy(int, int)
{
    placeEditor();
    if (m_rows.scroller().isQuiet())
        return;
    viewport()->update();
    m_mouse.updateHotFromCursor();
}

void MemoTree::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    m_rows.widthChanged(viewport()->width());
    placeEditor();
    viewport()->update();
}

void MemoTree::takeFocus()
{
    if (!hasFocus())
        setFocus(Qt::MouseFocusReason);
}

bool MemoTree::isOnExpandButton(TreeNode *node, const QPoint &pos) const
{
    return m_painter.parts(node, nodeRect(node)).button.contains(pos);
}
