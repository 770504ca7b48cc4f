// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class TreeNode;
class TreeScroller;

// Where the arrow, page, Home and End keys lead among the laid-out rows.
namespace TreeNavigation {

// The row key leads to from current (-1: no row yet); a page is measured as far as one screen
// holds. -1 when it leads nowhere.
int target(TreeScroller &scroller, int current, int key);
// A Shift+key extension from current towards target stays among the anchor's siblings: rows of
// other levels are passed over, and the walk stops where the anchor's parent ends. -1 when
// no sibling lies that way.
int extendTarget(const TreeScroller &scroller, const TreeNode *anchor, int current, int target, int key);

} // namespace TreeNavigation
