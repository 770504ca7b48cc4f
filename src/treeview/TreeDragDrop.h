// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QObject>
#include <QPoint>

class MemoTreeDelegate;
class QAbstractScrollArea;
class QDragMoveEvent;
class QDropEvent;
class QTimer;
class TreeNode;

// Dragging a node out of a tree and dropping onto it: the drag itself, the row a drop would
// land on (opened after a short hover), and scrolling while the pointer rests near
// the top or bottom edge. The delegate decides what may be dropped where and what a drop does;
// the view says which node is under the pointer.
class TreeDragDrop : public QObject {
    Q_OBJECT
public:
    static constexpr int kExpandDelay = 700; // ms of hovering before a collapsed target opens
    static constexpr int kAutoScrollMargin = 16;

    explicit TreeDragDrop(QAbstractScrollArea *view);
    void setDelegate(MemoTreeDelegate *delegate); // never null

    // Drags node; returns when the drag ends, dropped or not.
    void start(TreeNode *node);
    bool isDragging() const { return m_dragging; } // a drag started here is running
    TreeNode *target() const { return m_target; }
    void forget(TreeNode *node); // a node about to go is no target any more

    // The view's drag events with the node under the pointer (nullptr over blank space).
    void move(QDragMoveEvent *event, TreeNode *target);
    void leave();
    void drop(QDropEvent *event, TreeNode *target);

signals:
    void targetChanged(TreeNode *oldTarget, TreeNode *newTarget); // both need painting again
    void expandRequested(TreeNode *node);

private:
    void setTarget(TreeNode *node);
    void autoScroll();
    bool nearEdge() const;

    QAbstractScrollArea *m_view;
    MemoTreeDelegate *m_delegate = nullptr;
    bool m_dragging = false;
    TreeNode *m_target = nullptr;
    QPoint m_pos;
    QTimer *m_expandTimer;
    QTimer *m_scrollTimer;
};
