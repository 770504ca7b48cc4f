// Deleting the selected memos with their sub-memos.
#include "gui/MainWindow.h"
#include "gui/Prompts.h"
#include "gui/MemoPane.h"
#include "core/MemoStore.h"
#include "treeview/TreeUpdateGuard.h"
#include "treeview/MemoTree.h"

void MemoPane::deleteMemos()
{
    if (m_editNode || !m_tree->firstSelected())
        return;
    const std::vector<TreeNode *> selected = m_tree->selectedNodes();
    const QString question = tr("Are you sure you want to delete ")
                             + (selected.size() == 1 ? tr("this memo?") : tr("these memos?"));
    if (askBox(question) != IDOK)
        return;
    {
        // storedRows deleted before a failure stay deleted; the nodes go only once every row has.
        Transaction batch = m_store.transaction();
        for (TreeNode *memo : selected)
            m_store.removeWithSubMemos(memo->memo.mid);
        batch.commit();
    }
    {
        const TreeUpdateGuard update(*m_tree);
        m_tree->deleteSelectedNodes(); // with their sub-memo nodes
    }
    applyFilter();
    refreshCommands();
}
