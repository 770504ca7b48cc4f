// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/memos/MemoRefresh.h"
#include "gui/memos/MemoNode.h"
#include "core/MemoLevels.h"
#include "treeview/MemoTree.h"
#include "treeview/MemoTreeDelegate.h"
#include "treeview/TreeUpdateGuard.h"
#include <QHash>
#include <algorithm>
#include <vector>

namespace {

// Up to this many new memos each is put in its place; more are placed by one sort of the list.
constexpr size_t kPlacedOneByOne = 64;
// A print no row has: the row is read again at the next look.
constexpr quint64 kLookAgain = 0;

struct Known {
    TreeNode *node = nullptr;
    bool inStore = false;
};

QString parentIdOf(const TreeNode *node)
{
    return node->parent() ? memoOf(node->parent()).mid : MemoLevels::kTopLevelParent;
}

// What the list shows of a row, and so what a patch would change.
bool showsAlike(const TreeNode *node, const Memo &row)
{
    const Memo &memo = memoOf(node);
    return memo.editTime == row.editTime && memo.expandFlag == row.expandFlag && memo.content == row.content
           && parentIdOf(node) == row.pid;
}

} // namespace

MemoRefresh::MemoRefresh(MemoTree &tree, std::shared_ptr<const RowPrints> &seen, NodeMaker makeNode, Holds held)
    : m_tree(tree), m_seen(seen), m_makeNode(std::move(makeNode)), m_held(std::move(held))
{
}

QSet<QString> MemoRefresh::run(RowLook look, bool ascending)
{
    if (!look.foundChanges()) {
        m_seen = std::make_shared<const RowPrints>(std::move(look.now));
        return {};
    }
    std::vector<MemoRow> &rows = look.rows;
    const QSet<quint64> &goneIds = look.goneIds;
    QSet<quint64> wanted;
    for (const MemoRow &row : rows) {
        wanted.insert(idPrint(row.memo.mid));
        if (row.memo.pid != MemoLevels::kTopLevelParent)
            wanted.insert(idPrint(row.memo.pid));
    }
    wanted.unite(goneIds);
    // The nodes concerned, found in one walk: those of the rows read, their memos and the rows gone.
    QHash<QString, Known> known;
    for (TreeNode *node = m_tree.firstNode(); node; node = m_tree.nextNode(node)) {
        if (memoOf(node).mid.isEmpty())
            continue;
        const quint64 id = idPrint(memoOf(node).mid);
        if (wanted.contains(id))
            known.insert(memoOf(node).mid, {node, !goneIds.contains(id)});
    }

    QSet<QString> changed;
    QSet<QString> lookAgain; // held back by typed text: taken at a later look
    const TreeUpdateGuard update(m_tree);
    // Gone from the table: removed with their sub-memos, unless one of those holds typed text.
    const auto holds = [this](const TreeNode *node) {
        if (m_held(node))
            return true;
        for (int i = 0; i < node->childCount(); ++i) {
            if (m_held(node->child(i)))
                return true;
        }
        return false;
    };
    const auto gone = [&known, &holds](const TreeNode *node) {
        const auto it = known.constFind(memoOf(node).mid);
        return it != known.cend() && !it->inStore && !holds(node);
    };
    std::vector<TreeNode *> removed;
    for (auto it = known.begin(); it != known.end(); ++it) {
        TreeNode *node = it->node;
        if (it->inStore)
            continue;
        if (holds(node))
            lookAgain.insert(it.key());
        else if (!(node->parent() && gone(node->parent()))) {
            removed.push_back(node);
            changed.insert(it.key());
        }
    }
    // Sub-memos that go with their memo but are still in the table are out of sight now.
    for (TreeNode *node : removed) {
        for (int i = 0; i < node->childCount(); ++i)
            known[memoOf(node->child(i)).mid].inStore = false;
    }
    m_tree.deleteNodes(removed);

    // Memos before sub-memos, so that a new memo is there for its new sub-memos.
    std::stable_partition(rows.begin(), rows.end(), [](const MemoRow &row) { return row.memo.pid == MemoLevels::kTopLevelParent; });
    const bool oneByOne = rows.size() <= kPlacedOneByOne;
    bool sortAll = false;
    for (MemoRow &row : rows) {
        Memo &memo = row.memo;
        const auto it = known.find(memo.mid);
        TreeNode *node = it != known.end() && it->inStore ? it->node : nullptr;
        if (node && m_held(node)) {
            lookAgain.insert(memo.mid);
            continue;
        }
        TreeNode *parent = nullptr;
        if (memo.pid != MemoLevels::kTopLevelParent) {
            const auto up = known.constFind(memo.pid);
            parent = up != known.cend() && up->inStore && !up->node->parent() ? up->node : nullptr;
            if (!parent) {
                // Under a memo the list does not show, or under a sub-memo: out of sight, as at a load.
                if (node) {
                    m_tree.deleteNode(node);
                    known.erase(it);
                    changed.insert(memo.mid);
                }
                continue;
            }
            memo.pid = memoOf(parent).mid; // one shared copy of the id
        } else {
            memo.pid = MemoLevels::kTopLevelParent;
        }
        // The list's own writes since the last look come back as they are shown.
        if (node && showsAlike(node, memo))
            continue;
        changed.insert(memo.mid);
        if (!node) {
            node = m_makeNode(parent);
            memoOf(node) = std::move(memo);
            known.insert(memoOf(node).mid, {node, true});
            if (oneByOne)
                place(node, parent, ascending);
            else
                sortAll = true;
        } else {
            const bool moved = node->parent() != parent;
            memoOf(node) = std::move(memo);
            if (moved)
                place(node, parent, ascending);
            m_tree.invalidateNode(node);
        }
        if (!parent)
            m_tree.setExpanded(node, memoOf(node).expandFlag);
    }
    if (sortAll)
        m_tree.sortTree(ascending);
    remember(std::move(look.now), lookAgain);
    return changed;
}

