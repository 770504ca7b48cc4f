// SPDX-License-Identifier: GPL-3.0-or-later
#include "treeview/MemoTreeDelegate.h"

QString MemoTreeDelegate::nodeText(TreeNode *) const
{
    return QString();
}

int MemoTreeDelegate::nodeHeight(TreeNode *) const
{
    return 0;
}

int MemoTreeDelegate::nodeImageIndex(TreeNode *) const
{
    return -1;
}

void MemoTreeDelegate::styleNodeText(TreeNode *, QFont &, QColor &) const {}

void MemoTreeDelegate::paintNodeBackground(QPainter &, TreeNode *, const QRect &) const {}

int MemoTreeDelegate::compareNodes(TreeNode *, TreeNode *) const
{
    return 0;
}

bool MemoTreeDelegate::canEdit(TreeNode *)
{
    return true;
}

bool MemoTreeDelegate::canDrag(TreeNode *)
{
    return false;
}

bool MemoTreeDelegate::canDrop(TreeNode *, const QMimeData *, bool)
{
    return false;
}

void MemoTreeDelegate::drop(TreeNode *, const QMimeData *, bool) {}

QMenu *MemoTreeDelegate::contextMenu(TreeNode *)
{
    return nullptr;
}

void MemoTreeDelegate::keyPressed(QKeyEvent *) {}
