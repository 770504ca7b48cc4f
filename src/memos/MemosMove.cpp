// Moving memos under another memo or to the top level, by menu or by dragging.
#include "app/Fm_Main.h"
#include "app/pU_Funcs.h"
#include "memos/Fr_kvMemos.h"
#include "store/KvBatch.h"
#include "store/SqlCatalogue.h"
#include "tree/KvTreeUpdate.h"
#include "tree/KvVirtualTree.h"
#include <QAction>
#include <QMenu>
#include <QMimeData>

bool TkvMemosFrame::HasMoveTargets() const
{
    KvTreeNode *first = FEditNode ? nullptr : VtMemos->firstSelected();
    // A sub-memo can always go to the top level; a memo needs another memo to go into.
    return first && (first->level() > 0 || VtMemos->topLevelCount() > 1);
}

void TkvMemosFrame::BuildMovetoMenu(QMenu *menu)
{
    menu->clear();
    KvTreeNode *first = FEditNode ? nullptr : VtMemos->firstSelected();
    if (!first)
        return;
    const auto addTarget = [this, menu](const QString &caption, KvTreeNode *target) {
        QAction *item = menu->addAction(caption);
        item->setData(QVariantList{quintptr(target), target ? target->serial() : quint64(0)});
        connect(item, &QAction::triggered, this, [this, item] { Action_MovetoExecute(item); });
    };
    if (first->level() > 0) {
        addTarget(QStringLiteral("Root"), nullptr);
        menu->addSeparator();
    }
    for (int i = 0; i < VtMemos->topLevelCount(); ++i) {
        KvTreeNode *memo = VtMemos->topLevelNode(i);
        if (memo == first || memo == first->parent())
            continue;
        // The memo's text as it stands, ampersands included.
        QString caption = memo->data.content;
        addTarget(caption.replace(QLatin1Char('&'), QLatin1String("&&")), memo);
    }
}

void TkvMemosFrame::Action_MovetoExecute(QAction *item)
{
    if (!item)
        return;
    const QVariantList data = item->data().toList();
    auto *target = data.size() == 2 ? reinterpret_cast<KvTreeNode *>(data[0].value<quintptr>()) : nullptr;
    if (target && !VtMemos->isAlive(target, data[1].toULongLong()))
        return;
    MoveSelectedMemos(target, KvVirtualTree::AttachMode::AddChildFirst);
}

void TkvMemosFrame::MoveSelectedMemos(KvTreeNode *target, KvVirtualTree::AttachMode mode)
{
    const std::vector<KvTreeNode *> selected = VtMemos->selectedNodes();
    const QString pid = target ? target->data.mid : QStringLiteral("root");
    const bool first = mode == KvVirtualTree::AttachMode::AddChildFirst;
    KvBatch batch(FMainFm->connection());
    const KvTreeUpdate update(*VtMemos);
    for (KvTreeNode *memo : selected) {
        if (memo == target)
            continue;
        // The tree holds two levels: a memo that goes into another memo takes its sub-memos
        // along as sub-memos of the target, right after itself.
        std::vector<KvTreeNode *> carried;
        if (target)
            for (int i = 0; i < memo->childCount(); ++i)
                carried.push_back(memo->child(i));
        if (first) {
            for (auto child = carried.rbegin(); child != carried.rend(); ++child)
                VtMemos->moveTo(*child, target, mode);
            VtMemos->moveTo(memo, target, mode);
        } else {
            VtMemos->moveTo(memo, target, mode);
            for (KvTreeNode *child : carried)
                VtMemos->moveTo(child, target, mode);
        }
        memo->data.pid = pid;
        ExecSql(*ADOQuery1, Sql::UpdateMemoParent(pid, memo->data.mid));
        for (KvTreeNode *child : carried) {
            child->data.pid = pid;
            ExecSql(*ADOQuery1, Sql::UpdateMemoParent(pid, child->data.mid));
        }
        if (target)
            VtMemos->setExpanded(target, true);
        VtMemos->setSelected(memo, false);
    }
    batch.commit();
}

void TkvMemosFrame::VtMemosDragAllowed(KvTreeNode *node, bool &allowed)
{
    allowed = node != nullptr;
}

void TkvMemosFrame::VtMemosDragOver(KvTreeNode *target, bool internal, bool &accept)
{
    // Only memos dragged inside the tree move; a drop from another program never moves the
    // memos that happen to be selected. Text from another program becomes a new memo.
    if (!internal) {
        accept = VtMemos->dragMimeData() && VtMemos->dragMimeData()->hasText();
        return;
    }
    accept = true;
    if (!target)
        return;
    if (target == VtMemos->firstSelected()) {
        accept = false;
        return;
    }
    if (target->level() == 0)
        VtMemos->setExpanded(target, true); // its sub-memos show where the drop will land
}

void TkvMemosFrame::VtMemosDragDrop(KvTreeNode *target, bool internal)
{
    if (!internal) {
        if (VtMemos->dragMimeData() && VtMemos->dragMimeData()->hasText())
            PasteAsMemo(VtMemos->dragMimeData()->text());
        return;
    }
    if (target && target->level() > 0)
        target = target->parent(); // a drop on a sub-memo means its memo
    MoveSelectedMemos(target, KvVirtualTree::AttachMode::AddChildLast);
    RefreshCommands();
}
