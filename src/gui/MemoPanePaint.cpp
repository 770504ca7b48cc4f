// SPDX-License-Identifier: GPL-3.0-or-later
// How memo rows are drawn: placeholder style, row backgrounds and the hover view of list view.
#include "gui/MainWindow.h"
#include "gui/MemoPane.h"
#include "treeview/MemoTree.h"
#include <QAction>
#include <QPainter>
#include <QTimer>

void MemoPane::styleNodeText(TreeNode *node, QFont &font, QColor &colour) const
{
    if (node != m_editNode && node->memo.content.isEmpty()) {
        colour = palette().color(QPalette::PlaceholderText);
        font.setItalic(true);
    }
}

void MemoPane::paintNodeBackground(QPainter &painter, TreeNode *node, const QRect &cellRect) const
{
    if (!node)
        return;
    if (node == m_editNode) {
        painter.fillRect(cellRect, m_tree->palette().color(QPalette::Base)); // plain under the editor
    } else if (node == m_tree->hotNode()) {
        painter.fillRect(cellRect, palette().color(QPalette::ToolTipBase));
    } else if (node->level() > 0) {
        painter.drawImage(cellRect, m_mainWindow->backgrounds().group);
    } else {
        // Siblings hidden by a search count too, so a memo keeps its colour while filtering.
        painter.drawImage(cellRect, node->index() % 2 == 0 ? m_mainWindow->backgrounds().item0 : m_mainWindow->backgrounds().item1);
    }
}

void MemoPane::hoveredNodeChanged(TreeNode *, TreeNode *newNode)
{
    if (!m_listViewAction->isChecked())
        return;
    // Leaving for blank space keeps the memo opened last open, so that it can be read on.
    m_hoverTimer->stop();
    if (newNode)
        m_hoverTimer->start();
}

void MemoPane::hoverDelayElapsed()
{
    m_hoverTimer->stop();
    TreeNode *hot = m_tree->hotNode();
    if (hot == m_hoverNode)
        return;
    TreeNode *old = m_hoverNode;
    m_hoverNode = hot;
    if (hot)
        m_tree->invalidateNode(hot);
    if (old)
        m_tree->invalidateNode(old);
}
