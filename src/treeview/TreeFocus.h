// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "treeview/TreeSelection.h"
#include <QObject>
#include <vector>

class TreeNode;
class TreeNodeStore;
class TreeRows;

// The selected nodes, the focused one and the anchor that Shift extends a range from: what the
// clicks, the keys and the program change, told through selectionChanged and focusMoved.
class TreeFocus : public QObject {
    Q_OBJECT
public:
    explicit TreeFocus(const TreeNodeStore &nodes) : m_nodes(nodes) {}

    const TreeSelection &selection() const { return m_selection; }
    TreeNode *focused() const { return m_focused; }
    void setFocused(TreeNode *node); // the focus alone: the selection stays
    TreeNode *anchor() const { return m_anchor; }
    void setAnchor(TreeNode *node) { m_anchor = node; }

    // Each tells selectionChanged when anything changed.
    void selectOnly(TreeNode *node); // anchored there
    void toggle(TreeNode *node);     // anchored there
    // The shown siblings from one to the other, beside the selection when keep; when the two are
    // no siblings, to alone.
    void selectRange(TreeNode *from, TreeNode *to, bool keep);
    // Only siblings are selected together: selecting a node of another parent first clears the
    // selection. Selecting anchors there.
    void setSelected(TreeNode *node, bool selected);
    void clear();
    void selectNodes(const std::vector<TreeNode *> &nodes); // these alone, anchored at the first
    void selectAll(const TreeRows &rows); // every row shown

    // Quiet: the caller tells once it is done.
    bool deselectSubtree(TreeNode *top, bool withTop);
    void forget(TreeNode *node); // a node about to go
    void nodesMoved(bool parentsChanged) { m_selection.nodesMoved(parentsChanged); }
    void tell(TreeNode *node) { emit selectionChanged(node); }

signals:
    void selectionChanged(TreeNode *node); // the node concerned, or nullptr
    void focusMoved(TreeNode *oldNode, TreeNode *newNode);

private:
    const TreeNodeStore &m_nodes;
    TreeSelection m_selection;
    TreeNode *m_focused = nullptr;
    TreeNode *m_anchor = nullptr;
};
