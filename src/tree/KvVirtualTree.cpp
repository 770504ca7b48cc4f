#include "tree/KvVirtualTree.h"
#include "tree/KvTreeAccessible.h"
#include "tree/KvTreeEditor.h"
#include "tree/KvTreeLayout.h"
#include "tree/KvTreeMetrics.h"
#include "tree/KvTreeText.h"
#include <QScrollBar>
#include <QTimer>
#include <algorithm>

using namespace KvTreeMetrics;

KvVirtualTree::KvVirtualTree(QWidget *parent)
    : QAbstractScrollArea(parent), FLayout(std::make_unique<KvTreeLayout>()), FRoot(std::make_unique<KvTreeNode>())
{
    FRoot->FExpanded = true;
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Always on: a scroll bar that comes and goes changes the width, which re-wraps every
    // row, which can make it come and go again.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    viewport()->setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAcceptDrops(true);
    setAcceptDrops(true);

    FExpandTimer = new QTimer(this);
    FExpandTimer->setSingleShot(true);
    FExpandTimer->setInterval(700);
    connect(FExpandTimer, &QTimer::timeout, this, [this] {
        if (FDropTarget && FDropTarget->childCount() > 0 && !FDropTarget->isExpanded())
            setExpanded(FDropTarget, true);
    });
    FClickEditTimer = new QTimer(this);
    FClickEditTimer->setSingleShot(true);
    connect(FClickEditTimer, &QTimer::timeout, this, [this] {
        if (isAlive(FClickEditNode, FClickEditSerial) && FClickEditNode->FSelected && !FEditor)
            editNode(FClickEditNode);
        FClickEditNode = nullptr;
    });
    FScrollTimer = new QTimer(this);
    FScrollTimer->setInterval(50);
    connect(FScrollTimer, &QTimer::timeout, this, &KvVirtualTree::dragAutoScroll);
    KvTreeAccessible::install();
}

KvVirtualTree::~KvVirtualTree()
{
    // The owner is usually being destroyed too: no callback may reach it any more.
    OnFreeNode = nullptr;
    OnChange = nullptr;
    OnEditCancelled = nullptr;
    OnEdited = nullptr;
    OnNewText = nullptr;
    OnHotChange = nullptr;
    if (FEditor) {
        FEditor->disconnect(this);
        delete FEditor;
    }
    std::vector<KvTreeNode *> stack(FRoot->FChildren.begin(), FRoot->FChildren.end());
    while (!stack.empty()) {
        KvTreeNode *n = stack.back();
        stack.pop_back();
        stack.insert(stack.end(), n->FChildren.begin(), n->FChildren.end());
        delete n;
    }
    FRoot->FChildren.clear();
}

// --- nodes -------------------------------------------------------------------------------

KvTreeNode *KvVirtualTree::addChild(KvTreeNode *parent)
{
    KvTreeNode *owner = parent ? parent : FRoot.get();
    auto *node = new KvTreeNode;
    node->FParent = owner;
    node->FIndex = int(owner->FChildren.size());
    node->FSerial = FNextSerial++;
    owner->FChildren.push_back(node);
    FLive.insert(node);
    if (showsChildrenOf(owner))
        requestLayout();
    else if (owner->FChildren.size() == 1)
        repaintNode(parent); // its expand button appears
    return node;
}

bool KvVirtualTree::isInSubtree(const KvTreeNode *node, const KvTreeNode *top)
{
    for (const KvTreeNode *n = node; n; n = n->FParent)
        if (n == top)
            return true;
    return false;
}

void KvVirtualTree::deleteNode(KvTreeNode *node)
{
    if (node && FLive.count(node))
        deleteNodes({node});
}

void KvVirtualTree::deleteSelectedNodes()
{
    deleteNodes(selectedNodes());
}

void KvVirtualTree::clear()
{
    cancelEditNode();
    clearSelection();
    deleteNodes(FRoot->FChildren);
    FLayout->clear();
    FLayoutDirty = true;
    verticalScrollBar()->setValue(0);
}

