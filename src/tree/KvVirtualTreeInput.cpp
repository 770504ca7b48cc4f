#include "tree/KvTreeLayout.h"
#include "tree/KvVirtualTree.h"
#include <QApplication>
#include <QDrag>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPointer>
#include <QScrollBar>
#include <QTimer>
#include <QToolTip>

namespace {

const QString kDragMimeType = QStringLiteral("application/x-korvel-jotwell-tree-node");
constexpr int kAutoScrollMargin = 16;

} // namespace

// --- hot node ----------------------------------------------------------------------------

void KvVirtualTree::setHot(KvTreeNode *node)
{
    if (node == FHot)
        return;
    KvTreeNode *old = FHot;
    FHot = node;
    if (old)
        repaintNode(old);
    if (node)
        repaintNode(node);
    if (OnHotChange)
        OnHotChange(old, node);
}

void KvVirtualTree::updateHotFromCursor()
{
    if (!viewport()->underMouse())
        return;
    setHot(nodeAt(viewport()->mapFromGlobal(QCursor::pos())));
}

bool KvVirtualTree::viewportEvent(QEvent *event)
{
    switch (event->type()) {
    case QEvent::Leave:
        setHot(nullptr);
        break;
    case QEvent::ToolTip: {
        // The hint explains what a click on blank space does; rows have no tooltip.
        auto *help = static_cast<QHelpEvent *>(event);
        if (!nodeAt(help->pos()) && !FHint.isEmpty())
            QToolTip::showText(help->globalPos(), FHint, viewport());
        else
            QToolTip::hideText();
        return true;
    }
    default:
        break;
    }
    return QAbstractScrollArea::viewportEvent(event);
}

void KvVirtualTree::leaveEvent(QEvent *event)
{
    setHot(nullptr);
    QAbstractScrollArea::leaveEvent(event);
}

// --- mouse -------------------------------------------------------------------------------

void KvVirtualTree::mousePressEvent(QMouseEvent *event)
{
    // Taking focus commits an open editor before the click does anything else.
    if (!hasFocus())
        setFocus(Qt::MouseFocusReason);
    const QPoint pos = event->position().toPoint();
    KvTreeNode *node = nodeAt(pos);
    FPressPos = pos;
    FPressNode = nullptr;
    FDeferredSelect = nullptr;
    const Qt::KeyboardModifiers mods = event->modifiers();

    FClickEditTimer->stop();
    FClickEditNode = nullptr;
    if (event->button() == Qt::LeftButton) {
        if (!node) {
            clearSelection();
            return;
        }
        if (mods == Qt::NoModifier && node == FFocused && node->FSelected && FSelection.size() == 1) {
            FClickEditNode = node;
            FClickEditSerial = node->FSerial;
        }
        if (!node->FChildren.empty() && rowParts(node, nodeRect(node)).button.contains(pos)) {
            setExpanded(node, !node->FExpanded);
            return;
        }
        FPressNode = node;
        if (mods & Qt::ShiftModifier) {
            KvTreeNode *anchor = FAnchor ? FAnchor : FFocused;
            selectRange(anchor, node, mods & Qt::ControlModifier); // Ctrl+Shift adds the range
            if (!anchor || anchor->FParent != node->FParent)
                FAnchor = node;
        } else if (mods & Qt::ControlModifier) {
            toggleSelected(node);
            FAnchor = node;
        } else if (node->FSelected && FSelection.size() > 1) {
            FDeferredSelect = node; // may be the start of dragging the whole selection
            FAnchor = node;
        } else {
            selectOnly(node);
            FAnchor = node;
        }
        setFocusedQuietly(node);
    } else if (event->button() == Qt::RightButton) {
        if (node) {
            if (!node->FSelected) {
                selectOnly(node);
                FAnchor = node;
            }
            setFocusedQuietly(node);
        }
    }
}

void KvVirtualTree::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && FDeferredSelect) {
        KvTreeNode *node = FDeferredSelect;
        FDeferredSelect = nullptr;
        selectOnly(node);
    }
    // Released where it was pressed, without a drag: wait whether a double click follows.
    if (FClickEditNode && FPressNode == FClickEditNode && nodeAt(event->position().toPoint()) == FClickEditNode)
        FClickEditTimer->start(QApplication::doubleClickInterval() + 50);
    else
        FClickEditNode = nullptr;
    FPressNode = nullptr;
}

void KvVirtualTree::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    if (OnMouseMove)
        OnMouseMove(pos);
    setHot(nodeAt(pos));
    if ((event->buttons() & Qt::LeftButton) && FPressNode &&
        (pos - FPressPos).manhattanLength() >= QApplication::startDragDistance()) {
        KvTreeNode *node = FPressNode;
        FPressNode = nullptr;
        FDeferredSelect = nullptr;
        bool allowed = false;
        if (OnDragAllowed)
            OnDragAllowed(node, allowed);
        if (allowed && FLive.count(node))
            startDrag(node);
    }
}

