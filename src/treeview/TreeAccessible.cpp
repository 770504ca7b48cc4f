// SPDX-License-Identifier: GPL-3.0-or-later
#include "treeview/TreeAccessible.h"
#include "treeview/MemoTree.h"
#include <utility>

namespace {

QAccessibleInterface *treeFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String(MemoTree::staticMetaObject.className()) && object && object->isWidgetType())
        return new TreeAccessible(static_cast<MemoTree *>(object));
    return nullptr;
}

TreeAccessible::EventSink eventSink = nullptr; // nullptr: Qt's own delivery

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

TreeAccessible *treeInterface(MemoTree *tree)
{
    return static_cast<TreeAccessible *>(QAccessible::queryAccessibleInterface(tree));
}

} // namespace

TreeAccessible::TreeAccessible(MemoTree *tree) : QAccessibleWidget(tree, QAccessible::Tree) {}

TreeAccessible::~TreeAccessible()
{
    for (const auto &entry : m_rows)
        QAccessible::deleteAccessibleInterface(entry.second);
}

void TreeAccessible::install()
{
    static const bool installed = [] {
        QAccessible::installFactory(treeFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

TreeAccessible::EventSink TreeAccessible::setEventSink(EventSink sink)
{
    return std::exchange(eventSink, sink);
}

void TreeAccessible::rowsChanged(MemoTree *tree)
{
    if (!listening())
        return;
    QAccessibleTableModelChangeEvent event(tree, QAccessibleTableModelChangeEvent::ModelReset);
    send(event);
}

void TreeAccessible::focusMoved(MemoTree *tree, TreeNode *node)
{
    if (!node || !tree->hasFocus() || !listening())
        return;
    if (QAccessibleInterface *row = treeInterface(tree)->rowInterface(node)) {
        QAccessibleEvent event(row, QAccessible::Focus);
        send(event);
    }
}

void TreeAccessible::selectionChanged(MemoTree *tree, TreeNode *node)
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

MemoTree *TreeAccessible::tree() const
{
    return static_cast<MemoTree *>(object());
}

QAccessible::State TreeAccessible::state() const
{
    QAccessible::State result = QAccessibleWidget::state();
    result.multiSelectable = true;
    return result;
}

int TreeAccessible::childCount() const
{
    return tree()->visibleCount();
}

QAccessibleInterface *TreeAccessible::child(int index) const
{
    TreeNode *node = tree()->nodeAtRow(index);
    if (!node)
        return nullptr;
    const auto found = m_rows.find(node->serial());
    if (found != m_rows.end())
        return QAccessible::accessibleInterface(found->second);
    // Interfaces of deleted nodes go once they outnumber the rows, so a long session with
    // many reloads does not collect them.
    if (m_rows.size() > size_t(2 * childCount() + 64))
        forgetDeadRows();
    auto *row = new TreeRowAccessible(tree(), node);
    m_rows.emplace(node->serial(), QAccessible::registerAccessibleInterface(row));
    return row;
}

void TreeAccessible::forgetDeadRows() const
{
    for (auto it = m_rows.begin(); it != m_rows.end();) {
        QAccessibleInterface *row = QAccessible::accessibleInterface(it->second);
        if (row && row->isValid()) {
            ++it;
            continue;
        }
        QAccessible::deleteAccessibleInterface(it->second);
        it = m_rows.erase(it);
    }
}

int TreeAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    if (!child || child->role() != QAccessible::TreeItem || !child->isValid())
        return -1;
    const auto *row = static_cast<const TreeRowAccessible *>(child);
    return tree()->rowOfNode(row->node());
}

QAccessibleInterface *TreeAccessible::childAt(int x, int y) const
{
    const QPoint inViewport = tree()->viewport()->mapFromGlobal(QPoint(x, y));
    TreeNode *node = tree()->nodeAt(inViewport);
    return node ? rowInterface(node) : nullptr;
}

QAccessibleInterface *TreeAccessible::focusChild() const
{
    TreeNode *node = tree()->focusedNode();
    return node ? rowInterface(node) : nullptr;
}

QAccessibleInterface *TreeAccessible::rowInterface(TreeNode *node) const
{
    const int row = tree()->rowOfNode(node);
    return row >= 0 ? child(row) : nullptr;
}

// --- rows --------------------------------------------------------------------------------

TreeRowAccessible::TreeRowAccessible(MemoTree *tree, TreeNode *node)
    : m_tree(tree), m_node(node), m_serial(node->serial())
{
}

bool TreeRowAccessible::isValid() const
{
    return m_tree && m_tree->isAlive(m_node, m_serial);
}

int TreeRowAccessible::level() const
{
    return m_node->level() + 1;
}

QWindow *TreeRowAccessible::window() const
{
    return m_tree && m_tree->window() ? m_tree->window()->windowHandle() : nullptr;
}

QAccessibleInterface *TreeRowAccessible::parent() const
{
    return m_tree ? QAccessible::queryAccessibleInterface(m_tree.data()) : nullptr;
}

QString TreeRowAccessible::text(QAccessible::Text t) const
{
    if (!isValid() || t != QAccessible::Name)
        return QString();
    return m_tree->delegate()->nodeText(m_node);
}

QRect TreeRowAccessible::rect() const
{
    if (!isValid())
        return QRect();
    const QRect inViewport = m_tree->nodeRect(m_node);
    if (inViewport.isEmpty())
        return QRect();
    return QRect(m_tree->viewport()->mapToGlobal(inViewport.topLeft()), inViewport.size());
}

QAccessible::State TreeRowAccessible::state() const
{
    QAccessible::State result;
    if (!isValid()) {
        result.invalid = true;
        return result;
    }
    result.selectable = true;
    result.selected = m_node->isSelected();
    result.focusable = true;
    result.focused = m_tree->focusedNode() == m_node && m_tree->hasFocus();
    result.active = m_tree->focusedNode() == m_node;
    if (m_node->childCount() > 0) {
        result.expandable = true;
        result.expanded = m_node->isExpanded();
        result.collapsed = !m_node->isExpanded();
    }
    result.multiLine = m_node->isMultiline();
    const QRect shown = m_tree->nodeRect(m_node);
    result.offscreen = !shown.intersects(m_tree->viewport()->rect());
    return result;
}