void KvVirtualTree::forgetNode(KvTreeNode *node)
{
    FLive.erase(node);
    FLayout->forget(node);
    if (node->FSelected) {
        node->FSelected = false;
        FSelection.erase(node);
        FSelectionOrderDirty = true;
    }
    for (KvTreeNode **p : {&FFocused, &FHot, &FAnchor, &FPressNode, &FDeferredSelect, &FPendingScroll, &FDropTarget})
        if (*p == node)
            *p = nullptr;
}

void KvVirtualTree::deleteNodes(const std::vector<KvTreeNode *> &requested)
{
    // Remember serials: callbacks below (edit cancel) may delete some of these themselves.
    std::vector<std::pair<KvTreeNode *, uint64_t>> wanted;
    wanted.reserve(requested.size());
    for (KvTreeNode *n : requested)
        if (n && FLive.count(n))
            wanted.emplace_back(n, n->FSerial);
    if (wanted.empty())
        return;

    if (FEditNode) {
        for (const auto &w : wanted)
            if (isInSubtree(FEditNode, w.first)) {
                cancelEditNode();
                break;
            }
    }

    std::unordered_set<KvTreeNode *> doomed;
    for (const auto &w : wanted)
        if (isAlive(w.first, w.second))
            doomed.insert(w.first);
    // Only subtree tops are detached; a node below another doomed node goes with it.
    std::vector<KvTreeNode *> tops;
    for (KvTreeNode *n : doomed) {
        bool covered = false;
        for (KvTreeNode *p = n->FParent; p && !covered; p = p->FParent)
            covered = doomed.count(p) > 0;
        if (!covered)
            tops.push_back(n);
    }
    if (tops.empty())
        return;

    // One pass per parent keeps deleting many siblings linear.
    std::unordered_set<KvTreeNode *> parents;
    for (KvTreeNode *n : tops)
        parents.insert(n->FParent);
    bool relayout = false;
    for (KvTreeNode *p : parents) {
        relayout = relayout || showsChildrenOf(p);
        auto &kids = p->FChildren;
        kids.erase(std::remove_if(kids.begin(), kids.end(), [&](KvTreeNode *c) { return doomed.count(c) > 0; }),
                   kids.end());
        for (size_t i = 0; i < kids.size(); ++i)
            kids[i]->FIndex = int(i);
    }

    const size_t selectedBefore = FSelection.size();
    // Children before their parent, so OnFreeNode never sees a parent without its record.
    for (KvTreeNode *top : tops) {
        std::vector<std::pair<KvTreeNode *, size_t>> stack{{top, 0}};
        while (!stack.empty()) {
            auto &[n, next] = stack.back();
            if (next < n->FChildren.size()) {
                KvTreeNode *c = n->FChildren[next++];
                stack.emplace_back(c, 0);
                continue;
            }
            KvTreeNode *done = n;
            stack.pop_back();
            done->FChildren.clear();
            forgetNode(done);
            if (OnFreeNode)
                OnFreeNode(done);
            delete done;
        }
    }
    if (FSelection.empty()) {
        FSelectionParent = nullptr;
        FSelectionMixed = false;
    }
    if (relayout)
        requestLayout();
    else
        viewport()->update();
    if (FSelection.size() != selectedBefore)
        notifySelection(firstSelected());
}

