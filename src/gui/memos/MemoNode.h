// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/Memo.h"
#include "treeview/TreeNode.h"

class MemoTree;

// A node of the memo list with the memo it shows. The list's tree makes these (makeMemoNode),
// so every node it hands out is one.
struct MemoNode : TreeNode {
    Memo memo;
};

inline TreeNode *makeMemoNode()
{
    return new MemoNode;
}

inline Memo &memoOf(TreeNode *node)
{
    return static_cast<MemoNode *>(node)->memo;
}

inline const Memo &memoOf(const TreeNode *node)
{
    return static_cast<const MemoNode *>(node)->memo;
}

// A memo node as every memo gets it: multi-line, its button and picture at the top.
TreeNode *addMemoNode(MemoTree &tree, TreeNode *parent);
