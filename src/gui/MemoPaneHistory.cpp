// SPDX-License-Identifier: GPL-3.0-or-later
// Taking memo commands back and doing them again: the history, and the tree side of a step.
#include "gui/MemoPane.h"
#include "gui/NamedAction.h"
#include "gui/Prompts.h"
#include "core/MemoLevels.h"
#include "core/MemoStore.h"
#include "treeview/TreeUpdateGuard.h"
#include "treeview/MemoTree.h"
#include <QAction>
#include <QHash>
#include <QScopedValueRollback>
#include <QSet>
#include <QUndoStack>
#include <climits>
#include <unordered_set>

namespace {

// The history keeps the newest steps that fit both bounds.
constexpr int kHistorySteps = 100;
constexpr qint64 kHistoryTextBytes = 50 * 1024 * 1024;

} // namespace

void MemoPane::createHistory()
{
    m_history = new QUndoStack(this);
    m_history->setUndoLimit(kHistorySteps);
    m_undoAction = makeNamedAction(this, "undo", tr("&Undo"));
    m_undoAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    m_redoAction = makeNamedAction(this, "redo", tr("&Redo"));
    m_redoAction->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    connect(m_undoAction, &QAction::triggered, this, &MemoPane::undoStep);
    connect(m_redoAction, &QAction::triggered, this, &MemoPane::redoStep);
    connect(m_history, &QUndoStack::indexChanged, this, &MemoPane::refreshHistoryActions);
    connect(m_history, &QUndoStack::undoTextChanged, this, &MemoPane::refreshHistoryActions);
    connect(m_history, &QUndoStack::redoTextChanged, this, &MemoPane::refreshHistoryActions);
    refreshHistoryActions();
}

void MemoPane::refreshHistoryActions()
{
    // The editor keeps its own undo for the text being typed.
    const bool idle = m_editNode == nullptr;
    const QString undo = m_history->undoText();
    const QString redo = m_history->redoText();
    m_undoAction->setText(undo.isEmpty() ? tr("&Undo") : tr("&Undo %1").arg(undo));
    m_redoAction->setText(redo.isEmpty() ? tr("&Redo") : tr("&Redo %1").arg(redo));
    m_undoAction->setEnabled(idle && m_history->canUndo());
    m_redoAction->setEnabled(idle && m_history->canRedo());
}

void MemoPane::undoStep()
{
    takeStep(true);
}

void MemoPane::redoStep()
{
    takeStep(false);
}

void MemoPane::takeStep(bool back)
{
    const int at = back ? m_history->index() - 1 : m_history->index();
    if (m_editNode || at < 0 || at >= m_history->count())
        return;
    const auto *command = static_cast<const MemoCommand *>(m_history->command(at));
    try {
        Transaction batch = m_store.allOrNothing();
        if (back)
            command->storeUndo(m_store);
        else
            command->storeRedo(m_store);
        batch.commit();
    } catch (const std::exception &error) {
        const QString step = back ? tr("Undo %1").arg(command->text()) : tr("Redo %1").arg(command->text());
        errorBox(tr("%1 failed: %2\nThe memos were left as they were.").arg(step, QString::fromUtf8(error.what())));
        return;
    }
    if (back)
        m_history->undo();
    else
        m_history->redo();
    refreshCommands();
}

void MemoPane::recordStep(MemoCommand *command)
{
    m_history->push(command);
    qint64 bytes = 0;
    for (int i = 0; i < m_history->count(); ++i)
        bytes += static_cast<const MemoCommand *>(m_history->command(i))->textBytes();
    if (bytes <= kHistoryTextBytes)
        return;
    // The stack cannot drop its oldest steps by size: it is built again from the newest
    // steps that fit (all of them on the undo side, as a push has just cleared the redo side).
    std::vector<MemoCommand *> kept;
    bytes = 0;
    for (int i = m_history->count() - 1; i >= 0; --i) {
        const auto *step = static_cast<const MemoCommand *>(m_history->command(i));
        bytes += step->textBytes();
        if (bytes > kHistoryTextBytes)
            break;
        kept.push_back(step->copy());
    }
    m_history->clear();
    for (auto step = kept.rbegin(); step != kept.rend(); ++step)
        m_history->push(*step);
}

void MemoPane::recordRows(const QString &name, MemoRows before, MemoRows after)
{
    auto change = std::make_shared<MemoRowsCommand::Change>();
    change->before = std::move(before);
    change->after = std::move(after);
    recordStep(new MemoRowsCommand(*this, name, std::move(change)));
}

void MemoPane::clearUndoHistory()
{
    m_history->clear();
}

void MemoPane::endStepsOver(const QSet<QString> &mids)
{
    for (int i = 0; i < m_history->count(); ++i) {
        if (static_cast<const MemoCommand *>(m_history->command(i))->touches(mids)) {
            m_history->clear();
            return;
        }
    }
}

MemoPane::RowMarks MemoPane::rowMarks()
{
    return {m_store.lastMemoRow(), m_store.lastTaskRow()};
}

void MemoPane::reloadAfterImport(const RowMarks &marks)
{
    m_importMarks = marks;
    QMetaObject::invokeMethod(this, &MemoPane::reloadMemos, Qt::QueuedConnection);
}

