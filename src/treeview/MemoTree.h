// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "treeview/MemoTreeDelegate.h"
#include "treeview/TreeDragDrop.h"
#include "treeview/TreeFocus.h"
#include "treeview/TreeInlineEdit.h"
#include "treeview/TreeInputHost.h"
#include "treeview/TreeKeys.h"
#include "treeview/TreeMouse.h"
#include "treeview/TreeNode.h"
#include "treeview/TreeNodeStore.h"
#include "treeview/TreeRowPainter.h"
#include "treeview/TreeRows.h"
#include <QAbstractScrollArea>
#include <QIcon>
#include <functional>
#include <vector>

class QPainter;

// A one-column tree control for large numbers of multi-line nodes of variable height.
// It knows nothing of memos: it lays out, paints, selects, sorts and edits nodes and asks
// its delegate for texts, heights, images and decisions, and signals what happened.
// The widget owns its parts (the nodes, the rows in sight, the selection and focus, the row
// painter, the inline edit, drag and drop, mouse and keys) and keeps them in step.
class MemoTree : public QAbstractScrollArea, private TreeInputHost {
    Q_OBJECT
public:
    enum class AttachMode { AddChildFirst, AddChildLast };

    // makeNode: how the tree makes its nodes; nullptr for plain TreeNodes.
    explicit MemoTree(QWidget *parent = nullptr, TreeNodeStore::NodeFactory makeNode = nullptr);
    ~MemoTree() override;

    // --- nodes -------------------------------------------------------------------------
    TreeNode *addChild(TreeNode *parent); // nullptr parent: a new last top-level node
    void deleteNode(TreeNode *node);        // with its descendants; emits nodeFreed for each
    void deleteSelectedNodes() { deleteNodes(selectedNodes()); }
    void deleteNodes(const std::vector<TreeNode *> &nodes); // one pass per parent, however many
    void clear();                             // cancels an edit, clears the selection, deletes all
    // Moves node (with its descendants) to become the first or last child of target, or of the
    // top level when target is nullptr. Moving a node onto itself or into its own subtree does
    // nothing and returns false.
    bool moveTo(TreeNode *node, TreeNode *target, AttachMode mode);
    using Placement = TreeNodeStore::Placement;
    // Puts many nodes (each with its descendants) in place in one pass per parent. A placement
    // into the node's own subtree, or of a deleted node, is left out.
    void placeNodes(const std::vector<Placement> &placements);
    // node not deleted since serial was read
    bool isAlive(TreeNode *node, uint64_t serial) const { return m_nodes.isAlive(node, serial); }
    int topLevelCount() const { return m_nodes.root()->childCount(); }
    TreeNode *topLevelNode(int i) const { return i >= 0 && i < topLevelCount() ? m_nodes.root()->child(i) : nullptr; }
    TreeNode *firstNode() const { return m_nodes.root()->firstChild(); }
    TreeNode *lastTopLevelNode() const { return m_nodes.root()->lastChild(); }
    TreeNode *nextNode(TreeNode *node) const { return m_nodes.nextNode(node); } // node, its subtree, next...
    int totalCount() const { return m_nodes.count(); } // every node, hidden ones included

    // --- update bracket: layout and painting wait until the outermost endUpdate -------------
    void beginUpdate() override { m_rows.beginUpdate(); }
    void endUpdate() override;

    // --- state -------------------------------------------------------------------------
    void setExpanded(TreeNode *node, bool expanded) override; // emits nodeExpanded/nodeCollapsed on change
    void setVisible(TreeNode *node, bool visible); // hiding or collapsing deselects what goes out of sight
    // itself and every ancestor shown and expanded
    bool isEffectivelyVisible(TreeNode *node) const { return m_rows.isShown(node); }
    int visibleCount() const { return m_rows.count(); }                  // rows laid out now
    TreeNode *nodeAtRow(int row) const { return m_rows.node(row); }      // nullptr outside the rows
    int rowOfNode(const TreeNode *node) const { return m_rows.rowOf(node); } // -1 when not laid out
    void setMultiline(TreeNode *node, bool multiline) { m_rows.setMultiline(node, multiline); }
    void setVerticalAlignment(TreeNode *node, int percent) { m_rows.setVerticalAlignment(node, percent); }
    void invalidateNode(TreeNode *node) { m_rows.invalidateNode(node); } // measure and paint again
    void invalidateAll() { m_rows.invalidateAll(); } // every node, collapsed children included
    void repaintNode(TreeNode *node) { m_rows.repaint(node); }
    // Stable sort of every level through the delegate's compareNodes; descending reverses the comparison
    // only, so nodes that compare equal keep their order in both directions.
    void sortTree(bool ascending);

