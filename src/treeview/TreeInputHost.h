// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class MemoTreeDelegate;
class QPoint;
class TreeNode;

// What the pointer's and the keyboard's rules ask of their tree beyond its rows and its
// selection: the tree answers, a test gives them a stand-in.
class TreeInputHost {
public:
    virtual MemoTreeDelegate *delegate() const = 0; // never null
    virtual void takeFocus() = 0;                   // before a click does anything else
    virtual bool isOnExpandButton(TreeNode *node, const QPoint &pos) const = 0;
    virtual void setExpanded(TreeNode *node, bool expanded) = 0;
    virtual bool editNode(TreeNode *node) = 0;
    virtual bool isEditing() const = 0;
    virtual void startDrag(TreeNode *node) = 0; // returns when the drag ends
    virtual void beginUpdate() = 0;
    virtual void endUpdate() = 0;

protected:
    ~TreeInputHost() = default;
};
