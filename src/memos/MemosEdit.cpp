// Adding memos and editing them in place. At most one edit exists: FEditNode marks the node,
// a posted message opens the editor, and a commit stores the text at once.
#include "app/Fm_Main.h"
#include "app/KvApplication.h"
#include "app/PostedMessages.h"
#include "components/KvTray.h"
#include "app/pU_Funcs.h"
#include "memos/Fr_kvMemos.h"
#include "store/MemoId.h"
#include "store/SqlCatalogue.h"
#include "tree/KvVirtualTree.h"
#include <QKeyEvent>
#include <QScopedValueRollback>

KvTreeNode *TkvMemosFrame::AddMemoNode(KvTreeNode *parent)
{
    KvTreeNode *node = VtMemos->addChild(parent);
    VtMemos->setVerticalAlignment(node, 0);
    VtMemos->setMultiline(node, true);
    return node;
}

void TkvMemosFrame::InsertMemoRow(const TMemoInfo &memo)
{
    ADOQuery1->close();
    ADOQuery1->clearSql();
    ADOQuery1->addSql(Sql::EmptyMemoForAppend());
    ADOQuery1->open();
    ADOQuery1->append();
    ADOQuery1->setField("mid", memo.mid);
    ADOQuery1->setField("pid", memo.pid);
    ADOQuery1->setField("content", memo.content);
    ADOQuery1->setField("createTime", memo.createTime);
    if (memo.assignTime != 0) // a pasted memo has none, and the row keeps the table's default
        ADOQuery1->setField("assignTime", memo.assignTime);
    ADOQuery1->setField("editTime", memo.editTime);
    ADOQuery1->post();
}

void TkvMemosFrame::StoreOrReport(TMemoInfo &memo, bool isNew, const std::function<void()> &store)
{
    try {
        store();
    } catch (const std::exception &error) {
        // The text stays in the tree; a new memo keeps no id, so that its next commit tries
        // the insert again instead of updating a row that does not exist.
        if (isNew)
            memo.mid.clear();
        ShowDefaultErrorBox(QString::fromUtf8(error.what()));
    }
}

void TkvMemosFrame::Action_MemoAddExecute()
{
    if (FEditNode)
        return;
    FEditNode = AddMemoNode(nullptr);
    FEditNode->data.pid = QStringLiteral("root");
    PostKvMessage(this, WM_MEMOS_EDIT_PENDING);
    RefreshCommands();
}

void TkvMemosFrame::Action_MemoAddChildExecute()
{
    if (FEditNode)
        return;
    KvTreeNode *parent = VtMemos->firstSelected();
    if (parent && parent->level() > 0)
        parent = parent->parent();
    if (!parent)
        parent = VtMemos->lastTopLevelNode();
    if (!parent) {
        TipBox(QStringLiteral("Please select a memo!"));
        return;
    }
    FEditNode = AddMemoNode(parent);
    FEditNode->data.pid = parent->data.mid;
    PostKvMessage(this, WM_MEMOS_EDIT_PENDING);
    RefreshCommands();
}

void TkvMemosFrame::Action_MemoEditExecute()
{
    KvTreeNode *node = VtMemos->firstSelected();
    if (FEditNode || !node)
        return;
    FEditNode = node;
    VtMemos->invalidateNode(node);
    PostKvMessage(this, WM_MEMOS_EDIT_PENDING);
    RefreshCommands();
}

void TkvMemosFrame::VtMemosEditing(KvTreeNode *node, bool &allowed)
{
    if (FEditNode) {
        // Only the marked node may be edited; an editor on any other node would leave the
        // marked one behind.
        allowed = node == FEditNode;
        RefreshCommands();
        return;
    }
    // A request of the tree's own (F2, a slow second click) is refused once and repeated
    // through the posted message, so that the node has grown to its editing height first.
    allowed = false;
    if (node) {
        FEditNode = node;
        VtMemos->invalidateNode(node);
        PostKvMessage(this, WM_MEMOS_EDIT_PENDING);
        RefreshCommands();
    }
}

