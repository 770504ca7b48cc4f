// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QMenu>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

class MemoTree;
class TreeNode;

// A Move-to menu: the memos the selection can go into, and the top level for a sub-memo.
// It is filled when it opens (a list of every memo is costly to build at each selection
// change); a long list comes in groups, each filled when it first opens.
class MoveToMenu : public QMenu {
    Q_OBJECT
public:
    // firstMoving: the first memo a move would take now; nullptr while none may move.
    MoveToMenu(MemoTree &tree, std::function<TreeNode *()> firstMoving, QWidget *parent);

    // Whether the menu would have items: its own entry is enabled by that.
    bool hasTargets() const;
    // The items for the selection of the moment.
    void rebuild();

signals:
    // target: the memo chosen, still in the list; nullptr for the top level.
    void targetChosen(TreeNode *target);

private:
    using Targets = std::vector<std::pair<TreeNode *, quint64>>; // node and its serial
    // Fills menu with the targets [begin, end): the items themselves, or groups of them.
    void fill(QMenu *menu, const std::shared_ptr<Targets> &targets, size_t begin, size_t end);
    void addItem(QMenu *menu, const QString &caption, TreeNode *target);

    MemoTree &m_tree;
    std::function<TreeNode *()> m_firstMoving;
};
