// SPDX-License-Identifier: GPL-3.0-or-later
// Moving memos under another memo or to the top level, by menu or by dragging.
#include "gui/MainWindow.h"
#include "core/MemoText.h"
#include "gui/MemoPane.h"
#include "gui/Prompts.h"
#include "core/MemoLevels.h"
#include "core/MemoStore.h"
#include "treeview/TreeUpdateGuard.h"
#include "treeview/MemoTree.h"
#include <QAction>
#include <QMenu>
#include <QMimeData>
#include <algorithm>
#include <memory>

bool MemoPane::hasMoveTargets() const
{
    TreeNode *first = m_editNode ? nullptr : m_tree->firstSelected();
    // A sub-memo can always go to the top level; a memo needs another memo to go into.
    return first && (first->level() > 0 || m_tree->topLevelCount() > 1);
}

namespace {

// Entries per menu, groups included: a menu of every memo would take seconds to open and
// would not fit on any screen.
constexpr size_t kMovetoMenuSize = 40;

// A memo's text as a menu shows it: ampersands doubled so that none is taken for a mnemonic.
QString menuCaption(QString text)
{
    return text.replace(QLatin1Char('&'), QLatin1String("&&"));
}

QString groupEndCaption(const QString &content)
{
    const QString flat = flattenLineBreaks(content).simplified();
    return flat.size() > 20 ? flat.left(20) + QChar(0x2026) : flat;
}

} // namespace

void MemoPane::buildMoveToMenu(QMenu *menu)
{
    for (QMenu *group : menu->findChildren<QMenu *>(Qt::FindDirectChildrenOnly))
        delete group;
    menu->clear();
    TreeNode *first = m_editNode ? nullptr : m_tree->firstSelected();
    if (!first)
        return;
    if (first->level() > 0) {
        addMovetoItem(menu, tr("Root"), nullptr);
        menu->addSeparator();
    }
    auto targets = std::make_shared<MovetoTargets>();
    targets->reserve(size_t(m_tree->topLevelCount()));
    for (int i = 0; i < m_tree->topLevelCount(); ++i) {
        TreeNode *memo = m_tree->topLevelNode(i);
        if (memo != first && memo != first->parent())
            targets->emplace_back(memo, memo->serial());
    }
    fillMovetoMenu(menu, targets, 0, targets->size());
}

void MemoPane::addMovetoItem(QMenu *menu, const QString &caption, TreeNode *target)
{
    QAction *item = menu->addAction(caption);
    item->setData(QVariantList{quintptr(target), target ? target->serial() : quint64(0)});
    connect(item, &QAction::triggered, this, [this, item] { moveSelectionTo(item); });
}

void MemoPane::fillMovetoMenu(QMenu *menu, const std::shared_ptr<MovetoTargets> &targets, size_t begin,
                                   size_t end)
{
    // The memos are those of the moment the menu opened; one that has gone since is left out.
    const auto alive = [this, &targets](size_t i) {
        const auto &[memo, serial] = (*targets)[i];
        return m_tree->isAlive(memo, serial) ? memo : nullptr;
    };
    const size_t count = end - begin;
    if (count <= kMovetoMenuSize) {
        for (size_t i = begin; i < end; ++i)
            if (TreeNode *memo = alive(i))
                addMovetoItem(menu, menuCaption(memo->memo.content), memo);
        return;
    }
    // Groups of equal span, as few levels deep as the bound allows; each group is filled
    // when it first opens.
    const auto groupEnd = [&alive](size_t i) {
        TreeNode *memo = alive(i);
        return memo ? groupEndCaption(memo->memo.content) : QString();
    };
    size_t span = kMovetoMenuSize;
    while ((count + span - 1) / span > kMovetoMenuSize)
        span *= kMovetoMenuSize;
    for (size_t from = begin; from < end; from += span) {
        const size_t to = std::min(end, from + span);
        const QString caption = groupEnd(from) + QStringLiteral(" \u2013 ") + groupEnd(to - 1);
        QMenu *group = menu->addMenu(menuCaption(caption));
        connect(group, &QMenu::aboutToShow, this, [this, group, targets, from, to] {
            if (group->isEmpty())
                fillMovetoMenu(group, targets, from, to);
        });
    }
}