void KvVirtualTree::mouseDoubleClickEvent(QMouseEvent *)
{
    FClickEditTimer->stop();
    FClickEditNode = nullptr;
    // No expansion toggle: the owner decides what a double click means.
    if (OnDblClick)
        OnDblClick();
}

void KvVirtualTree::contextMenuEvent(QContextMenuEvent *event)
{
    KvTreeNode *node = nullptr;
    QPoint globalPos = event->globalPos();
    if (event->reason() == QContextMenuEvent::Keyboard) {
        node = FFocused;
        const QRect r = nodeRect(node);
        if (!r.isEmpty())
            globalPos = viewport()->mapToGlobal(QPoint(r.left() + 20, r.top() + std::min(r.height(), 20)));
    } else {
        node = nodeAt(event->pos());
    }
    if (!OnGetPopupMenu)
        return;
    QPointer<QMenu> menu = OnGetPopupMenu(node);
    if (menu)
        menu->exec(globalPos);
    event->accept();
}

// --- keys --------------------------------------------------------------------------------

void KvVirtualTree::keyPressEvent(QKeyEvent *event)
{
    if (OnKeyDown)
        OnKeyDown(event);
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    const bool keypad = event->modifiers() & Qt::KeypadModifier;
    ensureLayout();
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        navigate(event->key(), mods);
        break;
    case Qt::Key_Left:
        if (FFocused && FFocused->FExpanded && !FFocused->FChildren.empty())
            setExpanded(FFocused, false);
        else if (FFocused && FFocused->parent()) {
            KvTreeNode *p = FFocused->parent();
            selectOnly(p);
            FAnchor = p;
            setFocusedNode(p);
        }
        break;
    case Qt::Key_Right:
        if (FFocused && !FFocused->FChildren.empty()) {
            if (!FFocused->FExpanded) {
                setExpanded(FFocused, true);
            } else {
                ensureLayout();
                const int row = FLayout->rowOf(FFocused);
                KvTreeNode *next = row >= 0 && row + 1 < FLayout->count() ? FLayout->node(row + 1) : nullptr;
                if (next && next->FParent == FFocused) {
                    selectOnly(next);
                    setFocusedNode(next);
                }
            }
        }
        break;
    case Qt::Key_Plus:
    case Qt::Key_Minus:
    case Qt::Key_Asterisk:
        if (!keypad) {
            event->ignore();
            return;
        }
        if (FFocused) {
            if (event->key() == Qt::Key_Plus)
                setExpanded(FFocused, true);
            else if (event->key() == Qt::Key_Minus)
                setExpanded(FFocused, false);
            else
                expandSubtree(FFocused);
        }
        break;
    case Qt::Key_Space:
        if (mods != Qt::ControlModifier) {
            event->ignore();
            return;
        }
        if (FFocused) {
            toggleSelected(FFocused);
            FAnchor = FFocused;
        }
        break;
    case Qt::Key_A:
        if (mods != Qt::ControlModifier) {
            event->ignore();
            return;
        }
        selectAllVisible();
        break;
    case Qt::Key_F2:
        if (mods != Qt::NoModifier) {
            event->ignore();
            return;
        }
        if (FFocused)
            editNode(FFocused);
        break;
    default:
        // Enter, Delete, copying and the like belong to the owner, who saw them in OnKeyDown.
        event->ignore();
        return;
    }
    event->accept();
}

void KvVirtualTree::expandSubtree(KvTreeNode *node)
{
    beginUpdate();
    std::vector<KvTreeNode *> stack{node};
    while (!stack.empty()) {
        KvTreeNode *n = stack.back();
        stack.pop_back();
        if (!n->FChildren.empty())
            setExpanded(n, true);
        stack.insert(stack.end(), n->FChildren.begin(), n->FChildren.end());
    }
    endUpdate();
}

int KvVirtualTree::pageTarget(int row, int direction)
{
    const int viewHeight = viewport()->height();
    int filled = 0;
    int target = row;
    for (;;) {
        const int next = target + direction;
        if (next < 0 || next >= FLayout->count())
            break;
        ensureMeasured(next);
        if (target != row && filled + FLayout->height(next) > viewHeight)
            break;
        filled += FLayout->height(next);
        target = next;
    }
    return target;
}