    // --- selection and focus -----------------------------------------------------------
    // Only siblings are selected together: selecting a node of another parent first clears
    // the selection (except through selectAllVisible).
    void setSelected(TreeNode *node, bool selected) { m_focus.setSelected(node, selected); }
    void clearSelection() { m_focus.clear(); }
    // Selects these nodes alone, with one notice: those of the first one's parent.
    void selectNodes(const std::vector<TreeNode *> &nodes) { m_focus.selectNodes(nodes); }
    void selectAllVisible() { m_focus.selectAll(m_rows); }
    TreeNode *firstSelected() const { return m_focus.selection().first(); } // in tree order
    TreeNode *nextSelected(TreeNode *node) const { return m_focus.selection().next(node); }
    std::vector<TreeNode *> selectedNodes() const { return m_focus.selection().nodes(); }
    int selectedCount() const { return m_focus.selection().count(); }
    TreeNode *focusedNode() const { return m_focus.focused(); }
    void setFocusedNode(TreeNode *node); // scrolls it into view
    TreeNode *hotNode() const { return m_mouse.hot(); }

    // --- geometry ----------------------------------------------------------------------
    TreeNode *nodeAt(const QPoint &viewportPos) const { return m_rows.nodeAt(viewportPos); } // nullptr over blank space
    // in viewport coordinates; empty if not laid out
    QRect nodeRect(TreeNode *node) const { return m_rows.rect(node); }
    // height that text needs drawn word-wrapped in the node's text area with the tree's font,
    // line breaks honoured.
    int textHeight(TreeNode *node, const QString &text) const { return m_painter.textHeight(node, text); }
    int textAreaWidth(TreeNode *node) const { return m_painter.textAreaWidth(node); }

    // --- in-place editing --------------------------------------------------------------
    // Asks the delegate's canEdit; when allowed opens a multi-line editor over the node's text area,
    // filled with the node's text, all selected. Returns whether the editor opened.
    bool editNode(TreeNode *node) override;
    bool endEditNode() { return m_edit.commit(); } // editCommitted when the text changed, then editEnded
    bool cancelEditNode() { return m_edit.cancel(); } // editCancelled
    bool isEditing() const override { return m_edit.isOpen(); }
    TreeNode *editedNode() const { return m_edit.node(); }

    // --- looks -------------------------------------------------------------------------
    void setImages(const std::vector<QIcon> &images); // indexed by the delegate's nodeImageIndex
    void setHint(const QString &hint) { m_hint = hint; } // shown over blank space
    QString hint() const { return m_hint; }

    // Paints the laid-out rows (expanded and shown nodes) onto painter across pages of the
    // given size; newPage is called between pages. Used for printing. Coordinates are the
    // widget's pixels: scale a printer's painter to them first.
    void paintRowsForPrint(QPainter &painter, const QRect &pageRect, const std::function<void()> &newPage)
    {
        m_painter.print(painter, m_rows.shownNodes(), pageRect, newPage);
    }

    // --- the owner ---------------------------------------------------------------------
    // The delegate answers the tree's questions; the tree does not own it. Without one the
    // tree shows empty rows, lets every node be edited and refuses drags and drops.
    void setDelegate(MemoTreeDelegate *delegate);
    MemoTreeDelegate *delegate() const override { return m_delegate; }

signals:
    void nodeExpanded(TreeNode *node);
    void nodeCollapsed(TreeNode *node);
    void selectionChanged(TreeNode *node); // the node concerned, or nullptr
    // Emitted for each node just before it is deleted, children before their parent.
    void nodeFreed(TreeNode *node);
    void hoveredNodeChanged(TreeNode *oldNode, TreeNode *newNode);
    void editCommitted(TreeNode *node, const QString &newText); // only when the text changed
    void editEnded(TreeNode *node);                             // after a commit, changed or not
    void editCancelled();
    void doubleClicked();
    void mouseMoved(const QPoint &viewportPos);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent *event) override { m_mouse.press(event); }
    void mouseReleaseEvent(QMouseEvent *event) override { m_mouse.release(event); }
    void mouseMoveEvent(QMouseEvent *event) override { m_mouse.move(event); }
    void mouseDoubleClickEvent(QMouseEvent *) override { m_mouse.doubleClick(); }
    void leaveEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override { m_keys.press(event); }
    void contextMenuEvent(QContextMenuEvent *event) override { m_mouse.contextMenu(event); }
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    bool viewportEvent(QEvent *event) override;

private:
    // what the mouse and the keys ask beyond the parts they hold
    void takeFocus() override;
    bool isOnExpandButton(TreeNode *node, const QPoint &pos) const override;
    void startDrag(TreeNode *node) override { m_dragDrop.start(node); }

    void forgetNode(TreeNode *node);
    void nodesMoved(const TreeNodeStore::Moved &moved, bool relayout);
    void deselectHidden(TreeNode *top, bool withTop); // top's subtree, top itself when withTop
    void repaintNodes(TreeNode *oldNode, TreeNode *newNode); // whose looks changed
    QRect editorRect(TreeNode *node) const; // the node must be laid out
    void placeEditor();

    TreeNodeStore m_nodes;
    TreeRowPainter m_painter;
    TreeRows m_rows;
    TreeFocus m_focus;
    bool m_selectionNotifyPending = false;
    TreeInlineEdit m_edit;
    TreeDragDrop m_dragDrop;
    TreeMouse m_mouse;
    TreeKeys m_keys;

    QString m_hint;
    MemoTreeDelegate *m_delegate; // never null: a do-nothing one stands in
};
