// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/memos/MemoNode.h"
#include "treeview/MemoTree.h"

TreeNode *addMemoNode(MemoTree &tree, TreeNode *parent)
{
    TreeNode *node = tree.addChild(parent);
    tree.setVerticalAlignment(node, 0);
    tree.setMultiline(node, true);
    return node;
}
