// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "treeview/MemoTreeDelegate.h"
#include <QObject>
#include <functional>

class MemoTree;
class QAction;
class QTimer;
struct PaneBackgrounds;

// How memo rows look: their text (numbered in the list view), height, picture, style,
// background and order. In the list view each memo shows one line; the one the mouse rests
// on shows all of its lines. Every other question of the tree goes on to next.
class MemoRowPainter : public QObject, public MemoTreeDelegate {
    Q_OBJECT
public:
    // editNode: the memo marked for editing, nullptr when none; listView: checked for the list view.
    MemoRowPainter(MemoTree &tree, const PaneBackgrounds &backgrounds, std::function<TreeNode *()> editNode,
                   const QAction &listView, MemoTreeDelegate &next, QObject *parent);

    // The memo the mouse has rested on; in the list view it shows all its lines.
    TreeNode *hoveredNode() const { return m_hoverNode; }
    // The list is read again or filtered: no memo stays opened by the mouse.
    void forgetHover() { m_hoverNode = nullptr; }

    QString nodeText(TreeNode *node) const override;
    int nodeHeight(TreeNode *node) const override;
    int nodeImageIndex(TreeNode *node) const override;
    void styleNodeText(TreeNode *node, QFont &font, QColor &colour) const override;
    void paintNodeBackground(QPainter &painter, TreeNode *node, const QRect &cellRect) const override;
    int compareNodes(TreeNode *node1, TreeNode *node2) const override;

    bool canEdit(TreeNode *node) override { return m_next.canEdit(node); }
    bool canDrag(TreeNode *node) override { return m_next.canDrag(node); }
    bool canDrop(TreeNode *target, const QMimeData *data, bool internal) override
    {
        return m_next.canDrop(target, data, internal);
    }
    void drop(TreeNode *target, const QMimeData *data, bool internal) override { m_next.drop(target, data, internal); }
    QMenu *contextMenu(TreeNode *node) override { return m_next.contextMenu(node); }
    void keyPressed(QKeyEvent *event) override { m_next.keyPressed(event); }

private:
    void hoveredNodeChanged(TreeNode *newNode);
    void hoverDelayElapsed();

    MemoTree &m_tree;
    const PaneBackgrounds &m_backgrounds;
    std::function<TreeNode *()> m_editNode;
    const QAction &m_listView;
    MemoTreeDelegate &m_next;
    QTimer *m_hoverTimer;
    TreeNode *m_hoverNode = nullptr;
};
