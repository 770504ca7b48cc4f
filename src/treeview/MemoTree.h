// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "treeview/MemoTreeDelegate.h"
#include "treeview/TreeDragDrop.h"
#include "treeview/TreeInlineEdit.h"
#include "treeview/TreeKeys.h"
#include "treeview/TreeMouse.h"
#include "treeview/TreeNode.h"
#include "treeview/TreeNodeStore.h"
#include "treeview/TreeRowPainter.h"
#include "treeview/TreeScroller.h"
#include "treeview/TreeSelection.h"
#include <QAbstractScrollArea>
#include <QIcon>
#include <QPointer>
#include <QSet>
#include <functional>
#include <memory>
#include <unordered_set>
#include <vector>

class QMenu;
class QMimeData;
class QPainter;

// A one-column tree control for large numbers of multi-line nodes of variable height.
// It knows nothing of memos: it lays out, paints, selects, sorts and edits nodes and asks
// its delegate for texts, heights, images and decisions, and signals what happened.
// Visibility and expansion live in the node tree; the view lays out only visible rows,
// so hiding or showing any number of nodes costs one layout.
class MemoTree : public QAbstractScrollArea {
    Q_OBJECT
public:
    enum class AttachMode { AddChildFirst, AddChildLast };
    enum class ChangeReason { Selection };

    // makeNode: how the tree makes its nodes; nullptr for plain TreeNodes.
    explicit MemoTree(QWidget *parent = nullptr, TreeNodeStore::NodeFactory makeNode = nullptr);
    ~MemoTree() override;

    // --- nodes -------------------------------------------------------------------------
    TreeNode *addChild(TreeNode *parent); // nullptr parent: a new last top-level node
    void deleteNode(TreeNode *node);        // with its descendants; emits nodeFreed for each
    void deleteSelectedNodes();
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
    bool isAlive(TreeNode *node, uint64_t serial) const; // node not deleted since serial was read
    int topLevelCount() const;
    TreeNode *topLevelNode(int i) const;
    TreeNode *firstNode() const;                     // first top-level node
    TreeNode *lastTopLevelNode() const;
    TreeNode *nextNode(TreeNode *node) const;      // tree order: node, its subtree, next...
    int totalCount() const;                            // every node, hidden ones included

    // --- update bracket: layout and painting wait until the outermost endUpdate -------------
    void beginUpdate();
    void endUpdate();
    bool isUpdating() const { return m_updateCount > 0; }

    // --- state -------------------------------------------------------------------------
    void setExpanded(TreeNode *node, bool expanded); // emits nodeExpanded/nodeCollapsed on change
    void setVisible(TreeNode *node, bool visible); // hiding or collapsing deselects what goes out of sight
    bool isEffectivelyVisible(TreeNode *node) const; // itself and every ancestor shown and expanded
    int visibleCount() const;                          // rows laid out now
    TreeNode *nodeAtRow(int row) const;              // nullptr outside 0..visibleCount()-1
    int rowOfNode(const TreeNode *node) const;       // -1 when the node is not laid out
    void setMultiline(TreeNode *node, bool multiline);
    void setVerticalAlignment(TreeNode *node, int percent);
    void invalidateNode(TreeNode *node);             // measure and paint again
    void invalidateAll();                              // every node, collapsed children included
    void repaintNode(TreeNode *node);
    // Stable sort of every level through the delegate's compareNodes; descending reverses the comparison
    // only, so nodes that compare equal keep their order in both directions.
    void sortTree(bool ascending);

    // --- selection and focus -----------------------------------------------------------
    // Only siblings are selected together: selecting a node of another parent first clears
    // the selection (except through selectAllVisible).
    void setSelected(TreeNode *node, bool selected);
    void clearSelection();
    // Selects these nodes alone, with one notice: those of the first one's parent.
    void selectNodes(const std::vector<TreeNode *> &nodes);
    void selectAllVisible();
    TreeNode *firstSelected() const;                 // in tree order
    TreeNode *nextSelected(TreeNode *node) const;  // in tree order
    std::vector<TreeNode *> selectedNodes() const;   // in tree order
    int selectedCount() const;
    TreeNode *focusedNode() const { return m_focused; }
    void setFocusedNode(TreeNode *node);             // scrolls it into view
    TreeNode *hotNode() const { return m_mouse.hot(); }
    void scrollIntoView(TreeNode *node);

