// SPDX-License-Identifier: GPL-3.0-or-later
// Deleting memos, moving them under another memo or to the top level (by menu or by
// dragging), and the clipboard.
#include "gui/memos/MemoController.h"
#include "gui/Prompts.h"
#include "gui/memos/MemoNode.h"
#include "core/MemoLevels.h"
#include "treeview/TreeUpdateGuard.h"
#include <QClipboard>
#include <QGuiApplication>
#include <QHash>
#include <QMimeData>
#include <algorithm>

void MemoController::deleteMemos()
{
    if (m_editor->editNode() || !m_tree.firstSelected())
        return;
    const std::vector<TreeNode *> selected = m_tree.selectedNodes();
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
            if (memoOf(memo).mid.isEmpty())
                continue; // typed text not stored yet: only its node goes
            mids.push_back(memoOf(memo).mid);
            places.insert(memoOf(memo).mid, memo->index());
            for (int i = 0; i < memo->childCount(); ++i)
                places.insert(memoOf(memo->child(i)).mid, i);
        }
        for (MemoRow &row : m_store.removeWithSubMemos(mids)) {
            const int index = places.value(row.memo.mid, -1);
            removed.push_back({std::move(row), index});
        }
        batch.commit();
    }
    {
        const TreeUpdateGuard update(m_tree);
        m_tree.deleteSelectedNodes(); // with their sub-memo nodes
    }
    m_steps->record(tr("Delete"), std::move(removed), {});
    refilter();
    emit commandsChanged();
}

void MemoController::moveSelectedMemos(TreeNode *target, MemoTree::AttachMode mode)
{
    if (target && memoOf(target).mid.isEmpty()) {
        // Rows under it would name a memo that is not stored.
        tipBox(tr("This memo is not stored yet. Memos can be moved into it once it is."));
        return;
    }
    const std::vector<TreeNode *> selected = m_tree.selectedNodes();
    const QString pid = target ? memoOf(target).mid : MemoLevels::kTopLevelParent;
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
    MemoRows before = placedRows(m_store, involved);
    {
        // Rows first, all or none: a refused write leaves every memo where the table has it.
        // A memo not stored yet has no row; it is stored where the list shows it.
        Transaction batch = m_store.allOrNothing();
        for (TreeNode *node : involved) {
            if (node != target && !memoOf(node).mid.isEmpty())
                m_store.move(memoOf(node).mid, pid);
        }
        if (target)
            m_store.setExpanded(memoOf(target).mid, true); // the target opens
        batch.commit();
    }
    if (target)
        memoOf(target).expandFlag = true;
    const TreeUpdateGuard update(m_tree);
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
                m_tree.moveTo(*child, target, mode);
            m_tree.moveTo(memo, target, mode);
        } else {
            m_tree.moveTo(memo, target, mode);
            for (TreeNode *child : carried)
                m_tree.moveTo(child, target, mode);
        }
        memoOf(memo).pid = pid;
        for (TreeNode *child : carried)
            memoOf(child).pid = pid;
        if (target)
            m_tree.setExpanded(target, true);
        m_tree.setSelected(memo, false);
    }
    MemoRows after = placedRows(m_store, involved);
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
            placed.select = !target || placed.row.memo.mid != memoOf(target).mid;
    m_steps->record(tr("Move"), std::move(before), std::move(after));
}

bool MemoController::canDrop(TreeNode *target, const QMimeData *data, bool internal)
{
    // Only memos dragged inside the tree move; a drop from another program never moves the
    // memos that happen to be selected. Text from another program becomes a new memo.
    if (!internal)
        return data && data->hasText();
    if (!target)
        return true;
    if (target == m_tree.firstSelected())
        return false;
    if (target->level() == 0)
        m_tree.setExpanded(target, true); // its sub-memos show where the drop will land
    return true;
}

void MemoController::drop(TreeNode *target, const QMimeData *data, bool internal)
{
    if (!internal) {
        if (data && data->hasText())
            m_editor->addText(data->text(), tr("Drop"));
        return;
    }
    if (target && target->level() > 0)
        target = target->parent(); // a drop on a sub-memo means its memo
    moveSelectedMemos(target, MemoTree::AttachMode::AddChildLast);
    emit commandsChanged();
}

void MemoController::copyMemos()
{
    // texts joined by a lone CR; empty texts at the start add nothing.
    QString text;
    for (TreeNode *memo : m_tree.selectedNodes()) {
        if (!text.isEmpty())
            text += QLatin1Char('\r');
        text += memoOf(memo).content;
    }
    if (!text.isEmpty())
        QGuiApplication::clipboard()->setText(text);
}

void MemoController::pasteMemos()
{
    pasteAsMemo(QGuiApplication::clipboard()->text());
}

void MemoController::pasteAsMemo(const QString &text)
{
    m_editor->addText(text, tr("Paste"));
}