bool KvVirtualTree::moveTo(KvTreeNode *node, KvTreeNode *target, AttachMode mode)
{
    if (!node || !FLive.count(node) || (target && !FLive.count(target)))
        return false;
    KvTreeNode *dest = target ? target : FRoot.get();
    if (isInSubtree(dest, node))
        return false;
    KvTreeNode *from = node->FParent;
    const bool relayout = showsChildrenOf(from) || showsChildrenOf(dest);
    const int oldLevel = node->level();

    from->FChildren.erase(from->FChildren.begin() + node->FIndex);
    for (size_t i = size_t(node->FIndex); i < from->FChildren.size(); ++i)
        from->FChildren[i]->FIndex = int(i);
    node->FParent = dest;
    if (mode == AttachMode::AddChildFirst) {
        dest->FChildren.insert(dest->FChildren.begin(), node);
        for (size_t i = 0; i < dest->FChildren.size(); ++i)
            dest->FChildren[i]->FIndex = int(i);
    } else {
        node->FIndex = int(dest->FChildren.size());
        dest->FChildren.push_back(node);
    }

    if (node->level() != oldLevel) {
        // A new indent means a new wrap width for the whole subtree.
        std::vector<KvTreeNode *> stack{node};
        while (!stack.empty()) {
            KvTreeNode *n = stack.back();
            stack.pop_back();
            n->FHeight = 0;
            stack.insert(stack.end(), n->FChildren.begin(), n->FChildren.end());
        }
    }
    FSelectionOrderDirty = true;
    if (node->FSelected)
        recomputeSelectionParent();
    if (relayout)
        requestLayout();
    else
        viewport()->update();
    return true;
}

bool KvVirtualTree::isAlive(KvTreeNode *node, uint64_t serial) const
{
    return node && FLive.count(node) && node->FSerial == serial;
}

int KvVirtualTree::topLevelCount() const
{
    return FRoot->childCount();
}

KvTreeNode *KvVirtualTree::topLevelNode(int i) const
{
    return i >= 0 && i < FRoot->childCount() ? FRoot->child(i) : nullptr;
}

KvTreeNode *KvVirtualTree::firstNode() const
{
    return FRoot->firstChild();
}

KvTreeNode *KvVirtualTree::lastTopLevelNode() const
{
    return FRoot->lastChild();
}

KvTreeNode *KvVirtualTree::nextNode(KvTreeNode *node) const
{
    if (!node)
        return nullptr;
    if (!node->FChildren.empty())
        return node->FChildren.front();
    for (KvTreeNode *n = node; n && n != FRoot.get(); n = n->FParent)
        if (KvTreeNode *s = n->nextSibling())
            return s;
    return nullptr;
}

int KvVirtualTree::totalCount() const
{
    return int(FLive.size());
}

// --- update bracket ----------------------------------------------------------------------

void KvVirtualTree::beginUpdate()
{
    ++FUpdateCount;
}

void KvVirtualTree::endUpdate()
{
    if (FUpdateCount == 0 || --FUpdateCount > 0)
        return;
    doLayout();
    if (FSelectionNotifyPending) {
        FSelectionNotifyPending = false;
        notifySelection(nullptr);
    }
    if (FPendingScroll) {
        KvTreeNode *n = FPendingScroll;
        FPendingScroll = nullptr;
        scrollIntoView(n);
    }
    placeEditor();
    viewport()->update();
}

// --- state -------------------------------------------------------------------------------

bool KvVirtualTree::showsChildrenOf(const KvTreeNode *parent) const
{
    if (parent == FRoot.get())
        return true;
    return parent->FExpanded && isEffectivelyVisible(const_cast<KvTreeNode *>(parent));
}

void KvVirtualTree::setExpanded(KvTreeNode *node, bool expanded)
{
    if (!node || node->FExpanded == expanded)
        return;
    node->FExpanded = expanded;
    if (!expanded && FFocused && FFocused != node && isInSubtree(FFocused, node))
        setFocusedQuietly(node);
    if (!expanded)
        deselectHidden(node, false);
    if (!node->FChildren.empty() && isEffectivelyVisible(node))
        requestLayout();
    if (expanded) {
        if (OnExpanded)
            OnExpanded(node);
    } else if (OnCollapsed) {
        OnCollapsed(node);
    }
}

void KvVirtualTree::setVisible(KvTreeNode *node, bool visible)
{
    if (!node || node->FVisible == visible)
        return;
    node->FVisible = visible;
    if (!visible)
        deselectHidden(node, true);
    if (showsChildrenOf(node->FParent))
        requestLayout();
}

