// Which commands are available, selection, expansion and the status text.
#include "app/Fm_Main.h"
#include "app/pU_Funcs.h"
#include "components/KvStatusBar.h"
#include "memos/Fr_kvMemos.h"
#include "store/KvBatch.h"
#include "store/SqlCatalogue.h"
#include "tree/KvTreeUpdate.h"
#include "tree/KvVirtualTree.h"
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QRandomGenerator>
#include <QScopedValueRollback>

void TkvMemosFrame::RefreshCommands()
{
    // Each command is set once to its final state: while an edit is open everything is off;
    // otherwise the list commands are on and the memo commands follow the selection.
    const bool idle = FEditNode == nullptr;
    const bool selected = idle && VtMemos->firstSelected() != nullptr;
    for (QAction *action : {Action_MemoAdd, Action_MemoAddChild, Action_ViewAsc, Action_ViewList, Action_ExpandAll,
                            Action_CollapseAll, Action_SaveAll, Action_Save, Action_Email, Action_Print,
                            Action_SelectAll, Action_Deselect, Action_CopyMemo, Action_PasteMemo})
        action->setEnabled(idle);
    for (QAction *action : {Action_MemoEdit, Action_MemoDelete, Action_Moveto})
        action->setEnabled(selected);
    // The Move-to menus are filled when they open (a list of every memo is costly to build
    // at each selection change); here they only learn whether they will have items.
    const bool targets = HasMoveTargets();
    for (QMenu *menu : {Menu_Moveto, MainMoveto})
        menu->menuAction()->setEnabled(targets);
}

void TkvMemosFrame::VtMemosChange(KvTreeNode *node)
{
    RefreshCommands();
    if (node) {
        KvStatusBar1->setPanelText(DateAndTimeText(DateTimeToQDateTime(node->data.createTime), true)
                                   + QStringLiteral(" created"));
        StatusImage->hide();
    } else {
        StatusImage->show();
        ShowRandomStatusTip();
    }
}

void TkvMemosFrame::ShowRandomStatusTip()
{
    KvStatusBar1->setPanelText(StatusTips[QRandomGenerator::global()->bounded(int(StatusTips.size()))]);
}

void TkvMemosFrame::StoreExpandFlag(KvTreeNode *node, bool expanded)
{
    if (node->data.expandFlag != expanded) {
        node->data.expandFlag = expanded;
        // A read-only database was announced once at start; the state is kept in memory.
        // A memo without a row yet has nothing to store.
        if (!node->data.mid.isEmpty() && !FMainFm->connection().isReadOnly())
            ExecSql(*ADOQuery1, Sql::UpdateExpandFlag(expanded, node->data.mid));
    }
    // The filter and Expand All change many memos at once; what the commands offer does not
    // depend on it.
    if (!FFiltering)
        RefreshCommands();
}

void TkvMemosFrame::VtMemosExpanded(KvTreeNode *node)
{
    StoreExpandFlag(node, true);
}

void TkvMemosFrame::VtMemosCollapsed(KvTreeNode *node)
{
    StoreExpandFlag(node, false);
}

void TkvMemosFrame::SetAllExpanded(bool expanded)
{
    {
        // One transaction and one layout for the lot.
        KvBatch batch(FMainFm->connection());
        const KvTreeUpdate update(*VtMemos);
        const QScopedValueRollback<bool> atWork(FFiltering, true);
        for (int i = 0; i < VtMemos->topLevelCount(); ++i)
            VtMemos->setExpanded(VtMemos->topLevelNode(i), expanded);
        batch.commit();
    }
    RefreshCommands();
}

void TkvMemosFrame::Action_ExpandAllExecute()
{
    SetAllExpanded(true);
}

void TkvMemosFrame::Action_CollapseAllExecute()
{
    SetAllExpanded(false);
}

void TkvMemosFrame::Action_SelectAllExecute()
{
    VtMemos->setFocus();
    VtMemos->selectAllVisible();
}

void TkvMemosFrame::Action_DeselectExecute()
{
    VtMemos->clearSelection();
}

QMenu *TkvMemosFrame::VtMemosGetPopupMenu(KvTreeNode *node)
{
    return node ? PopupMenu_Memo : PopupMenu_Null;
}
