// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/memos/EditSession.h"
#include "gui/Application.h"
#include "gui/memos/MemoNode.h"
#include "core/ConflictCopy.h"
#include "core/MemoId.h"
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

void EditSession::write(const Entry &entry)
{
    TreeNode *node = entry.node;
    Memo &memo = memoOf(node);
    // Read and written under one lock, so that no other writer comes between; all or nothing.
    Transaction batch = m_store.transaction(Transaction::Lock::Immediate, Transaction::OnFailure::TakeBack);
    if (!memo.mid.isEmpty()) {
        const std::optional<Memo> stored = m_store.findMemo(memo.mid);
        if (stored) {
            std::optional<Memo> copy;
            if (stored->content != entry.startedFrom) {
                emit changedOutside(memo.mid);
                // The other writer's text, which the user never saw, stays beside the typed one.
                if (stored->content != memo.content) {
                    copy = conflictCopy(*stored, *stored, newMemoId());
                    m_store.insert(*copy);
                }
            }
            memo.editTime = memoClockNow();
            m_store.updateText(memo.mid, memo.content, memo.editTime);
            batch.commit();
            if (copy)
                showBeside(node, std::move(*copy));
            return;
        }
        // Deleted by another process while it was typed: stored anew, nothing typed is lost.
        emit changedOutside(memo.mid);
        memo.mid.clear();
    }
    // The parent as the list shows it now, so that a memo moved while it waited is stored
    // where it is; never under a memo without a row, and at the top level when another
    // process deleted its memo.
    const TreeNode *parent = node->parent();
    if (parent && memoOf(parent).mid.isEmpty())
        throw std::runtime_error(tr("Its memo is not stored yet.").toStdString());
    const bool underAMemo = parent && m_store.findMemo(memoOf(parent).mid);
    memo = newMemo(underAMemo ? memoOf(parent).mid : MemoLevels::kTopLevelParent, memo.content);
    try {
        m_store.insert(memo);
        batch.commit();
    } catch (...) {
        // Without an id the next try inserts again instead of updating a row that is not there.
        memo.mid.clear();
        throw;
    }
}

void EditSession::showBeside(TreeNode *node, Memo copy)
{
    TreeNode *parent = node->parent();
    TreeNode *copyNode = addMemoNode(m_tree, parent);
    memoOf(copyNode) = std::move(copy);
    m_tree.placeNodes({{copyNode, parent, node->index() + 1}});
}

bool EditSession::store(TreeNode *node, MemoRows before, const QString &startedFrom)
{
    const bool isNew = memoOf(node).mid.isEmpty();
    auto entry = std::find_if(m_unsaved.begin(), m_unsaved.end(), [node](const Entry &e) { return e.node == node; });
    if (entry == m_unsaved.end()) // an earlier refused try keeps the rows from before it
        entry = m_unsaved.insert(m_unsaved.end(), {node, node->serial(), std::move(before), startedFrom});
    try {
        write(*entry);
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
            write(entry);
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
            pending.push_back({memoOf(entry.node), std::move(entry.before), std::move(entry.startedFrom)});
    }
    m_unsaved.clear();
    return pending;
}

void EditSession::putBack(std::vector<Pending> pending)
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
            node = addMemoNode(m_tree, parent);
            memoOf(node) = std::move(item.memo);
        }
        m_unsaved.push_back({node, node->serial(), std::move(item.before), std::move(item.startedFrom)});
    }
    emit unsavedChanged(unsavedCount());
}