void KvVirtualTree::deselectHidden(KvTreeNode *top, bool withTop)
{
    // What the user cannot see is never selected, so no command acts on a memo out of sight.
    if (FSelection.empty())
        return;
    bool changed = false;
    std::vector<KvTreeNode *> pending;
    if (withTop)
        pending.push_back(top);
    else
        pending.assign(top->FChildren.begin(), top->FChildren.end());
    while (!pending.empty()) {
        KvTreeNode *n = pending.back();
        pending.pop_back();
        if (n->FSelected) {
            removeSelected(n);
            changed = true;
        }
        pending.insert(pending.end(), n->FChildren.begin(), n->FChildren.end());
    }
    if (!changed)
        return;
    if (FUpdateCount)
        FSelectionNotifyPending = true; // one notice when the update ends
    else
        notifySelection(nullptr);
}

bool KvVirtualTree::isEffectivelyVisible(KvTreeNode *node) const
{
    if (!node)
        return false;
    for (const KvTreeNode *n = node; n && n != FRoot.get(); n = n->FParent) {
        if (!n->FVisible || (n != node && !n->FExpanded))
            return false;
    }
    return true;
}

int KvVirtualTree::visibleCount() const
{
    ensureLayout();
    return FLayout->count();
}

KvTreeNode *KvVirtualTree::nodeAtRow(int row) const
{
    ensureLayout();
    return row >= 0 && row < FLayout->count() ? FLayout->node(row) : nullptr;
}

int KvVirtualTree::rowOfNode(const KvTreeNode *node) const
{
    ensureLayout();
    return FLayout->rowOf(node);
}

void KvVirtualTree::setMultiline(KvTreeNode *node, bool multiline)
{
    if (!node || node->FMultiline == multiline)
        return;
    node->FMultiline = multiline;
    invalidateNode(node);
}

void KvVirtualTree::setVerticalAlignment(KvTreeNode *node, int percent)
{
    if (!node)
        return;
    percent = std::clamp(percent, 0, 100);
    if (node->FVerticalAlignment == percent)
        return;
    node->FVerticalAlignment = percent;
    repaintNode(node);
}

void KvVirtualTree::invalidateNode(KvTreeNode *node)
{
    if (!node)
        return;
    // The row keeps its old height until it is painted or otherwise needed: usually the best
    // guess there is, and it leaves rows off screen alone.
    node->FHeight = 0;
    if (FLayout->rowOf(node) >= 0)
        viewport()->update();
}

void KvVirtualTree::invalidateHeights()
{
    std::vector<KvTreeNode *> stack(FRoot->FChildren.begin(), FRoot->FChildren.end());
    while (!stack.empty()) {
        KvTreeNode *n = stack.back();
        stack.pop_back();
        n->FHeight = 0;
        stack.insert(stack.end(), n->FChildren.begin(), n->FChildren.end());
    }
    // A relayout gives every row its estimate again and keeps the top row in place.
    FLayoutDirty = true;
}

void KvVirtualTree::invalidateAll()
{
    invalidateHeights();
    if (!FUpdateCount)
        doLayout();
    viewport()->update();
}

void KvVirtualTree::repaintNode(KvTreeNode *node)
{
    if (FUpdateCount)
        return; // everything is painted at endUpdate
    if (FLayoutDirty) {
        viewport()->update(); // the coming layout repaints all; don't lay out for one row
        return;
    }
    const QRect r = nodeRect(node);
    if (!r.isEmpty())
        viewport()->update(r);
}

