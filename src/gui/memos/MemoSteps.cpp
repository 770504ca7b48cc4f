// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/memos/MemoSteps.h"
#include "gui/memos/ExpandStates.h"
#include "gui/memos/MemoHistory.h"
#include "gui/memos/MemoNode.h"
#include "core/MemoLevels.h"
#include "treeview/MemoTree.h"
#include "treeview/TreeUpdateGuard.h"
#include <QHash>
#include <QSet>
#include <climits>
#include <unordered_set>

MemoSteps::MemoSteps(MemoTree &tree, MemoStore &store, MemoHistory &history, ExpandStates &expandStates,
                     std::function<void()> refilter)
    : m_tree(tree), m_store(store), m_history(history), m_expandStates(expandStates), m_refilter(std::move(refilter))
{
}

void MemoSteps::record(const QString &name, MemoRows before, MemoRows after)
{
    auto change = std::make_shared<MemoRowsCommand::Change>();
    change->before = std::move(before);
    change->after = std::move(after);
    m_history.record(new MemoRowsCommand(*this, name, std::move(change)));
}

void MemoSteps::recordImport(const RowMarks &marks)
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
    for (TreeNode *node = m_tree.firstNode(); node; node = m_tree.nextNode(node)) {
        const auto place = places.find(memoOf(node).mid);
        if (place != places.end())
            *place = node->index();
    }
    change->after.reserve(rows.size());
    for (MemoRow &row : rows) {
        const int index = places.value(row.memo.mid);
        change->after.push_back({std::move(row), index});
    }
    m_history.record(new MemoRowsCommand(*this, tr("Import"), std::move(change)));
}

void MemoSteps::showRows(const MemoRows &target, const MemoRows &other)
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
    for (TreeNode *node = m_tree.firstNode(); node && missing > 0; node = m_tree.nextNode(node)) {
        const auto found = nodes.find(memoOf(node).mid);
        if (found != nodes.end() && !*found) {
            *found = node;
            --missing;
        }
    }

    const TreeUpdateGuard update(m_tree);
    const auto atWork = m_expandStates.manyAtOnce();
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
    m_tree.deleteNodes(gone);

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
                node = addMemoNode(m_tree, parent);
                inPlace = false;
            }
            inPlace = inPlace && node->parent() == parent && node->index() == placed.index;
            memoOf(node) = memo;
            m_tree.invalidateNode(node);
            placements.push_back({node, parent, placed.index < 0 ? INT_MAX : placed.index});
        }
    }
    if (!inPlace)
        m_tree.placeNodes(placements);

    std::vector<TreeNode *> brought;
    for (const PlacedMemo &placed : target) {
        TreeNode *node = nodes.value(placed.row.memo.mid);
        // The flag is in the record already: nothing is stored again.
        m_tree.setExpanded(node, memoOf(node).expandFlag);
        if (placed.select && isTop(placed))
            brought.push_back(node);
    }
    m_tree.selectNodes(brought);
    if (!brought.empty())
        m_tree.setFocusedNode(brought.front());
    m_refilter();
}

void MemoSteps::showExpanded(const std::vector<QString> &mids, bool expanded)
{
    const QSet<QString> changed(mids.begin(), mids.end());
    const TreeUpdateGuard update(m_tree);
    const auto atWork = m_expandStates.manyAtOnce();
    for (int i = 0; i < m_tree.topLevelCount(); ++i) {
        TreeNode *node = m_tree.topLevelNode(i);
        if (changed.contains(memoOf(node).mid)) {
            memoOf(node).expandFlag = expanded;
            m_tree.setExpanded(node, expanded);
        }
    }
}
