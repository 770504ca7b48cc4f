// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "treeview/TreeScroller.h"
#include <QObject>
#include <QPoint>
#include <QRect>
#include <functional>
#include <vector>

class QScrollBar;
class QWidget;
class TreeNode;
class TreeNodeStore;

// What a tree shows: the nodes in sight (shown themselves, every ancestor shown and expanded),
// their rows and where those stand in the view. Laid out lazily, at the first question or
// paint after a change and never inside an update bracket, so many changes cost one layout.
class TreeRows : public QObject {
    Q_OBJECT
public:
    // measure gives a node's row height; lineHeight the height of one line of text.
    TreeRows(const TreeNodeStore &nodes, QWidget &viewport, QScrollBar &bar, TreeScroller::Measure measure,
             std::function<int()> lineHeight);

    const TreeNodeStore &nodes() const { return m_nodes; }
    QWidget *viewport() const { return &m_viewport; }
    // The rows as they stand: inside an update bracket, the last layout.
    TreeScroller &scroller() { return m_scroller; }
    const TreeScroller &scroller() const { return m_scroller; }

    // --- update bracket: no layout until the outermost end ----------------------------------
    void beginUpdate() { ++m_updateCount; }
    bool endUpdate(); // true when the outermost bracket closed: laid out then
    bool isUpdating() const { return m_updateCount > 0; }
    void scrollToPending(); // what scrollTo asked inside the bracket

    // --- the nodes' own flags: each lays out or paints again as far as needed ---------------
    bool setExpanded(TreeNode *node, bool expanded); // false when nothing changed
    bool setVisible(TreeNode *node, bool visible);   // false when nothing changed
    void setMultiline(TreeNode *node, bool multiline);
    void setVerticalAlignment(TreeNode *node, int percent);
    bool showsChildrenOf(const TreeNode *parent) const; // the root's always
    bool isShown(const TreeNode *node) const;           // itself and every ancestor shown and expanded

    // --- layout ------------------------------------------------------------------------------
    void requestLayout();
    void ensureLayout() const;
    void layOut(); // at once, unless nothing changed or inside a bracket
    bool isLaidOut() const { return !m_dirty; }
    void invalidateNode(TreeNode *node); // measured again when next needed
    void invalidateHeights();            // every node's, laid out at the next question
    void invalidateAll();                // every node's, laid out now
    void widthChanged(int width);        // every row wraps anew
    void forget(TreeNode *node);         // a node about to go
    void clear();                        // no rows, the view at the top

    // --- where the rows are (viewport coordinates) -------------------------------------------
    int count() const;
    TreeNode *node(int row) const;      // nullptr outside 0..count()-1
    int rowOf(const TreeNode *node) const; // -1 when not laid out
    TreeNode *nodeAt(const QPoint &pos) const;
    QRect rect(const TreeNode *node) const; // empty when not laid out
    std::vector<TreeNode *> shownNodes() const; // top to bottom
    void repaint(const TreeNode *node);
    void scrollTo(TreeNode *node); // into view; inside a bracket when it ends

signals:
    void laidOut();

private:
    const TreeNodeStore &m_nodes;
    QWidget &m_viewport;
    TreeScroller m_scroller;
    std::function<int()> m_lineHeight;
    int m_updateCount = 0;
    bool m_dirty = false;
    int m_width = -1;
    TreeNode *m_pendingScroll = nullptr;
};