void KvVirtualTree::sortTree(bool ascending)
{
    if (!OnCompareNodes)
        return;
    const auto &compare = OnCompareNodes;
    auto less = [&](KvTreeNode *a, KvTreeNode *b) { return ascending ? compare(a, b) < 0 : compare(b, a) < 0; };
    std::vector<KvTreeNode *> stack{FRoot.get()};
    while (!stack.empty()) {
        KvTreeNode *n = stack.back();
        stack.pop_back();
        std::stable_sort(n->FChildren.begin(), n->FChildren.end(), less);
        for (size_t i = 0; i < n->FChildren.size(); ++i) {
            n->FChildren[i]->FIndex = int(i);
            if (!n->FChildren[i]->FChildren.empty())
                stack.push_back(n->FChildren[i]);
        }
    }
    FSelectionOrderDirty = true;
    requestLayout();
}

// --- layout and measuring ----------------------------------------------------------------

void KvVirtualTree::requestLayout()
{
    FLayoutDirty = true;
    if (!FUpdateCount)
        viewport()->update();
}

void KvVirtualTree::ensureLayout() const
{
    // Laid out lazily, at the first query or paint: many changes outside a bracket still
    // cost one layout.
    if (FLayoutDirty && !FUpdateCount)
        const_cast<KvVirtualTree *>(this)->doLayout();
}

void KvVirtualTree::doLayout()
{
    if (!FLayoutDirty || FUpdateCount)
        return;
    FLayoutDirty = false;

    // Keep the node at the top of the view where it is (or its nearest shown ancestor), so
    // that expanding, hiding or adding rows elsewhere does not move what the user looks at.
    const int value = verticalScrollBar()->value();
    KvTreeNode *anchor = nullptr;
    int within = 0;
    // At the very top the view stays at the top, so nodes added first are seen.
    const int topRow = value > 0 ? FLayout->rowAt(value) : -1;
    if (topRow >= 0) {
        anchor = FLayout->node(topRow);
        within = value - FLayout->offset(topRow);
    }
    FLayout->rebuild(FRoot.get(), estimatedHeight());
    KvTreeAccessible::rowsChanged(this);

    int newValue = value;
    for (KvTreeNode *n = anchor; n && n != FRoot.get(); n = n->FParent) {
        const int row = FLayout->rowOf(n);
        if (row < 0)
            continue;
        if (n == anchor) {
            // Measure the screen below the anchor now: with estimates only, the range could
            // shrink under the anchor and clamp the view somewhere else.
            int filled = -within;
            for (int r = row; r < FLayout->count() && filled < viewport()->height(); ++r) {
                measureRow(r);
                filled += FLayout->height(r);
            }
            newValue = FLayout->offset(row) + std::min(within, FLayout->height(row) - 1);
        } else {
            newValue = FLayout->offset(row);
        }
        break;
    }
    updateScrollRange();
    setScrollValue(newValue, FInPaint);
    placeEditor();
    if (!FInPaint)
        viewport()->update();
}

int KvVirtualTree::lineHeight() const
{
    return fontMetrics().height();
}

int KvVirtualTree::estimatedHeight() const
{
    return lineHeight() + 2 * kTextMarginV;
}

int KvVirtualTree::layoutWidth() const
{
    return FPrintWidth > 0 ? FPrintWidth : viewport()->width();
}

int KvVirtualTree::measureNode(KvTreeNode *node)
{
    int height = estimatedHeight();
    if (OnMeasureItem) {
        // The owner measures for itself; laying the text out here too would double the cost.
        OnMeasureItem(node, height);
    } else {
        const QString text = OnGetText ? OnGetText(node) : QString();
        height = std::max(textHeight(node, text), lineHeight()) + 2 * kTextMarginV;
    }
    return std::max(1, height);
}

bool KvVirtualTree::measureRow(int row)
{
    KvTreeNode *node = FLayout->node(row);
    if (!node || node->FHeight > 0)
        return false;
    node->FHeight = measureNode(node);
    FLayout->setHeight(row, node->FHeight);
    return true;
}