void TkvMemosFrame::MemosEditPending()
{
    ShowTip(1);
    if (!FEditNode || VtMemos->isEditing())
        return;
    if (!VtMemos->editNode(FEditNode)) {
        // The node cannot be edited (it was hidden meanwhile): end the edit as a cancel would.
        VtMemosEditCancelled();
    }
}

void TkvMemosFrame::MemosDropPending(KvTreeNode *node, quint64 serial)
{
    // The node may have gone meanwhile (a reload clears the tree); only a live one is touched.
    if (VtMemos->isAlive(node, serial) && node != FEditNode)
        VtMemos->deleteNode(node);
    ShowTip(0);
}

void TkvMemosFrame::VtMemosNewText(KvTreeNode *node, const QString &newText)
{
    if (!node)
        return;
    const QScopedValueRollback<bool> storing(FStoring, true);
    TMemoInfo &memo = node->data;
    memo.content = TrimRightControls(newText);
    const bool isNew = memo.mid.isEmpty();
    StoreOrReport(memo, isNew, [&] {
        if (isNew) {
            memo.mid = NewMemoId();
            memo.createTime = DateTimeNow();
            memo.assignTime = memo.createTime;
            memo.editTime = DateTimeNow(); // a second reading of the clock
            InsertMemoRow(memo);
            return;
        }
        ADOQuery1->close();
        ADOQuery1->clearSql();
        ADOQuery1->addSql(Sql::SelectMemoById(memo.mid));
        ADOQuery1->open();
        ADOQuery1->first();
        ADOQuery1->edit();
        memo.editTime = DateTimeNow();
        ADOQuery1->setField("content", memo.content);
        ADOQuery1->setField("editTime", memo.editTime);
        ADOQuery1->post();
    });
    RefreshCommands();
}

void TkvMemosFrame::VtMemosEdited(KvTreeNode *node)
{
    if (!node) {
        RefreshCommands();
        return;
    }
    FEditNode = nullptr;
    if (node->data.mid.isEmpty() && node->data.content.isEmpty()) {
        PostKvMessage(this, WM_MEMOS_DROP_PENDING, quintptr(node), node->serial());
    } else {
        VtMemos->invalidateNode(node);
        VtMemos->repaintNode(node);
        Action_DeselectExecute();
        VtMemos->setSelected(node, true);
        ShowTip(0);
    }
    RefreshCommands();
}

void TkvMemosFrame::VtMemosEditCancelled()
{
    if (!FEditNode) {
        RefreshCommands();
        return;
    }
    KvTreeNode *node = FEditNode;
    FEditNode = nullptr;
    if (node->data.mid.isEmpty()) {
        PostKvMessage(this, WM_MEMOS_DROP_PENDING, quintptr(node), node->serial());
    } else {
        VtMemos->invalidateNode(node);
        VtMemos->repaintNode(node);
        ShowTip(0);
    }
    RefreshCommands();
}

void TkvMemosFrame::CommitOpenEdit()
{
    // The error box of a failed store comes while the edit is ending: nothing to end then.
    if (FStoring)
        return;
    if (VtMemos->isEditing())
        VtMemos->endEditNode();
    else if (FEditNode)
        VtMemosEditCancelled();
}

void TkvMemosFrame::VtMemosKeyDown(QKeyEvent *event)
{
    const bool ctrl = event->modifiers().testFlag(Qt::ControlModifier);
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (ctrl)
            Action_MemoAddChildExecute();
        else
            Action_MemoAddExecute();
        break;
    case Qt::Key_Delete:
        Action_MemoDeleteExecute();
        break;
    case Qt::Key_C:
        if (ctrl)
            Action_CopyMemoExecute();
        break;
    case Qt::Key_V:
        if (ctrl)
            Action_PasteMemoExecute();
        break;
    case Qt::Key_F12:
        if (ctrl)
            FMainFm->KvTrayIcon1->Minimize();
        break;
    default:
        break;
    }
}

void TkvMemosFrame::VtMemosDblClick()
{
    if (!VtMemos->nodeAt(QPoint(FMouseX, FMouseY)) && !FEditNode)
        PostKvMessage(this, WM_MEMOS_ADD);
}

void TkvMemosFrame::VtMemosMouseMove(const QPoint &position)
{
    FMouseX = position.x();
    FMouseY = position.y();
}