    // --- geometry ----------------------------------------------------------------------
    TreeNode *nodeAt(const QPoint &viewportPos) const; // nullptr over blank space
    QRect nodeRect(TreeNode *node) const;              // in viewport coordinates; empty if not laid out
    // height that text needs drawn word-wrapped in the node's text area with the tree's font,
    // line breaks honoured.
    int textHeight(TreeNode *node, const QString &text) const;
    int textAreaWidth(TreeNode *node) const;

    // --- in-place editing --------------------------------------------------------------
    // Asks the delegate's canEdit; when allowed opens a multi-line editor over the node's text area,
    // filled with the node's text, all selected. Returns whether the editor opened.
    bool editNode(TreeNode *node);
    bool endEditNode();    // commits: editCommitted when the text changed, then editEnded
    bool cancelEditNode(); // editCancelled
    bool isEditing() const;
    TreeNode *editedNode() const;

    // --- looks -------------------------------------------------------------------------
    void setImages(const std::vector<QIcon> &images); // indexed by the delegate's nodeImageIndex
    void setHint(const QString &hint);                // shown over blank space
    QString hint() const { return m_hint; }

    // Paints the laid-out rows (expanded and shown nodes) onto painter across pages of the
    // given size; newPage is called between pages. Used for printing. Coordinates are the
    // widget's pixels: scale a printer's painter to them first.
    void paintRowsForPrint(QPainter &painter, const QRect &pageRect, const std::function<void()> &newPage);

    // --- the owner ---------------------------------------------------------------------
    // The delegate answers the tree's questions; the tree does not own it. Without one the
    // tree shows empty rows, lets every node be edited and refuses drags and drops.
    void setDelegate(MemoTreeDelegate *delegate);
    MemoTreeDelegate *delegate() const { return m_delegate; }

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
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    bool viewportEvent(QEvent *event) override;

private:
    // The pointer's and the keyboard's rules act on the tree's own selection, focus and layout.
    friend class TreeMouse;
    friend class TreeKeys;

    // layout and measuring
    void requestLayout();
    void ensureLayout() const;
    void doLayout();
    bool showsChildrenOf(const TreeNode *parent) const;
    int estimatedHeight() const;
    void invalidateHeights();

    // nodes
    void forgetNode(TreeNode *node);
    void nodesMoved(const TreeNodeStore::Moved &moved, bool relayout);

    // selection and focus
    void selectOnly(TreeNode *node);
    void selectRange(TreeNode *from, TreeNode *to, bool keep);
    void toggleSelected(TreeNode *node);
    void notifySelection(TreeNode *node);
    void deselectHidden(TreeNode *top, bool withTop); // top's subtree, top itself when withTop
    void setFocusedQuietly(TreeNode *node);

    // editing
    QRect editorRect(TreeNode *node) const; // the node must be laid out
    void placeEditor();

    TreeNodeStore m_nodes;
    int m_updateCount = 0;
    bool m_layoutDirty = false;
    int m_lastWidth = -1;
    TreeNode *m_pendingScroll = nullptr;

    TreeNode *m_focused = nullptr;
    TreeNode *m_anchor = nullptr;
    TreeSelection m_selection;
    bool m_selectionNotifyPending = false;

    TreeInlineEdit m_edit;
    TreeDragDrop m_dragDrop;
    TreeRowPainter m_painter;
    TreeScroller m_scroller;

    TreeMouse m_mouse;
    TreeKeys m_keys;

    QString m_hint;
    MemoTreeDelegate *m_delegate; // never null: a do-nothing one stands in
};