void KvVirtualTree::ensureMeasured(int row)
{
    const int old = FLayout->height(row);
    const int top = FLayout->offset(row);
    if (!measureRow(row) || FLayout->height(row) == old)
        return;
    QScrollBar *bar = verticalScrollBar();
    if (top < bar->value()) {
        // The row starts above the view: shift the scroll position with it so that what is
        // on screen stays put.
        updateScrollRange();
        setScrollValue(bar->value() + FLayout->height(row) - old, true);
    }
}

void KvVirtualTree::settleViewport()
{
    // Measuring can move the scroll position (rows above the view) and shrink the range (near
    // the end); repeat until the rows on screen are all measured at the final position.
    QScrollBar *bar = verticalScrollBar();
    const int viewHeight = viewport()->height();
    for (int pass = 0; pass < 8; ++pass) {
        const int value = bar->value();
        const int first = FLayout->rowAt(value);
        if (first >= 0) {
            for (int row = first; row < FLayout->count() && FLayout->offset(row) < bar->value() + viewHeight; ++row)
                ensureMeasured(row);
        }
        updateScrollRange();
        if (bar->value() == value && (first < 0 || FLayout->rowAt(value) == first))
            break;
    }
}

void KvVirtualTree::updateScrollRange()
{
    QScrollBar *bar = verticalScrollBar();
    const int viewHeight = viewport()->height();
    bar->setPageStep(std::max(1, viewHeight));
    bar->setSingleStep(std::max(1, lineHeight()));
    const bool wasQuiet = FQuietScroll;
    FQuietScroll = FQuietScroll || FInPaint;
    bar->setRange(0, std::max(0, FLayout->total() - viewHeight));
    FQuietScroll = wasQuiet;
}

void KvVirtualTree::setScrollValue(int value, bool quiet)
{
    const bool wasQuiet = FQuietScroll;
    FQuietScroll = FQuietScroll || quiet;
    verticalScrollBar()->setValue(value);
    FQuietScroll = wasQuiet;
}

void KvVirtualTree::scrollContentsBy(int, int)
{
    placeEditor();
    if (FQuietScroll)
        return;
    viewport()->update();
    updateHotFromCursor();
}

void KvVirtualTree::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    const int width = viewport()->width();
    if (width != FLastWidth) {
        FLastWidth = width;
        invalidateHeights(); // every row wraps anew
    }
    if (!FUpdateCount) {
        doLayout();
        updateScrollRange();
    }
    placeEditor();
    viewport()->update();
}

// --- geometry ----------------------------------------------------------------------------

KvTreeNode *KvVirtualTree::nodeAt(const QPoint &viewportPos) const
{
    ensureLayout();
    if (viewportPos.y() < 0 || viewportPos.y() >= viewport()->height())
        return nullptr;
    const int row = FLayout->rowAt(verticalScrollBar()->value() + viewportPos.y());
    return row >= 0 ? FLayout->node(row) : nullptr;
}

QRect KvVirtualTree::nodeRect(KvTreeNode *node) const
{
    ensureLayout();
    const int row = FLayout->rowOf(node);
    if (row < 0)
        return QRect();
    return QRect(0, FLayout->offset(row) - verticalScrollBar()->value(), viewport()->width(), FLayout->height(row));
}

int KvVirtualTree::imageIndexOf(KvTreeNode *node) const
{
    if (FImages.empty() || !OnGetImageIndex)
        return -1;
    const int index = OnGetImageIndex(node);
    return index >= 0 && index < int(FImages.size()) ? index : -1;
}

int KvVirtualTree::textLeft(KvTreeNode *node) const
{
    int x = kMarginLeft + node->level() * kIndent + kButtonWidth;
    if (imageIndexOf(node) >= 0)
        x += kImageSize + kImageGap;
    return x + kTextMarginLeft;
}

int KvVirtualTree::textAreaWidth(KvTreeNode *node) const
{
    if (!node)
        return 1;
    return std::max(1, layoutWidth() - textLeft(node) - kTextMarginRight);
}

int KvVirtualTree::textHeight(KvTreeNode *node, const QString &text) const
{
    return KvTreeText::wrappedHeight(font(), KvTreeText::normalizeLineBreaks(text), textAreaWidth(node));
}

