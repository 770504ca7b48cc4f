// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/memos/MemoRefresh.h"
#include "core/MemoLevels.h"
#include "core/MemoStore.h"
#include "treeview/MemoTree.h"
#include "treeview/MemoTreeDelegate.h"
#include "treeview/TreeUpdateGuard.h"
#include <QHash>
#include <algorithm>
#include <vector>

namespace {

// Up to this many new memos each is put in its place; more are placed by one sort of the list.
constexpr size_t kPlacedOneByOne = 64;

struct Known {
    TreeNode *node = nullptr;
    bool inStore = false;
};

QString parentIdOf(const TreeNode *node)
{
    return node->parent() ? node->parent()->memo.mid : MemoLevels::kTopLevelParent;
}

} // namespace

MemoRefresh::MemoRefresh(MemoTree &tree, MemoStore &store, NodeMaker makeNode, Holds held)
    : m_tree(tree), m_store(store), m_makeNode(std::move(makeNode)), m_held(std::move(held))
{
}

QSet<QString> MemoRefresh::run(bool ascending)
{
    QHash<QString, Known> known;
    known.reserve(m_tree.totalCount());
    for (TreeNode *node = m_tree.firstNode(); node; node = m_tree.nextNode(node)) {
        if (!node->memo.mid.isEmpty())
            known.insert(node->memo.mid, {node, false});
    }
    std::vector<QString> toRead;
    m_store.forEachStamp([&](const MemoStamp &stamp) {
        const auto it = known.find(stamp.mid);
        if (it == known.end()) {
            toRead.push_back(stamp.mid);
            return;
        }
        it->inStore = true;
        const Memo &memo = it->node->memo;
        if (stamp.editTime != memo.editTime || stamp.expandFlag != memo.expandFlag || stamp.pid != parentIdOf(it->node))
            toRead.push_back(stamp.mid);
    });
    std::vector<MemoRow> rows = m_store.memoRows(toRead);

    QSet<QString> changed;
    const TreeUpdateGuard update(m_tree);
    // Gone from the table: removed with their sub-memos, unless one of those holds typed text.
    const auto gone = [&known, this](const TreeNode *node) {
        if (m_held(node))
            return false;
        for (int i = 0; i < node->childCount(); ++i) {
            if (m_held(node->child(i)))
                return false;
        }
        const auto it = known.constFind(node->memo.mid);
        return it != known.cend() && !it->inStore;
    };
    std::vector<TreeNode *> removed;
    for (auto it = known.begin(); it != known.end(); ++it) {
        TreeNode *node = it->node;
        if (!it->inStore && gone(node) && !(node->parent() && gone(node->parent()))) {
            removed.push_back(node);
            changed.insert(it.key());
        }
    }
    // Sub-memos that go with their memo but are still in the table are out of sight now.
    for (TreeNode *node : removed) {
        for (int i = 0; i < node->childCount(); ++i)
            known[node->child(i)->memo.mid].inStore = false;
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
        if (node && m_held(node))
            continue;
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
            memo.pid = parent->memo.mid; // one shared copy of the id
        } else {
            memo.pid = MemoLevels::kTopLevelParent;
        }
        changed.insert(memo.mid);
        if (!node) {
            node = m_makeNode(parent);
            node->memo = std::move(memo);
            known.insert(node->memo.mid, {node, true});
            if (oneByOne)
                place(node, parent, ascending);
            else
                sortAll = true;
        } else {
            const bool moved = node->parent() != parent;
            node->memo = std::move(memo);
            if (moved)
                place(node, parent, ascending);
            m_tree.invalidateNode(node);
        }
        if (!parent)
            m_tree.setExpanded(node, node->memo.expandFlag);
    }
    if (sortAll)
        m_tree.sortTree(ascending);
    return changed;
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
