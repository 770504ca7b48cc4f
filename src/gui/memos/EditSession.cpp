// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/memos/EditSession.h"
#include "gui/Application.h"
#include "gui/memos/MemoNode.h"
#include "core/MemoLevels.h"
#include "core/NewMemo.h"
#include "treeview/MemoTree.h"
#include <QHash>
#include <QScopeGuard>
#include <algorithm>
#include <stdexcept>

EditSession::EditSession(MemoTree &tree, MemoStore &store, QObject *parent) : QObject(parent), m_tree(tree), m_store(store)
{
}

bool EditSession::isUnsaved(const TreeNode *node) const
{
    return std::any_of(m_unsaved.begin(), m_unsaved.end(), [node](const Entry &entry) { return entry.node == node; });
}

void EditSession::write(TreeNode *node)
{
    Memo &memo = memoOf(node);
    if (!memo.mid.isEmpty()) {
        memo.editTime = memoClockNow();
        m_store.updateText(memo.mid, memo.content, memo.editTime);
        return;
    }
    // The parent as the list shows it now, so that a memo moved while it waited is stored
    // where it is; never under a memo without a row.
    const TreeNode *parent = node->parent();
    if (parent && memoOf(parent).mid.isEmpty())
        throw std::runtime_error(tr("Its memo is not stored yet.").toStdString());
    memo = newMemo(parent ? memoOf(parent).mid : MemoLevels::kTopLevelParent, memo.content);
    try {
        m_store.insert(memo);
    } catch (...) {
        // Without an id the next try inserts again instead of updating a row that is not there.
        memo.mid.clear();
        throw;
    }
}

bool EditSession::store(TreeNode *node, MemoRows before)
{
    const bool isNew = memoOf(node).mid.isEmpty();
    auto entry = std::find_if(m_unsaved.begin(), m_unsaved.end(), [node](const Entry &e) { return e.node == node; });
    if (entry == m_unsaved.end()) // an earlier refused try keeps the rows from before it
        entry = m_unsaved.insert(m_unsaved.end(), {node, node->serial(), std::move(before)});
    try {
        write(node);
    } catch (const std::exception &error) {
        emit unsavedChanged(unsavedCount());
        showDefaultErrorBox(QString::fromUtf8(error.what()));
        return false;
    }
    settle(entry, isNew);
    return true;
}

void EditSession::settle(std::vector<Entry>::iterator entry, bool isNew)
{
    const Entry done = std::move(*entry);
    m_unsaved.erase(entry);
    emit unsavedChanged(unsavedCount());
    emit stored(done.node, done.before, isNew);
}

void EditSession::retry()
{
    if (m_unsaved.empty())
        return;
    // A look that finds the file still held ends at once; the next one comes soon enough.
    m_store.setWaitsForLocks(false);
    const auto waitAgain = qScopeGuard([this] { m_store.setWaitsForLocks(true); });
    for (size_t i = 0; i < m_unsaved.size();) {
        const Entry &entry = m_unsaved[i];
        if (!m_tree.isAlive(entry.node, entry.serial)) {
            m_unsaved.erase(m_unsaved.begin() + qsizetype(i));
            emit unsavedChanged(unsavedCount());
            continue;
        }
        const bool isNew = memoOf(entry.node).mid.isEmpty();
        try {
            write(entry.node);
        } catch (const std::exception &) {
            ++i; // still refused: the next look tries again
            continue;
        }
        settle(m_unsaved.begin() + qsizetype(i), isNew);
    }
}

void EditSession::forget(const TreeNode *node)
{
    const auto entry = std::find_if(m_unsaved.begin(), m_unsaved.end(), [node](const Entry &e) { return e.node == node; });
    if (entry == m_unsaved.end())
        return;
    m_unsaved.erase(entry);
    emit unsavedChanged(unsavedCount());
}

std::vector<EditSession::Pending> EditSession::takeAll()
{
    std::vector<Pending> pending;
    for (Entry &entry : m_unsaved) {
        if (m_tree.isAlive(entry.node, entry.serial))
            pending.push_back({memoOf(entry.node), std::move(entry.before)});
    }
    m_unsaved.clear();
    return pending;
}

void EditSession::putBack(std::vector<Pending> pending, const std::function<TreeNode *(TreeNode *parent)> &makeNode)
{
    if (pending.empty())
        return;
    QHash<QString, TreeNode *> byId;
    for (TreeNode *node = m_tree.firstNode(); node; node = m_tree.nextNode(node))
        byId.insert(memoOf(node).mid, node);
    for (Pending &item : pending) {
        TreeNode *node = item.memo.mid.isEmpty() ? nullptr : byId.value(item.memo.mid);
        if (node) {
            // A refused edit of a stored memo: the typed text over the row as read now.
            memoOf(node).content = item.memo.content;
            m_tree.invalidateNode(node);
        } else {
            // A memo never stored, or one whose row went meanwhile: new again, under its memo
            // when that is still in the list.
            TreeNode *parent = byId.value(item.memo.pid);
            if (parent && parent->parent())
                parent = nullptr;
            item.memo.mid.clear();
            node = makeNode(parent);
            memoOf(node) = std::move(item.memo);
        }
        m_unsaved.push_back({node, node->serial(), std::move(item.before)});
    }
    emit unsavedChanged(unsavedCount());
}