void KvVirtualTree::navigate(int key, Qt::KeyboardModifiers mods)
{
    const int count = FLayout->count();
    if (count == 0)
        return;
    const bool shift = mods & Qt::ShiftModifier;
    const bool ctrl = mods & Qt::ControlModifier;
    const int current = FLayout->rowOf(FFocused);
    int target;
    if (current < 0) {
        target = key == Qt::Key_End ? count - 1 : 0;
    } else {
        switch (key) {
        case Qt::Key_Up:
            target = current - 1;
            break;
        case Qt::Key_Down:
            target = current + 1;
            break;
        case Qt::Key_PageUp:
            target = pageTarget(current, -1);
            break;
        case Qt::Key_PageDown:
            target = pageTarget(current, 1);
            break;
        case Qt::Key_Home:
            target = 0;
            break;
        default:
            target = count - 1;
            break;
        }
    }
    if (target < 0 || target >= count || !FLayout->node(target))
        return;

    if (shift && current >= 0) {
        // Extending works among the anchor's siblings only: rows of other levels are passed
        // over, and the walk stops where the anchor's parent ends.
        KvTreeNode *anchor = FAnchor && FLayout->rowOf(FAnchor) >= 0 ? FAnchor : FFocused;
        const KvTreeNode *parent = anchor->FParent;
        const int level = anchor->level();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            const int step = key == Qt::Key_Down ? 1 : -1;
            int t = current + step;
            for (; t >= 0 && t < count; t += step) {
                KvTreeNode *n = FLayout->node(t);
                if (!n)
                    continue;
                if (n->FParent == parent)
                    break;
                if (n->level() < level) {
                    t = -1;
                    break;
                }
            }
            if (t < 0 || t >= count)
                return;
            target = t;
        } else {
            const int step = target > current ? -1 : 1;
            while (target != current && (!FLayout->node(target) || FLayout->node(target)->FParent != parent))
                target += step;
        }
        KvTreeNode *node = FLayout->node(target);
        if (!node || node->FParent != parent)
            return;
        selectRange(anchor, node, false);
        FAnchor = anchor;
        setFocusedQuietly(node);
        scrollIntoView(node);
        return;
    }
    KvTreeNode *node = FLayout->node(target);
    if (!ctrl) {
        selectOnly(node);
        FAnchor = node;
    }
    setFocusedQuietly(node);
    scrollIntoView(node);
}

// --- drag and drop -----------------------------------------------------------------------

void KvVirtualTree::startDrag(KvTreeNode *node)
{
    auto *data = new QMimeData;
    data->setData(kDragMimeType, QByteArray::number(qulonglong(node->FSerial)));
    auto *drag = new QDrag(this);
    drag->setMimeData(data);
    FDragging = true;
    drag->exec(Qt::MoveAction | Qt::CopyAction, Qt::MoveAction);
    FDragging = false;
    setDropTarget(nullptr);
}

bool KvVirtualTree::evaluateDrop(QDropEvent *event, KvTreeNode *target)
{
    bool accept = false;
    FDragData = event->mimeData();
    if (OnDragOver)
        OnDragOver(target, FDragging, accept);
    FDragData = nullptr;
    return accept;
}

void KvVirtualTree::setDropTarget(KvTreeNode *node)
{
    if (node == FDropTarget)
        return;
    KvTreeNode *old = FDropTarget;
    FDropTarget = node;
    if (old)
        repaintNode(old);
    if (node) {
        repaintNode(node);
        FExpandTimer->start(); // a collapsed target opens after a short hover
    } else {
        FExpandTimer->stop();
    }
}

void KvVirtualTree::dragAutoScroll()
{
    QScrollBar *bar = verticalScrollBar();
    if (FDragPos.y() < kAutoScrollMargin)
        bar->setValue(bar->value() - bar->singleStep());
    else if (FDragPos.y() >= viewport()->height() - kAutoScrollMargin)
        bar->setValue(bar->value() + bar->singleStep());
    else
        FScrollTimer->stop();
}

void KvVirtualTree::dragEnterEvent(QDragEnterEvent *event)
{
    // Accepted whenever the owner takes part at all: the drag move that always follows
    // decides per row.
    if (OnDragOver)
        event->acceptProposedAction();
    else
        event->ignore();
}

void KvVirtualTree::dragMoveEvent(QDragMoveEvent *event)
{
    FDragPos = event->position().toPoint();
    KvTreeNode *target = nodeAt(FDragPos);
    if (evaluateDrop(event, target)) {
        event->acceptProposedAction();
        setDropTarget(target);
    } else {
        event->ignore();
        setDropTarget(nullptr);
    }
    if ((FDragPos.y() < kAutoScrollMargin || FDragPos.y() >= viewport()->height() - kAutoScrollMargin) &&
        !FScrollTimer->isActive())
        FScrollTimer->start();
}

void KvVirtualTree::dragLeaveEvent(QDragLeaveEvent *event)
{
    setDropTarget(nullptr);
    FScrollTimer->stop();
    event->accept();
}

void KvVirtualTree::dropEvent(QDropEvent *event)
{
    FScrollTimer->stop();
    setDropTarget(nullptr);
    KvTreeNode *target = nodeAt(event->position().toPoint());
    if (!evaluateDrop(event, target)) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    FDragData = event->mimeData();
    if (OnDragDrop)
        OnDragDrop(target, FDragging);
    FDragData = nullptr;
}
