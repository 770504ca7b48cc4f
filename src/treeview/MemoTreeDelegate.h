// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

class QColor;
class QFont;
class QKeyEvent;
class QMenu;
class QMimeData;
class QPainter;
class QRect;
class TreeNode;

// What a MemoTree asks its owner while it lays out, paints, sorts, edits and drags nodes.
// Every answer has a neutral default, so an owner overrides only what it cares about; what
// merely happened is told through the tree's signals instead.
class MemoTreeDelegate {
public:
    virtual ~MemoTreeDelegate() = default;

    virtual QString nodeText(TreeNode *node) const;
    // The row height the node needs; 0 lets the tree measure the text word-wrapped itself.
    virtual int nodeHeight(TreeNode *node) const;
    virtual int nodeImageIndex(TreeNode *node) const; // into the tree's images; -1: none
    // Adjusts the font and colour the node's text is drawn with.
    virtual void styleNodeText(TreeNode *node, QFont &font, QColor &colour) const;
    // Paints under the row before the tree draws its selection, button, image and text.
    virtual void paintNodeBackground(QPainter &painter, TreeNode *node, const QRect &rowRect) const;
    // Negative, zero or positive as node1 sorts before, with or after node2.
    virtual int compareNodes(TreeNode *node1, TreeNode *node2) const;

    virtual bool canEdit(TreeNode *node);
    virtual bool canDrag(TreeNode *node);
    // target: the node under the point or nullptr; internal: the drag started in this tree.
    virtual bool canDrop(TreeNode *target, const QMimeData *data, bool internal);
    virtual void drop(TreeNode *target, const QMimeData *data, bool internal);
    // The menu for a right click or the menu key on node (nullptr over blank space); the
    // tree shows it and does not own it.
    virtual QMenu *contextMenu(TreeNode *node);
    // Sees every key before the tree's own navigation does.
    virtual void keyPressed(QKeyEvent *event);
};