void KvVirtualTree::setImages(const std::vector<QIcon> &images)
{
    const bool hadImages = !FImages.empty();
    FImages = images;
    // Images narrow the text area; heights measured without them no longer hold.
    if (hadImages || !FImages.empty())
        invalidateAll();
}

void KvVirtualTree::setHint(const QString &hint)
{
    FHint = hint;
}

// --- selection and focus -----------------------------------------------------------------

bool KvVirtualTree::isSelectionSibling(const KvTreeNode *node) const
{
    return FSelection.empty() || (!FSelectionMixed && FSelectionParent == node->FParent);
}

void KvVirtualTree::addSelected(KvTreeNode *node)
{
    if (node->FSelected)
        return;
    if (FSelection.empty()) {
        FSelectionParent = node->FParent;
        FSelectionMixed = false;
    } else if (FSelectionParent != node->FParent) {
        FSelectionMixed = true;
    }
    node->FSelected = true;
    FSelection.insert(node);
    FSelectionOrderDirty = true;
}

void KvVirtualTree::removeSelected(KvTreeNode *node)
{
    if (!node->FSelected)
        return;
    node->FSelected = false;
    FSelection.erase(node);
    FSelectionOrderDirty = true;
    if (FSelection.empty()) {
        FSelectionParent = nullptr;
        FSelectionMixed = false;
    }
}

bool KvVirtualTree::clearSelectionSilently()
{
    if (FSelection.empty())
        return false;
    for (KvTreeNode *n : FSelection)
        n->FSelected = false;
    FSelection.clear();
    FSelectionOrder.clear();
    FSelectionOrderDirty = false;
    FSelectionParent = nullptr;
    FSelectionMixed = false;
    return true;
}

void KvVirtualTree::recomputeSelectionParent()
{
    FSelectionParent = nullptr;
    FSelectionMixed = false;
    for (const KvTreeNode *n : FSelection) {
        if (!FSelectionParent)
            FSelectionParent = n->FParent;
        else if (FSelectionParent != n->FParent)
            FSelectionMixed = true;
    }
}

void KvVirtualTree::notifySelection(KvTreeNode *node)
{
    viewport()->update();
    KvTreeAccessible::selectionChanged(this, node);
    if (OnChange)
        OnChange(node);
}

void KvVirtualTree::selectOnly(KvTreeNode *node)
{
    if (node->FSelected && FSelection.size() == 1)
        return;
    clearSelectionSilently();
    addSelected(node);
    notifySelection(node);
}

void KvVirtualTree::toggleSelected(KvTreeNode *node)
{
    if (node->FSelected) {
        removeSelected(node);
    } else {
        if (!isSelectionSibling(node))
            clearSelectionSilently();
        addSelected(node);
    }
    notifySelection(node);
}

void KvVirtualTree::selectRange(KvTreeNode *from, KvTreeNode *to, bool keep)
{
    if (!from || from->FParent != to->FParent) {
        selectOnly(to);
        return;
    }
    if (!keep || !isSelectionSibling(to))
        clearSelectionSilently();
    const int lo = std::min(from->FIndex, to->FIndex);
    const int hi = std::max(from->FIndex, to->FIndex);
    for (int i = lo; i <= hi; ++i) {
        KvTreeNode *n = to->FParent->FChildren[size_t(i)];
        if (n->FVisible)
            addSelected(n);
    }
    notifySelection(to);
}

void KvVirtualTree::setSelected(KvTreeNode *node, bool selected)
{
    if (!node || node->FSelected == selected)
        return;
    if (selected) {
        if (!isSelectionSibling(node))
            clearSelectionSilently();
        addSelected(node);
        FAnchor = node;
    } else {
        removeSelected(node);
    }
    notifySelection(node);
}

void KvVirtualTree::clearSelection()
{
    if (clearSelectionSilently())
        notifySelection(nullptr);
}

