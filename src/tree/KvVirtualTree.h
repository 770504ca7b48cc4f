#pragma once
#include "tree/KvTreeEditor.h"
#include "tree/KvTreeNode.h"
#include <QAbstractScrollArea>
#include <QIcon>
#include <QPointer>
#include <functional>
#include <memory>
#include <unordered_set>
#include <vector>

class KvTreeLayout;
class QMenu;
class QMimeData;
class QPainter;
class QTimer;

// A one-column tree control for large numbers of multi-line nodes of variable height.
// It knows nothing of memos: it lays out, paints, selects, sorts and edits nodes and asks
// its owner, through the On... callbacks, for texts, heights, images and decisions.
// Visibility and expansion live in the node tree; the view lays out only visible rows,
// so hiding or showing any number of nodes costs one layout.
class KvVirtualTree : public QAbstractScrollArea {
    Q_OBJECT
public:
    enum class AttachMode { AddChildFirst, AddChildLast };
    enum class ChangeReason { Selection };

    explicit KvVirtualTree(QWidget *parent = nullptr);
    ~KvVirtualTree() override;

    // --- nodes -------------------------------------------------------------------------
    KvTreeNode *addChild(KvTreeNode *parent); // nullptr parent: a new last top-level node
    void deleteNode(KvTreeNode *node);        // with its descendants; fires OnFreeNode for each
    void deleteSelectedNodes();
    void clear();                             // cancels an edit, clears the selection, deletes all
    // Moves node (with its descendants) to become the first or last child of target, or of the
    // top level when target is nullptr. Moving a node onto itself or into its own subtree does
    // nothing and returns false.
    bool moveTo(KvTreeNode *node, KvTreeNode *target, AttachMode mode);
    bool isAlive(KvTreeNode *node, uint64_t serial) const; // node not deleted since serial was read
    int topLevelCount() const;
    KvTreeNode *topLevelNode(int i) const;
    KvTreeNode *firstNode() const;                     // first top-level node
    KvTreeNode *lastTopLevelNode() const;
    KvTreeNode *nextNode(KvTreeNode *node) const;      // tree order: node, its subtree, next...
    int totalCount() const;                            // every node, hidden ones included

    // --- update bracket: layout and painting wait until the outermost endUpdate -------------
    void beginUpdate();
    void endUpdate();
    bool isUpdating() const { return FUpdateCount > 0; }

    // --- state -------------------------------------------------------------------------
    void setExpanded(KvTreeNode *node, bool expanded); // fires OnExpanded/OnCollapsed on change
    void setVisible(KvTreeNode *node, bool visible); // hiding or collapsing deselects what goes out of sight
    bool isEffectivelyVisible(KvTreeNode *node) const; // itself and every ancestor shown and expanded
    int visibleCount() const;                          // rows laid out now
    KvTreeNode *nodeAtRow(int row) const;              // nullptr outside 0..visibleCount()-1
    int rowOfNode(const KvTreeNode *node) const;       // -1 when the node is not laid out
    void setMultiline(KvTreeNode *node, bool multiline);
    void setVerticalAlignment(KvTreeNode *node, int percent);
    void invalidateNode(KvTreeNode *node);             // measure and paint again
    void invalidateAll();                              // every node, collapsed children included
    void repaintNode(KvTreeNode *node);
    // Stable sort of every level through OnCompareNodes; descending reverses the comparison
    // only, so nodes that compare equal keep their order in both directions.
    void sortTree(bool ascending);

    // --- selection and focus -----------------------------------------------------------
    // Only siblings are selected together: selecting a node of another parent first clears
    // the selection (except through selectAllVisible).
    void setSelected(KvTreeNode *node, bool selected);
    void clearSelection();
    void selectAllVisible();
    KvTreeNode *firstSelected() const;                 // in tree order
    KvTreeNode *nextSelected(KvTreeNode *node) const;  // in tree order
    std::vector<KvTreeNode *> selectedNodes() const;   // in tree order
    int selectedCount() const;
    KvTreeNode *focusedNode() const { return FFocused; }
    void setFocusedNode(KvTreeNode *node);             // scrolls it into view
    KvTreeNode *hotNode() const { return FHot; }
    void scrollIntoView(KvTreeNode *node);