void MemoPane::recordImport(const RowMarks &marks)
{
    // An import gives every record a fresh id, so it only adds rows, each after the last
    // one stored before it.
    auto change = std::make_shared<MemoRowsCommand::Change>();
    change->addedTasks = m_store.taskRowsAfter(marks.tasks);
    std::vector<MemoRow> rows = m_store.memoRowsAfter(marks.memos);
    if (rows.empty() && change->addedTasks.empty())
        return;
    QHash<QString, int> places;
    places.reserve(qsizetype(rows.size()));
    for (const MemoRow &row : rows)
        places.insert(row.memo.mid, -1);
    for (TreeNode *node = m_tree->firstNode(); node; node = m_tree->nextNode(node)) {
        const auto place = places.find(node->memo.mid);
        if (place != places.end())
            *place = node->index();
    }
    change->after.reserve(rows.size());
    for (MemoRow &row : rows) {
        const int index = places.value(row.memo.mid);
        change->after.push_back({std::move(row), index});
    }
    recordStep(new MemoRowsCommand(*this, tr("Import"), std::move(change)));
}

MemoRows MemoPane::placedRows(const std::vector<TreeNode *> &nodes)
{
    std::vector<QString> mids;
    QHash<QString, int> places;
    mids.reserve(nodes.size());
    for (TreeNode *node : nodes) {
        mids.push_back(node->memo.mid);
        places.insert(node->memo.mid, node->index());
    }
    MemoRows placed;
    placed.reserve(nodes.size());
    for (MemoRow &row : m_store.memoRows(mids)) {
        const int index = places.value(row.memo.mid);
        placed.push_back({std::move(row), index});
    }
    return placed;
}

void MemoPane::refilter()
{
    // Without a search every memo is shown already; the walk over the whole list is spared.
    if (isSearching() && !searchText().isEmpty())
        applyFilter();
    else
        showTip(isSearching() && !hasVisibleMemo() ? TipMode::NoSearchResult : TipMode::None); // as the filter itself would
}

void MemoPane::showRows(const MemoRows &target, const MemoRows &other)
{
    QSet<QString> kept;
    kept.reserve(qsizetype(target.size()));
    for (const PlacedMemo &placed : target)
        kept.insert(placed.row.memo.mid);
    // The nodes shown now are other's memos (what the step left, as the history is linear);
    // target's memos that other lacks have none. Those, and the parents target names outside
    // itself, are found in one walk, which ends once all are found (and is not needed when
    // a delete comes back).
    QHash<QString, TreeNode *> nodes;
    for (const PlacedMemo &placed : other)
        nodes.insert(placed.row.memo.mid, nullptr);
    for (const PlacedMemo &placed : target)
        if (!MemoLevels::isTopLevel(placed.row.memo) && !kept.contains(placed.row.memo.pid))
            nodes.insert(placed.row.memo.pid, nullptr);
    qsizetype missing = nodes.size();
    for (TreeNode *node = m_tree->firstNode(); node && missing > 0; node = m_tree->nextNode(node)) {
        const auto found = nodes.find(node->memo.mid);
        if (found != nodes.end() && !*found) {
            *found = node;
            --missing;
        }
    }

    const TreeUpdateGuard update(*m_tree);
    const QScopedValueRollback<bool> atWork(m_filtering, true);
    std::vector<TreeNode *> gone;
    for (const PlacedMemo &placed : other) {
        TreeNode *&node = nodes[placed.row.memo.mid];
        if (node && !kept.contains(placed.row.memo.mid))
            gone.push_back(std::exchange(node, nullptr));
    }
    // A sub-memo goes with its memo; should the step keep it, it comes back with a new node.
    const std::unordered_set<TreeNode *> goneMemos(gone.begin(), gone.end());
    for (TreeNode *&node : nodes)
        if (node && goneMemos.count(node->parent()))
            node = nullptr;
    m_tree->deleteNodes(gone);

    // Memos first, so that sub-memos find their parents; a memo comes back with a node of its own.
    const auto isTop = [&kept](const PlacedMemo &placed) {
        return MemoLevels::isTopLevel(placed.row.memo) || !kept.contains(placed.row.memo.pid);
    };
    std::vector<MemoTree::Placement> placements;
    placements.reserve(target.size());
    bool inPlace = true;
    for (const bool tops : {true, false}) {
        for (const PlacedMemo &placed : target) {
            if (isTop(placed) != tops)
                continue;
            const Memo &memo = placed.row.memo;
            TreeNode *parent = MemoLevels::isTopLevel(memo) ? nullptr : nodes.value(memo.pid);
            TreeNode *&node = nodes[memo.mid];
            if (!node) {
                node = addMemoNode(parent);
                inPlace = false;
            }
            inPlace = inPlace && node->parent() == parent && node->index() == placed.index;
            node->memo = memo;
            m_tree->invalidateNode(node);
            placements.push_back({node, parent, placed.index < 0 ? INT_MAX : placed.index});
        }
    }
    if (!inPlace)
        m_tree->placeNodes(placements);

    std::vector<TreeNode *> brought;
    for (const PlacedMemo &placed : target) {
        TreeNode *node = nodes.value(placed.row.memo.mid);
        // The flag is in the record already: nothing is stored again.
        m_tree->setExpanded(node, node->memo.expandFlag);
        if (placed.select && isTop(placed))
            brought.push_back(node);
    }
    m_tree->selectNodes(brought);
    if (!brought.empty())
        m_tree->setFocusedNode(brought.front());
    refilter();
}

void MemoPane::showExpanded(const std::vector<QString> &mids, bool expanded)
{
    const QSet<QString> changed(mids.begin(), mids.end());
    const TreeUpdateGuard update(*m_tree);
    const QScopedValueRollback<bool> atWork(m_filtering, true);
    for (int i = 0; i < m_tree->topLevelCount(); ++i) {
        TreeNode *node = m_tree->topLevelNode(i);
        if (changed.contains(node->memo.mid)) {
            node->memo.expandFlag = expanded;
            m_tree->setExpanded(node, expanded);
        }
    }
}