void MemoPane::moveSelectionTo(QAction *item)
{
    if (!item)
        return;
    const QVariantList data = item->data().toList();
    auto *target = data.size() == 2 ? reinterpret_cast<TreeNode *>(data[0].value<quintptr>()) : nullptr;
    if (target && !m_tree->isAlive(target, data[1].toULongLong()))
        return;
    moveSelectedMemos(target, MemoTree::AttachMode::AddChildFirst);
}

void MemoPane::moveSelectedMemos(TreeNode *target, MemoTree::AttachMode mode)
{
    if (target && target->memo.mid.isEmpty()) {
        // Rows under it would name a memo that is not stored.
        tipBox(tr("This memo is not stored yet. Memos can be moved into it once it is."));
        return;
    }
    const std::vector<TreeNode *> selected = m_tree->selectedNodes();
    const QString pid = target ? target->memo.mid : MemoLevels::kTopLevelParent;
    const bool first = mode == MemoTree::AttachMode::AddChildFirst;
    // The step keeps the moved memos, the sub-memos they carry and the target, which opens.
    std::vector<TreeNode *> involved;
    for (TreeNode *memo : selected) {
        if (memo == target)
            continue;
        involved.push_back(memo);
        for (int i = 0; target && i < memo->childCount(); ++i)
            involved.push_back(memo->child(i));
    }
    if (target)
        involved.push_back(target);
    MemoRows before = placedRows(involved);
    {
        // Rows first, all or none: a refused write leaves every memo where the table has it.
        // A memo not stored yet has no row; it is stored where the list shows it.
        Transaction batch = m_store.allOrNothing();
        for (TreeNode *node : involved) {
            if (node != target && !node->memo.mid.isEmpty())
                m_store.move(node->memo.mid, pid);
        }
        if (target)
            m_store.setExpanded(target->memo.mid, true); // the target opens
        batch.commit();
    }
    if (target)
        target->memo.expandFlag = true;
    const TreeUpdateGuard update(*m_tree);
    for (TreeNode *memo : selected) {
        if (memo == target)
            continue;
        // The tree holds two levels: a memo that goes into another memo takes its sub-memos
        // along as sub-memos of the target, right after itself.
        std::vector<TreeNode *> carried;
        if (target)
            for (int i = 0; i < memo->childCount(); ++i)
                carried.push_back(memo->child(i));
        if (first) {
            for (auto child = carried.rbegin(); child != carried.rend(); ++child)
                m_tree->moveTo(*child, target, mode);
            m_tree->moveTo(memo, target, mode);
        } else {
            m_tree->moveTo(memo, target, mode);
            for (TreeNode *child : carried)
                m_tree->moveTo(child, target, mode);
        }
        memo->memo.pid = pid;
        for (TreeNode *child : carried)
            child->memo.pid = pid;
        if (target)
            m_tree->setExpanded(target, true);
        m_tree->setSelected(memo, false);
    }
    MemoRows after = placedRows(involved);
    // A memo dropped on one of its own sub-memos, or where it already stands, moves nothing:
    // there is no step to take back.
    const auto samePlace = [](const PlacedMemo &a, const PlacedMemo &b) {
        return a.row.memo.pid == b.row.memo.pid && a.index == b.index;
    };
    if (std::equal(before.begin(), before.end(), after.begin(), after.end(), samePlace))
        return;
    // Taking the move back or doing it again selects the moved memos, not their target.
    for (MemoRows *rows : {&before, &after})
        for (PlacedMemo &placed : *rows)
            placed.select = !target || placed.row.memo.mid != target->memo.mid;
    recordRows(tr("Move"), std::move(before), std::move(after));
}

bool MemoPane::canDrag(TreeNode *node)
{
    return node != nullptr;
}

bool MemoPane::canDrop(TreeNode *target, const QMimeData *data, bool internal)
{
    // Only memos dragged inside the tree move; a drop from another program never moves the
    // memos that happen to be selected. Text from another program becomes a new memo.
    if (!internal)
        return data && data->hasText();
    if (!target)
        return true;
    if (target == m_tree->firstSelected())
        return false;
    if (target->level() == 0)
        m_tree->setExpanded(target, true); // its sub-memos show where the drop will land
    return true;
}

void MemoPane::drop(TreeNode *target, const QMimeData *data, bool internal)
{
    if (!internal) {
        if (data && data->hasText())
            addTextAsMemo(data->text(), tr("Drop"));
        return;
    }
    if (target && target->level() > 0)
        target = target->parent(); // a drop on a sub-memo means its memo
    moveSelectedMemos(target, MemoTree::AttachMode::AddChildLast);
    refreshCommands();
}
