// SPDX-License-Identifier: GPL-3.0-or-later
// Deleting the selected memos with their sub-memos.
#include "gui/MainWindow.h"
#include "gui/Prompts.h"
#include "gui/MemoPane.h"
#include "core/MemoStore.h"
#include "treeview/TreeUpdateGuard.h"
#include "treeview/MemoTree.h"
#include <QHash>

void MemoPane::deleteMemos()
{
    if (m_editNode || !m_tree->firstSelected())
        return;
    const std::vector<TreeNode *> selected = m_tree->selectedNodes();
    const QString question = tr("Are you sure you want to delete ")
                             + (selected.size() == 1 ? tr("this memo?") : tr("these memos?"));
    if (askBox(question) != BoxAnswer::Ok)
        return;
    MemoRows removed;
    {
        // All rows or none: a failure halfway would leave memos in the tree whose rows are gone.
        Transaction batch = m_store.allOrNothing();
        // Each row with its place: a memo's own, or a sub-memo's under its memo.
        std::vector<QString> mids;
        QHash<QString, int> places;
        for (TreeNode *memo : selected) {
            if (memo->memo.mid.isEmpty())
                continue; // typed text not stored yet: only its node goes
            mids.push_back(memo->memo.mid);
            places.insert(memo->memo.mid, memo->index());
            for (int i = 0; i < memo->childCount(); ++i)
                places.insert(memo->child(i)->memo.mid, i);
        }
        for (MemoRow &row : m_store.removeWithSubMemos(mids)) {
            const int index = places.value(row.memo.mid, -1);
            removed.push_back({std::move(row), index});
        }
        batch.commit();
    }
    {
        const TreeUpdateGuard update(*m_tree);
        m_tree->deleteSelectedNodes(); // with their sub-memo nodes
    }
    recordRows(tr("Delete"), std::move(removed), {});
    refilter();
    refreshCommands();
}
