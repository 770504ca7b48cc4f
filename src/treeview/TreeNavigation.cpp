// SPDX-License-Identifier: GPL-3.0-or-later
#include "treeview/TreeNavigation.h"
#include "treeview/TreeNode.h"
#include "treeview/TreeScroller.h"
#include <Qt>

namespace TreeNavigation {

int target(TreeScroller &scroller, int current, int key)
{
    const TreeLayout &layout = scroller.layout();
    const int count = layout.count();
    int target;
    if (current < 0) {
        target = key == Qt::Key_End ? count - 1 : 0;
    } else {
        switch (key) {
        case Qt::Key_Up:
            target = current - 1;
            break;
        case Qt::Key_Down:
            target = current + 1;
            break;
        case Qt::Key_PageUp:
            target = scroller.pageTarget(current, -1);
            break;
        case Qt::Key_PageDown:
            target = scroller.pageTarget(current, 1);
            break;
        case Qt::Key_Home:
            target = 0;
            break;
        default:
            target = count - 1;
            break;
        }
    }
    return target >= 0 && target < count && layout.node(target) ? target : -1;
}

int extendTarget(const TreeScroller &scroller, const TreeNode *anchor, int current, int target, int key)
{
    const TreeLayout &layout = scroller.layout();
    const TreeNode *parent = anchor->parent();
    auto isSibling = [&](int row) { return layout.node(row) && layout.node(row)->parent() == parent; };
    if (key == Qt::Key_Up || key == Qt::Key_Down) {
        const int step = key == Qt::Key_Down ? 1 : -1;
        const int level = anchor->level();
        for (int row = current + step; row >= 0 && row < layout.count(); row += step) {
            if (isSibling(row))
                return row;
            if (layout.node(row) && layout.node(row)->level() < level)
                return -1;
        }
        return -1;
    }
    const int step = target > current ? -1 : 1;
    while (target != current && !isSibling(target))
        target += step;
    return isSibling(target) ? target : -1;
}

} // namespace TreeNavigation
