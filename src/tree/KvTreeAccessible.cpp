#include "tree/KvTreeAccessible.h"
#include "tree/KvVirtualTree.h"
#include <utility>

namespace {

QAccessibleInterface *treeFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String("KvVirtualTree") && object && object->isWidgetType())
        return new KvTreeAccessible(static_cast<KvVirtualTree *>(object));
    return nullptr;
}

KvTreeAccessible::EventSink eventSink = nullptr; // nullptr: Qt's own delivery

bool listening()
{
    return eventSink || QAccessible::isActive();
}

void send(QAccessibleEvent &event)
{
    if (eventSink)
        eventSink(&event);
    else
        QAccessible::updateAccessibility(&event);
}

KvTreeAccessible *treeInterface(KvVirtualTree *tree)
{
    return static_cast<KvTreeAccessible *>(QAccessible::queryAccessibleInterface(tree));
}

} // namespace

KvTreeAccessible::KvTreeAccessible(KvVirtualTree *tree) : QAccessibleWidget(tree, QAccessible::Tree) {}

KvTreeAccessible::~KvTreeAccessible()
{
    for (const auto &entry : FRows)
        QAccessible::deleteAccessibleInterface(entry.second);
}

void KvTreeAccessible::install()
{
    static const bool installed = [] {
        QAccessible::installFactory(treeFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

KvTreeAccessible::EventSink KvTreeAccessible::setEventSink(EventSink sink)
{
    return std::exchange(eventSink, sink);
}

void KvTreeAccessible::rowsChanged(KvVirtualTree *tree)
{
    if (!listening())
        return;
    QAccessibleTableModelChangeEvent event(tree, QAccessibleTableModelChangeEvent::ModelReset);
    send(event);
}

void KvTreeAccessible::focusMoved(KvVirtualTree *tree, KvTreeNode *node)
{
    if (!node || !tree->hasFocus() || !listening())
        return;
    if (QAccessibleInterface *row = treeInterface(tree)->rowInterface(node)) {
        QAccessibleEvent event(row, QAccessible::Focus);
        send(event);
    }
}

void KvTreeAccessible::selectionChanged(KvVirtualTree *tree, KvTreeNode *node)
{
    if (!listening())
        return;
    QAccessibleInterface *row = node ? treeInterface(tree)->rowInterface(node) : nullptr;
    if (!row) {
        QAccessibleEvent event(tree, QAccessible::SelectionWithin);
        send(event);
        return;
    }
    QAccessible::Event type = QAccessible::SelectionRemove;
    if (node->isSelected())
        type = tree->selectedCount() == 1 ? QAccessible::Selection : QAccessible::SelectionAdd;
    QAccessibleEvent event(row, type);
    send(event);
}

KvVirtualTree *KvTreeAccessible::tree() const
{
    return static_cast<KvVirtualTree *>(object());
}

QAccessible::State KvTreeAccessible::state() const
{
    QAccessible::State result = QAccessibleWidget::state();
    result.multiSelectable = true;
    return result;
}

int KvTreeAccessible::childCount() const
{
    return tree()->visibleCount();
}

QAccessibleInterface *KvTreeAccessible::child(int index) const
{
    KvTreeNode *node = tree()->nodeAtRow(index);
    if (!node)
        return nullptr;
    const auto found = FRows.find(node->serial());
    if (found != FRows.end())
        return QAccessible::accessibleInterface(found->second);
    // Interfaces of deleted nodes go once they outnumber the rows, so a long session with
    // many reloads does not collect them.
    if (FRows.size() > size_t(2 * childCount() + 64))
        forgetDeadRows();
    auto *row = new KvTreeRowAccessible(tree(), node);
    FRows.emplace(node->serial(), QAccessible::registerAccessibleInterface(row));
    return row;
}

void KvTreeAccessible::forgetDeadRows() const
{
    for (auto it = FRows.begin(); it != FRows.end();) {
        QAccessibleInterface *row = QAccessible::accessibleInterface(it->second);
        if (row && row->isValid()) {
            ++it;
            continue;
        }
        QAccessible::deleteAccessibleInterface(it->second);
        it = FRows.erase(it);
    }
}

int KvTreeAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    if (!child || child->role() != QAccessible::TreeItem || !child->isValid())
        return -1;
    const auto *row = static_cast<const KvTreeRowAccessible *>(child);
    return tree()->rowOfNode(row->node());
}

QAccessibleInterface *KvTreeAccessible::childAt(int x, int y) const
{
    const QPoint inViewport = tree()->viewport()->mapFromGlobal(QPoint(x, y));
    KvTreeNode *node = tree()->nodeAt(inViewport);
    return node ? rowInterface(node) : nullptr;
}

QAccessibleInterface *KvTreeAccessible::focusChild() const
{
    KvTreeNode *node = tree()->focusedNode();
    return node ? rowInterface(node) : nullptr;
}

QAccessibleInterface *KvTreeAccessible::rowInterface(KvTreeNode *node) const
{
    const int row = tree()->rowOfNode(node);
    return row >= 0 ? child(row) : nullptr;
}

// --- rows --------------------------------------------------------------------------------

KvTreeRowAccessible::KvTreeRowAccessible(KvVirtualTree *tree, KvTreeNode *node)
    : FTree(tree), FNode(node), FSerial(node->serial())
{
}

bool KvTreeRowAccessible::isValid() const
{
    return FTree && FTree->isAlive(FNode, FSerial);
}

int KvTreeRowAccessible::level() const
{
    return FNode->level() + 1;
}

QWindow *KvTreeRowAccessible::window() const
{
    return FTree && FTree->window() ? FTree->window()->windowHandle() : nullptr;
}

QAccessibleInterface *KvTreeRowAccessible::parent() const
{
    return FTree ? QAccessible::queryAccessibleInterface(FTree.data()) : nullptr;
}

QString KvTreeRowAccessible::text(QAccessible::Text t) const
{
    if (!isValid() || t != QAccessible::Name || !FTree->OnGetText)
        return QString();
    return FTree->OnGetText(FNode);
}

QRect KvTreeRowAccessible::rect() const
{
    if (!isValid())
        return QRect();
    const QRect inViewport = FTree->nodeRect(FNode);
    if (inViewport.isEmpty())
        return QRect();
    return QRect(FTree->viewport()->mapToGlobal(inViewport.topLeft()), inViewport.size());
}

QAccessible::State KvTreeRowAccessible::state() const
{
    QAccessible::State result;
    if (!isValid()) {
        result.invalid = true;
        return result;
    }
    result.selectable = true;
    result.selected = FNode->isSelected();
    result.focusable = true;
    result.focused = FTree->focusedNode() == FNode && FTree->hasFocus();
    result.active = FTree->focusedNode() == FNode;
    if (FNode->childCount() > 0) {
        result.expandable = true;
        result.expanded = FNode->isExpanded();
        result.collapsed = !FNode->isExpanded();
    }
    result.multiLine = FNode->isMultiline();
    const QRect shown = FTree->nodeRect(FNode);
    result.offscreen = !shown.intersects(FTree->viewport()->rect());
    return result;
}