    // --- geometry ----------------------------------------------------------------------
    KvTreeNode *nodeAt(const QPoint &viewportPos) const; // nullptr over blank space
    QRect nodeRect(KvTreeNode *node) const;              // in viewport coordinates; empty if not laid out
    // Height that text needs drawn word-wrapped in the node's text area with the tree's font,
    // line breaks honoured.
    int textHeight(KvTreeNode *node, const QString &text) const;
    int textAreaWidth(KvTreeNode *node) const;

    // --- in-place editing --------------------------------------------------------------
    // Asks OnEditing; when allowed opens a multi-line editor over the node's text area,
    // filled with the node's text, all selected. Returns whether the editor opened.
    bool editNode(KvTreeNode *node);
    bool endEditNode();    // commits: OnNewText when the text changed, then OnEdited
    bool cancelEditNode(); // OnEditCancelled
    bool isEditing() const;
    KvTreeNode *editedNode() const;

    // --- looks -------------------------------------------------------------------------
    void setImages(const std::vector<QIcon> &images); // indexed by OnGetImageIndex
    void setHint(const QString &hint);                // shown over blank space
    QString hint() const { return FHint; }

    // Paints the laid-out rows (expanded and shown nodes) onto painter across pages of the
    // given size; newPage is called between pages. Used for printing. Coordinates are the
    // widget's pixels: scale a printer's painter to them first.
    void paintRowsForPrint(QPainter &painter, const QRect &pageRect, const std::function<void()> &newPage);

    // --- callbacks ---------------------------------------------------------------------
    std::function<QString(KvTreeNode *)> OnGetText;
    std::function<void(KvTreeNode *, int &height)> OnMeasureItem;
    std::function<int(KvTreeNode *)> OnGetImageIndex;                  // -1: no image
    std::function<void(KvTreeNode *, QFont &, QColor &)> OnPaintText;
    std::function<void(QPainter &, KvTreeNode *, const QRect &cellRect)> OnBeforeCellPaint;
    std::function<int(KvTreeNode *, KvTreeNode *)> OnCompareNodes;
    std::function<void(KvTreeNode *)> OnExpanded;
    std::function<void(KvTreeNode *)> OnCollapsed;
    std::function<void(KvTreeNode *)> OnChange;                        // selection changed; node concerned or nullptr
    std::function<void(KvTreeNode *)> OnFreeNode;
    std::function<void(KvTreeNode *oldNode, KvTreeNode *newNode)> OnHotChange;
    std::function<void(KvTreeNode *, bool &allowed)> OnEditing;
    std::function<void(KvTreeNode *, const QString &newText)> OnNewText;
    std::function<void(KvTreeNode *)> OnEdited;
    std::function<void()> OnEditCancelled;
    std::function<void(QKeyEvent *)> OnKeyDown;                         // before the tree's own keys
    std::function<void()> OnDblClick;
    std::function<void(const QPoint &)> OnMouseMove;
    std::function<QMenu *(KvTreeNode *)> OnGetPopupMenu;                // node under the right click or nullptr
    std::function<void(KvTreeNode *, bool &allowed)> OnDragAllowed;
    // target: the node under the point or nullptr; internal: the drag started in this tree.
    std::function<void(KvTreeNode *target, bool internal, bool &accept)> OnDragOver;
    std::function<void(KvTreeNode *target, bool internal)> OnDragDrop;

    // --- the dragged data, valid inside OnDragOver and OnDragDrop ----------------------
    const QMimeData *dragMimeData() const { return FDragData; }

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
    struct RowParts {
        QRect button; // the expand button's cell (the whole click target)
        QRect box;    // the drawn +/- box
        QRect image;  // empty when the node shows no image
        QRect text;
    };

