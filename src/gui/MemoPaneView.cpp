// SPDX-License-Identifier: GPL-3.0-or-later
// What each memo row shows: its text, list-view numbering, height, picture and order.
#include "gui/MainWindow.h"
#include "core/SettingsFile.h"
#include "core/MemoText.h"
#include "core/MemoOrder.h"
#include "gui/MemoPane.h"
#include "gui/memos/EditSession.h"
#include "core/SettingsKeys.h"
#include "treeview/TreeUpdateGuard.h"
#include "treeview/MemoTree.h"
#include <QAction>
#include <algorithm>
#include <climits>

QString MemoPane::nodeText(TreeNode *node) const
{
    const QString &content = node->memo.content;
    if (node == m_editNode)
        return content;
    if (content.isEmpty())
        return tr("Input content here");
    if (!m_listViewAction->isChecked())
        return content;
    const QString body = node == m_hoverNode ? content : flattenLineBreaks(content);
    const QString number = QString::number(node->index() + 1);
    return node->level() > 0 ? QLatin1Char('(') + number + QLatin1String(") ") + body
                             : number + QLatin1String(". ") + body;
}

int MemoPane::compareNodes(TreeNode *node1, TreeNode *node2) const
{
    if (!node1 || !node2)
        return 0;
    return compareMemoTexts(node1->memo.content, node2->memo.content);
}

void MemoPane::showSortDirection()
{
    // The button names the direction that a click switches to.
    m_sortAction->setIcon(m_images[m_sortAscending ? 8 : 7]);
    m_sortAction->setToolTip(m_sortAscending ? tr("Descending Sort") : tr("Ascending Sort"));
}

void MemoPane::toggleSortOrder()
{
    m_sortAscending = !m_sortAscending;
    showSortDirection();
    m_tree->sortTree(m_sortAscending);
    kViewAscEn.write(SettingsFile(m_settingsPath), m_sortAscending);
}

void MemoPane::toggleListView()
{
    if (m_loading)
        return;
    {
        const TreeUpdateGuard update(*m_tree);
        m_tree->invalidateAll();
    }
    kViewListEn.write(SettingsFile(m_settingsPath), m_listViewAction->isChecked());
}

int MemoPane::nodeHeight(TreeNode *node) const
{
    const int line = m_tree->textHeight(node, QStringLiteral("l"));
    const bool oneLine = m_listViewAction->isChecked() && node != m_hoverNode && node != m_editNode;
    const int base = oneLine ? line + 4 : m_tree->textHeight(node, nodeText(node)) + 4;
    int minimum = line + 4;
    int maximum = INT_MAX;
    if (node == m_editNode) {
        // Room for the editor, but never more than the tree can show.
        minimum = 4 * line + 4;
        maximum = m_tree->height() - line;
    }
    return std::max(1, std::min(std::max(base, minimum), maximum));
}

int MemoPane::nodeImageIndex(TreeNode *node) const
{
    return node->level() == 0 ? 0 : 21;
}

void MemoPane::nodeFreed(TreeNode *node)
{
    // The record goes with its node; only the frame's own references to it need clearing.
    if (node == m_hoverNode)
        m_hoverNode = nullptr;
    if (node == m_editNode)
        m_editNode = nullptr;
    m_editSession->forget(node);
}
