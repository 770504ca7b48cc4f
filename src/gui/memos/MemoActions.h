// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QObject>
#include <functional>

class MemoTree;
class MoveToMenu;
class QAction;
class QMenu;
class QWidget;
class TreeNode;

// The memo pane's commands as actions, named so that they can be found (the tests do), and
// the menus that offer them: the context menus of a memo and of blank space, and the two
// Move-to menus. The main window puts them into its menu bar.
class MemoActions : public QObject {
    Q_OBJECT
public:
    // firstMoving: the first memo a move would take now; menus are made children of menuParent.
    MemoActions(MemoTree &tree, const std::function<TreeNode *()> &firstMoving, QAction *undo, QAction *redo,
                QWidget *menuParent);

    // Each command set once to its final state: while an edit is open everything is off;
    // otherwise the list commands are on and the memo commands follow the selection.
    void refresh(bool idle, bool selected);
    // The sort button names the direction that a click switches to.
    void showSortDirection(bool ascending);

    QAction *const undo;
    QAction *const redo;
    QAction *const addMemo;
    QAction *const addSubMemo;
    QAction *const editMemo;
    QAction *const deleteMemos;
    QAction *const sort;
    QAction *const listView;
    QAction *const moveTo;
    QAction *const expandAll;
    QAction *const collapseAll;
    QAction *const selectAll;
    QAction *const deselect;
    QAction *const copy;
    QAction *const paste;
    QAction *const exportMemos;
    QAction *const email;
    QAction *const save;
    QAction *const saveAll;
    QAction *const print;
    QAction *const wideSearch;

    MoveToMenu *const moveToMenu;     // in the memo's context menu
    MoveToMenu *const mainMoveToMenu; // in the main menu's Memos
    QMenu *const memoMenu;
    QMenu *const blankMenu;
};

// A menu of actions in order; nullptr stands for a separator.
QMenu *makeMenu(QWidget *parent, const QString &title, std::initializer_list<QAction *> actions);
