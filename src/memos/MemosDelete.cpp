// Deleting the selected memos with their sub-memos.
#include "app/Fm_Main.h"
#include "app/Prompts.h"
#include "app/pU_Funcs.h"
#include "memos/Fr_kvMemos.h"
#include "store/KvBatch.h"
#include "store/SqlCatalogue.h"
#include "tree/KvTreeUpdate.h"
#include "tree/KvVirtualTree.h"

void TkvMemosFrame::Action_MemoDeleteExecute()
{
    if (FEditNode || !VtMemos->firstSelected())
        return;
    const std::vector<KvTreeNode *> selected = VtMemos->selectedNodes();
    const QString question = QStringLiteral("Are you sure you want to delete ")
                             + (selected.size() == 1 ? QStringLiteral("this memo?") : QStringLiteral("these memos?"));
    if (AskBox(question) != IDOK)
        return;
    {
        // Rows deleted before a failure stay deleted; the nodes go only once every row has.
        KvBatch batch(FMainFm->connection());
        for (KvTreeNode *memo : selected) {
            ExecSql(*ADOQuery1, Sql::DeleteMemo(memo->data.mid));
            ExecSql(*ADOQuery1, Sql::DeleteSubMemos(memo->data.mid));
        }
        batch.commit();
    }
    {
        const KvTreeUpdate update(*VtMemos);
        VtMemos->deleteSelectedNodes(); // with their sub-memo nodes
    }
    ApplyFilter();
    RefreshCommands();
}