void KvVirtualTree::selectAllVisible()
{
    ensureLayout();
    bool changed = false;
    for (int row = 0; row < FLayout->count(); ++row) {
        KvTreeNode *n = FLayout->node(row);
        if (n && !n->FSelected) {
            addSelected(n);
            changed = true;
        }
    }
    if (!changed)
        return;
    if (!FLayoutDirty && int(FSelection.size()) == FLayout->count()) {
        // The rows are in tree order already; no need to sort a large selection.
        FSelectionOrder.clear();
        for (int row = 0; row < FLayout->count(); ++row)
            if (KvTreeNode *n = FLayout->node(row))
                FSelectionOrder.push_back(n);
        FSelectionOrderDirty = false;
    }
    notifySelection(FFocused && FFocused->FSelected ? FFocused : firstSelected());
}

namespace {

int depthOf(const KvTreeNode *n)
{
    return n->level();
}

// Tree order: a node before its descendants, siblings by index.
bool treeLess(const KvTreeNode *a, const KvTreeNode *b)
{
    if (a == b)
        return false;
    int da = depthOf(a), db = depthOf(b);
    while (da > db) {
        const KvTreeNode *pa = a->parent();
        if (pa == b)
            return false; // b is an ancestor of a
        a = pa;
        --da;
    }
    while (db > da) {
        const KvTreeNode *pb = b->parent();
        if (pb == a)
            return true;
        b = pb;
        --db;
    }
    while (a->parent() != b->parent()) {
        a = a->parent();
        b = b->parent();
    }
    return a->index() < b->index();
}

} // namespace

void KvVirtualTree::sortSelection() const
{
    if (!FSelectionOrderDirty)
        return;
    FSelectionOrder.assign(FSelection.begin(), FSelection.end());
    std::sort(FSelectionOrder.begin(), FSelectionOrder.end(), treeLess);
    FSelectionOrderDirty = false;
}

KvTreeNode *KvVirtualTree::firstSelected() const
{
    sortSelection();
    return FSelectionOrder.empty() ? nullptr : FSelectionOrder.front();
}

KvTreeNode *KvVirtualTree::nextSelected(KvTreeNode *node) const
{
    if (!node)
        return nullptr;
    sortSelection();
    auto it = std::upper_bound(FSelectionOrder.begin(), FSelectionOrder.end(), node, treeLess);
    return it == FSelectionOrder.end() ? nullptr : *it;
}

std::vector<KvTreeNode *> KvVirtualTree::selectedNodes() const
{
    sortSelection();
    return FSelectionOrder;
}

int KvVirtualTree::selectedCount() const
{
    return int(FSelection.size());
}

void KvVirtualTree::setFocusedQuietly(KvTreeNode *node)
{
    if (FFocused == node)
        return;
    KvTreeNode *old = FFocused;
    FFocused = node;
    if (old)
        repaintNode(old);
    if (node)
        repaintNode(node);
    KvTreeAccessible::focusMoved(this, node);
}

void KvVirtualTree::setFocusedNode(KvTreeNode *node)
{
    if (node && !FLive.count(node))
        return;
    setFocusedQuietly(node);
    if (node) {
        FAnchor = node;
        scrollIntoView(node);
    }
}

void KvVirtualTree::scrollIntoView(KvTreeNode *node)
{
    if (!node)
        return;
    if (FUpdateCount) {
        FPendingScroll = node;
        return;
    }
    ensureLayout();
    int row = FLayout->rowOf(node);
    if (row < 0)
        return;
    QScrollBar *bar = verticalScrollBar();
    const int viewHeight = viewport()->height();
    ensureMeasured(row);
    int top = FLayout->offset(row);
    int height = FLayout->height(row);
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
            filled += FLayout->height(r);
        }
        top = FLayout->offset(row);
        updateScrollRange();
        setScrollValue(top + height - viewHeight, false);
    }
    updateScrollRange();
    viewport()->update();
}
