// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/memos/ExpandStates.h"
#include "gui/memos/MemoNode.h"
#include "core/MemoStore.h"
#include "treeview/MemoTree.h"
#include <QScopedValueRollback>
#include <algorithm>

ExpandStates::ExpandStates(MemoTree &tree, MemoStore &store) : m_tree(tree), m_store(store)
{
}

void ExpandStates::noteChange(TreeNode *node, bool expanded)
{
    if (m_reverting || memoOf(node).expandFlag == expanded)
        return;
    const bool was = memoOf(node).expandFlag;
    memoOf(node).expandFlag = expanded;
    // A read-only database was announced once at start: the state is kept in memory. A memo
    // without a row yet has nothing to store.
    if (memoOf(node).mid.isEmpty() || m_store.isReadOnly())
        return;
    const bool first = std::none_of(m_noted.begin(), m_noted.end(), [node](const Noted &n) { return n.node == node; });
    if (first)
        m_noted.push_back({node, node->serial(), was});
}

bool ExpandStates::run(const std::function<void()> &change, QString &error)
{
    {
        const QScopedValueRollback<int> running(m_running, m_running + 1);
        change();
    }
    return m_running > 0 || storeNoted(error);
}

bool ExpandStates::storeNoted(QString &error)
{
    std::vector<Noted> noted = std::exchange(m_noted, {});
    if (noted.empty())
        return true;
    try {
        Transaction batch = m_store.allOrNothing();
        for (const Noted &n : noted) {
            if (m_tree.isAlive(n.node, n.serial) && memoOf(n.node).expandFlag != n.wasExpanded)
                m_store.setExpanded(memoOf(n.node).mid, memoOf(n.node).expandFlag);
        }
        batch.commit();
        return true;
    } catch (const std::exception &failure) {
        error = QString::fromUtf8(failure.what());
    }
    const QScopedValueRollback<bool> reverting(m_reverting, true);
    for (auto n = noted.rbegin(); n != noted.rend(); ++n) {
        if (!m_tree.isAlive(n->node, n->serial))
            continue;
        memoOf(n->node).expandFlag = n->wasExpanded;
        m_tree.setExpanded(n->node, n->wasExpanded);
    }
    return false;
}
