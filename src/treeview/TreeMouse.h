// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QObject>
#include <QPoint>
#include <QTimer>
#include <cstdint>

class QContextMenuEvent;
class QMouseEvent;
class TreeFocus;
class TreeInputHost;
class TreeNode;
class TreeRows;

// What the mouse does to a tree: a click selects (Shift and Ctrl as usual), a press on the
// expand button folds, pressing and moving far enough drags, a slow second click on the one
// selected node edits it, a right click asks the delegate for a menu, and the row under the
// pointer is followed.
class TreeMouse : public QObject {
    Q_OBJECT
public:
    TreeMouse(TreeRows &rows, TreeFocus &focus, TreeInputHost &host);

    void press(QMouseEvent *event);
    void release(QMouseEvent *event);
    void move(QMouseEvent *event);
    void doubleClick();
    void contextMenu(QContextMenuEvent *event);

    TreeNode *hot() const { return m_hot; }
    void setHot(TreeNode *node);
    void updateHotFromCursor();
    void forget(TreeNode *node); // a node about to go

signals:
    void hotChanged(TreeNode *oldNode, TreeNode *newNode);
    void moved(const QPoint &viewportPos);
    void doubleClicked();

private:
    TreeRows &m_rows;
    TreeFocus &m_focus;
    TreeInputHost &m_host;
    TreeNode *m_hot = nullptr;
    QPoint m_pressPos;
    TreeNode *m_pressNode = nullptr;
    TreeNode *m_deferredSelect = nullptr; // plain click on a multi-selection: select it on release
    // A second, slow click on the one selected node edits it, unless it becomes a double click.
    QTimer m_clickEditTimer;
    TreeNode *m_clickEditNode = nullptr;
    uint64_t m_clickEditSerial = 0;
};
