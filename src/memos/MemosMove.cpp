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
#include <algorithm>
#include <memory>

bool TkvMemosFrame::HasMoveTargets() const
{
    KvTreeNode *first = FEditNode ? nullptr : VtMemos->firstSelected();
    // A sub-memo can always go to the top level; a memo needs another memo to go into.
    return first && (first->level() > 0 || VtMemos->topLevelCount() > 1);
}

namespace {

// Entries per menu, groups included: a menu of every memo would take seconds to open and
// would not fit on any screen.
constexpr size_t kMovetoMenuSize = 40;

// A memo's text as a menu shows it: ampersands doubled so that none is taken for a mnemonic.
QString MenuCaption(QString text)
{
    return text.replace(QLatin1Char('&'), QLatin1String("&&"));
}

QString GroupEnd(const QString &content)
{
    const QString flat = FlattenLineBreaks(content).simplified();
    return flat.size() > 20 ? flat.left(20) + QChar(0x2026) : flat;
}

} // namespace

void TkvMemosFrame::BuildMovetoMenu(QMenu *menu)
{
    for (QMenu *group : menu->findChildren<QMenu *>(Qt::FindDirectChildrenOnly))
        delete group;
    menu->clear();
    KvTreeNode *first = FEditNode ? nullptr : VtMemos->firstSelected();
    if (!first)
        return;
    if (first->level() > 0) {
        AddMovetoItem(menu, QStringLiteral("Root"), nullptr);
        menu->addSeparator();
    }
    auto targets = std::make_shared<MovetoTargets>();
    targets->reserve(size_t(VtMemos->topLevelCount()));
    for (int i = 0; i < VtMemos->topLevelCount(); ++i) {
        KvTreeNode *memo = VtMemos->topLevelNode(i);
        if (memo != first && memo != first->parent())
            targets->emplace_back(memo, memo->serial());
    }
    FillMovetoMenu(menu, targets, 0, targets->size());
}

void TkvMemosFrame::AddMovetoItem(QMenu *menu, const QString &caption, KvTreeNode *target)
{
    QAction *item = menu->addAction(caption);
    item->setData(QVariantList{quintptr(target), target ? target->serial() : quint64(0)});
    connect(item, &QAction::triggered, this, [this, item] { Action_MovetoExecute(item); });
}

void TkvMemosFrame::FillMovetoMenu(QMenu *menu, const std::shared_ptr<MovetoTargets> &targets, size_t begin,
                                   size_t end)
{
    // The memos are those of the moment the menu opened; one that has gone since is left out.
    const auto alive = [this, &targets](size_t i) {
        const auto &[memo, serial] = (*targets)[i];
        return VtMemos->isAlive(memo, serial) ? memo : nullptr;
    };
    const size_t count = end - begin;
    if (count <= kMovetoMenuSize) {
        for (size_t i = begin; i < end; ++i)
            if (KvTreeNode *memo = alive(i))
                AddMovetoItem(menu, MenuCaption(memo->data.content), memo);
        return;
    }
    // Groups of equal span, as few levels deep as the bound allows; each group is filled
    // when it first opens.
    const auto groupEnd = [&alive](size_t i) {
        KvTreeNode *memo = alive(i);
        return memo ? GroupEnd(memo->data.content) : QString();
    };
    size_t span = kMovetoMenuSize;
    while ((count + span - 1) / span > kMovetoMenuSize)
        span *= kMovetoMenuSize;
    for (size_t from = begin; from < end; from += span) {
        const size_t to = std::min(end, from + span);
        const QString caption = groupEnd(from) + QStringLiteral(" \u2013 ") + groupEnd(to - 1);
        QMenu *group = menu->addMenu(MenuCaption(caption));
        connect(group, &QMenu::aboutToShow, this, [this, group, targets, from, to] {
            if (group->isEmpty())
                FillMovetoMenu(group, targets, from, to);
        });
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
