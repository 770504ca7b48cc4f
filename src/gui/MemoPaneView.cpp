// SPDX-License-Identifier: GPL-3.0-or-later
// The list's sort order and view.
#include "gui/MainWindow.h"
#include "core/SettingsFile.h"
#include "gui/MemoPane.h"
#include "gui/memos/EditSession.h"
#include "core/SettingsKeys.h"
#include "treeview/TreeUpdateGuard.h"
#include "treeview/MemoTree.h"
#include <QAction>

void MemoPane::toggleSortOrder()
{
    m_sortAscending = !m_sortAscending;
    m_actions->showSortDirection(m_sortAscending);
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
    kViewListEn.write(SettingsFile(m_settingsPath), m_actions->listView->isChecked());
}

void MemoPane::nodeFreed(TreeNode *node)
{
    // The record goes with its node; only the frame's own references to it need clearing.
    if (node == m_editNode)
        m_editNode = nullptr;
    m_editSession->forget(node);
}
