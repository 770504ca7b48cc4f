// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "treeview/MemoTree.h"
#include "treeview/MemoTreeDelegate.h"
#include "treeview/TreeNode.h"
#include <functional>

// A node of the tests' trees: a text is all it carries.
struct TextNode : TreeNode {
    QString text;
};

inline QString &textOf(TreeNode *node)
{
    return static_cast<TextNode *>(node)->text;
}

inline TreeNode *makeTextNode()
{
    return new TextNode;
}

// A tree delegate whose answers a test scripts; every question left unscripted gets the
// neutral default.
struct ScriptedTreeDelegate : MemoTreeDelegate {
    std::function<int(TreeNode *)> rowHeight;
    std::function<int(TreeNode *, TreeNode *)> compare;
    std::function<bool(TreeNode *)> mayEdit;
    std::function<bool(TreeNode *)> mayDrag;
    std::function<bool(TreeNode *target, const QMimeData *, bool internal)> mayDrop;
    std::function<void(TreeNode *target, const QMimeData *, bool internal)> dropped;
    std::function<QMenu *(TreeNode *)> menu;
    std::function<void(QKeyEvent *)> key;

    QString nodeText(TreeNode *node) const override { return textOf(node); }
    int nodeHeight(TreeNode *node) const override { return rowHeight ? rowHeight(node) : 0; }
    int compareNodes(TreeNode *a, TreeNode *b) const override { return compare ? compare(a, b) : 0; }
    bool canEdit(TreeNode *node) override { return mayEdit ? mayEdit(node) : MemoTreeDelegate::canEdit(node); }
    bool canDrag(TreeNode *node) override { return mayDrag ? mayDrag(node) : MemoTreeDelegate::canDrag(node); }
    bool canDrop(TreeNode *target, const QMimeData *data, bool internal) override
    {
        return mayDrop ? mayDrop(target, data, internal) : MemoTreeDelegate::canDrop(target, data, internal);
    }
    void drop(TreeNode *target, const QMimeData *data, bool internal) override
    {
        if (dropped)
            dropped(target, data, internal);
    }
    QMenu *contextMenu(TreeNode *node) override { return menu ? menu(node) : nullptr; }
    void keyPressed(QKeyEvent *event) override
    {
        if (key)
            key(event);
    }
};

// A tree that answers itself through its scripted delegate.
struct ScriptedTree : ScriptedTreeDelegate, MemoTree {
    ScriptedTree() : MemoTree(nullptr, makeTextNode) { setDelegate(this); }
};
