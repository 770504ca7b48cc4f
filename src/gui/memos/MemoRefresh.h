// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/RowLook.h"
#include <QSet>
#include <QString>
#include <functional>
#include <memory>

class MemoTree;
class TreeNode;

// Brings the memo list in line with the database after another process wrote to it: a look
// (lookAtRows) hands over only the rows whose prints differ from the last look's, and only
// their nodes are touched, so the selection, the focused memo, the scroll position and a
// search in force stay as they are, and the cost follows the change rather than the size of
// the list.
class MemoRefresh {
public:
    using NodeMaker = std::function<TreeNode *(TreeNode *parent)>;
    using Holds = std::function<bool(const TreeNode *node)>;

    // seen: the rows as the list took them in last (at its load or the last look), which run()
    // replaces with the look's; makeNode: a memo node as the list makes it; held: nodes whose text
    // the database has not taken yet, which the refresh neither changes nor removes.
    MemoRefresh(MemoTree &tree, std::shared_ptr<const RowPrints> &seen, NodeMaker makeNode, Holds held);

    // Patches what the look found into the tree; new memos take their places in the sort
    // order. The look was taken against seen. Returns the ids of the memos added, changed or
    // removed.
    QSet<QString> run(RowLook look, bool ascending);

private:
    int sortedIndex(TreeNode *parent, TreeNode *node, bool ascending) const;
    void place(TreeNode *node, TreeNode *parent, bool ascending);
    // The prints of this look become the last look's; lookAgain: ids whose rows the next
    // look reads again.
    void remember(RowPrints now, const QSet<QString> &lookAgain);

    MemoTree &m_tree;
    std::shared_ptr<const RowPrints> &m_seen;
    NodeMaker m_makeNode;
    Holds m_held;
};