void MemoRefresh::remember(RowPrints now, const QSet<QString> &lookAgain)
{
    if (!lookAgain.isEmpty()) {
        QSet<quint64> again;
        for (const QString &mid : lookAgain)
            again.insert(idPrint(mid));
        for (RowPrint &row : now) {
            if (again.remove(row.id))
                row.print = kLookAgain;
        }
        // Rows gone whose nodes stay keep their places, to be found gone again.
        for (const RowPrint &row : *m_seen) {
            if (!again.contains(row.id))
                continue;
            const auto at = std::lower_bound(now.begin(), now.end(), row.rowid,
                                             [](const RowPrint &p, qint64 rowid) { return p.rowid < rowid; });
            if (at == now.end() || at->rowid != row.rowid)
                now.insert(at, {row.rowid, row.id, kLookAgain});
        }
    }
    m_seen = std::make_shared<const RowPrints>(std::move(now));
}

int MemoRefresh::sortedIndex(TreeNode *parent, TreeNode *node, bool ascending) const
{
    const MemoTreeDelegate &order = *m_tree.delegate();
    const auto sibling = [&](int i) { return parent ? parent->child(i) : m_tree.topLevelNode(i); };
    int count = parent ? parent->childCount() : m_tree.topLevelCount();
    if (node->parent() == parent)
        --count; // a new node waits at the end of its siblings
    // After the last sibling that does not sort after it.
    int low = 0;
    int high = count;
    while (low < high) {
        const int middle = (low + high) / 2;
        TreeNode *other = sibling(middle);
        const int compared = ascending ? order.compareNodes(node, other) : order.compareNodes(other, node);
        if (compared < 0)
            high = middle;
        else
            low = middle + 1;
    }
    return low;
}

void MemoRefresh::place(TreeNode *node, TreeNode *parent, bool ascending)
{
    m_tree.placeNodes({{node, parent, sortedIndex(parent, node, ascending)}});
}
