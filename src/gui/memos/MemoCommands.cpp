// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/memos/MemoCommands.h"
#include "gui/memos/MemoNode.h"
#include "gui/memos/MemoSteps.h"
#include <QHash>
#include <QSet>
#include <algorithm>

namespace {

// The database side of showing target where other was shown: rows only other has are
// removed, every row of target is put back whole.
void storeRows(MemoStore &store, const MemoRows &target, const MemoRows &other)
{
    QSet<QString> kept;
    kept.reserve(qsizetype(target.size()));
    for (const PlacedMemo &placed : target)
        kept.insert(placed.row.memo.mid);
    for (const PlacedMemo &placed : other)
        if (!kept.contains(placed.row.memo.mid))
            store.removeMemo(placed.row.memo.mid);
    for (const PlacedMemo &placed : target)
        store.putBack(placed.row);
}

qint64 bytesOf(const MemoRows &rows)
{
    qint64 bytes = 0;
    for (const PlacedMemo &placed : rows)
        bytes += placed.row.memo.content.size() * qint64(sizeof(QChar));
    return bytes;
}

} // namespace

MemoRows placedRows(MemoStore &store, const std::vector<TreeNode *> &nodes)
{
    std::vector<QString> mids;
    QHash<QString, int> places;
    mids.reserve(nodes.size());
    for (TreeNode *node : nodes) {
        mids.push_back(memoOf(node).mid);
        places.insert(memoOf(node).mid, node->index());
    }
    MemoRows placed;
    placed.reserve(nodes.size());
    for (MemoRow &row : store.memoRows(mids)) {
        const int index = places.value(row.memo.mid);
        placed.push_back({std::move(row), index});
    }
    return placed;
}

MemoRowsCommand::MemoRowsCommand(MemoSteps &steps, const QString &name, std::shared_ptr<const Change> change)
    : MemoCommand(steps, name), m_change(std::move(change))
{
}

void MemoRowsCommand::storeUndo(MemoStore &store) const
{
    storeRows(store, m_change->before, m_change->after);
    for (const TaskRow &task : m_change->addedTasks)
        store.removeTask(task.task.tid);
}

void MemoRowsCommand::storeRedo(MemoStore &store) const
{
    storeRows(store, m_change->after, m_change->before);
    for (const TaskRow &task : m_change->addedTasks)
        store.putBack(task);
}

qint64 MemoRowsCommand::textBytes() const
{
    qint64 bytes = bytesOf(m_change->before) + bytesOf(m_change->after);
    for (const TaskRow &task : m_change->addedTasks)
        bytes += task.task.content.size() * qint64(sizeof(QChar));
    return bytes;
}

MemoCommand *MemoRowsCommand::copy() const
{
    return new MemoRowsCommand(m_steps, text(), m_change);
}

bool MemoRowsCommand::touches(const QSet<QString> &mids) const
{
    const auto named = [&mids](const PlacedMemo &placed) { return mids.contains(placed.row.memo.mid); };
    return std::any_of(m_change->before.begin(), m_change->before.end(), named)
           || std::any_of(m_change->after.begin(), m_change->after.end(), named);
}

void MemoRowsCommand::showUndo()
{
    m_steps.showRows(m_change->before, m_change->after);
}

void MemoRowsCommand::showRedo()
{
    m_steps.showRows(m_change->after, m_change->before);
}

ExpandAllCommand::ExpandAllCommand(MemoSteps &steps, const QString &name,
                                   std::shared_ptr<const std::vector<QString>> mids, bool expanded)
    : MemoCommand(steps, name), m_mids(std::move(mids)), m_expanded(expanded)
{
}

void ExpandAllCommand::write(MemoStore &store, bool expanded) const
{
    // A read-only database keeps the state in memory only, as the command itself did.
    if (store.isReadOnly())
        return;
    for (const QString &mid : *m_mids)
        store.setExpanded(mid, expanded);
}

void ExpandAllCommand::storeUndo(MemoStore &store) const
{
    write(store, !m_expanded);
}

void ExpandAllCommand::storeRedo(MemoStore &store) const
{
    write(store, m_expanded);
}

MemoCommand *ExpandAllCommand::copy() const
{
    return new ExpandAllCommand(m_steps, text(), m_mids, m_expanded);
}

bool ExpandAllCommand::touches(const QSet<QString> &mids) const
{
    return std::any_of(m_mids->begin(), m_mids->end(), [&mids](const QString &mid) { return mids.contains(mid); });
}

void ExpandAllCommand::showUndo()
{
    m_steps.showExpanded(*m_mids, !m_expanded);
}

void ExpandAllCommand::showRedo()
{
    m_steps.showExpanded(*m_mids, m_expanded);
}
