// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/MemoText.h"
#include "treeview/MemoTree.h"
#include "treeview/TreeMetrics.h"

using namespace TreeMetrics;

bool MemoTree::editNode(TreeNode *node)
{
    if (m_edit.isClosing() || !node || !m_nodes.contains(node))
        return false;
    if (m_edit.isOpen() && !endEditNode())
        return false;
    if (!m_nodes.contains(node))
        return false; // the previous edit's callbacks deleted it
    const uint64_t serial = node->m_serial;

    m_focus.setFocused(node);
    m_focus.setAnchor(node);
    if (TreeNode *p = node->parent(); p && !p->m_expanded)
        setExpanded(p, true);
    if (!isAlive(node, serial) || m_rows.isUpdating())
        return false;
    m_rows.scrollTo(node);
    if (m_rows.rowOf(node) < 0)
        return false; // hidden

    if (!m_delegate->canEdit(node) || !isAlive(node, serial) || m_edit.isOpen())
        return false;
    return m_edit.open(node, toLfLineBreaks(m_delegate->nodeText(node)), font(), editorRect(node));
}

QRect MemoTree::editorRect(TreeNode *node) const
{
    const TreeScroller &rows = m_rows.scroller();
    const QRect row = rows.rowRect(rows.layout().rowOf(node));
    const int left = m_painter.textLeft(node) - kEditorMargin;
    const int width = viewport()->width() - kTextMarginRight + kEditorMargin - left;
    // The whole row height, grid line included: a row measured for n lines then holds n
    // editor lines without a scroll bar.
    return QRect(left, row.top() + kTextMarginV - kEditorMargin, std::max(1, width),
                 std::max(1, row.height() - (kTextMarginV - kEditorMargin)));
}

void MemoTree::placeEditor()
{
    TreeNode *node = m_edit.node();
    if (!node)
        return;
    if (m_rows.scroller().layout().rowOf(node) < 0)
        m_edit.park();
    else
        m_edit.place(editorRect(node));
}