    // layout and measuring
    void requestLayout();
    void ensureLayout() const;
    void doLayout();
    bool showsChildrenOf(const KvTreeNode *parent) const;
    int lineHeight() const;
    int estimatedHeight() const;
    int measureNode(KvTreeNode *node);
    bool measureRow(int row);
    void ensureMeasured(int row);
    void settleViewport();
    void updateScrollRange();
    void setScrollValue(int value, bool quiet);
    void invalidateHeights();
    int layoutWidth() const;
    int imageIndexOf(KvTreeNode *node) const;
    int textLeft(KvTreeNode *node) const;
    RowParts rowParts(KvTreeNode *node, const QRect &rowRect) const;
    void paintRow(QPainter &painter, KvTreeNode *node, const QRect &rowRect, bool decorations);
    QFont textFont(KvTreeNode *node, QColor &color) const; // as the row's text is drawn

    // nodes
    void deleteNodes(const std::vector<KvTreeNode *> &nodes);
    void forgetNode(KvTreeNode *node);
    static bool isInSubtree(const KvTreeNode *node, const KvTreeNode *top);

    // selection and focus
    bool isSelectionSibling(const KvTreeNode *node) const;
    void addSelected(KvTreeNode *node);
    void removeSelected(KvTreeNode *node);
    bool clearSelectionSilently();
    void selectOnly(KvTreeNode *node);
    void selectRange(KvTreeNode *from, KvTreeNode *to, bool keep);
    void toggleSelected(KvTreeNode *node);
    void notifySelection(KvTreeNode *node);
    void sortSelection() const;
    void recomputeSelectionParent();
    void deselectHidden(KvTreeNode *top, bool withTop); // top's subtree, top itself when withTop
    void setFocusedQuietly(KvTreeNode *node);
    void setHot(KvTreeNode *node);
    void updateHotFromCursor();

    // keys
    void navigate(int key, Qt::KeyboardModifiers modifiers);
    int pageTarget(int row, int direction);
    void expandSubtree(KvTreeNode *node);

    // editing
    void placeEditor();
    bool finishEdit(bool commit);

    // drag and drop
    void startDrag(KvTreeNode *node);
    bool evaluateDrop(QDropEvent *event, KvTreeNode *target);
    void setDropTarget(KvTreeNode *node);
    void dragAutoScroll();

    std::unique_ptr<KvTreeLayout> FLayout;
    std::unique_ptr<KvTreeNode> FRoot;
    std::unordered_set<const KvTreeNode *> FLive;
    uint64_t FNextSerial = 1;
    int FUpdateCount = 0;
    bool FLayoutDirty = false;
    bool FQuietScroll = false;
    bool FInPaint = false;
    int FLastWidth = -1;
    int FPrintWidth = -1; // set while measuring rows for print
    KvTreeNode *FPendingScroll = nullptr;

    KvTreeNode *FFocused = nullptr;
    KvTreeNode *FHot = nullptr;
    KvTreeNode *FAnchor = nullptr;
    std::unordered_set<KvTreeNode *> FSelection;
    const KvTreeNode *FSelectionParent = nullptr; // common parent of the selection
    bool FSelectionMixed = false;                 // nodes of several parents (select all)
    mutable std::vector<KvTreeNode *> FSelectionOrder;
    mutable bool FSelectionOrderDirty = false;
    bool FSelectionNotifyPending = false;

    // mouse
    QPoint FPressPos;
    KvTreeNode *FPressNode = nullptr;
    KvTreeNode *FDeferredSelect = nullptr; // plain click on a multi-selection: select it on release

    // editing
    QPointer<KvTreeEditor> FEditor;
    KvTreeNode *FEditNode = nullptr;
    uint64_t FEditSerial = 0;
    QString FEditOriginal;
    bool FEditClosing = false;

    // drag and drop
    bool FDragging = false;
    const QMimeData *FDragData = nullptr;
    KvTreeNode *FDropTarget = nullptr;
    QPoint FDragPos;
    QTimer *FExpandTimer = nullptr;
    QTimer *FScrollTimer = nullptr;
    // A second, slow click on the one selected node edits it, unless it becomes a double click.
    QTimer *FClickEditTimer = nullptr;
    KvTreeNode *FClickEditNode = nullptr;
    uint64_t FClickEditSerial = 0;

    std::vector<QIcon> FImages;
    QString FHint;
};
