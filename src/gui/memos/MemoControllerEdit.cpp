// SPDX-License-Identifier: GPL-3.0-or-later
// Adding memos and editing them in place, and memos from the clipboard or a drop.
#include "gui/memos/MemoController.h"
#include "gui/memos/EditSession.h"
#include "gui/Application.h"
#include "gui/Prompts.h"
#include "gui/memos/MemoNode.h"
#include "core/MemoLevels.h"
#include "core/MemoText.h"
#include "core/NewMemo.h"
#include "treeview/TreeText.h"
#include <QClipboard>
#include <QGuiApplication>
#include <QScopedValueRollback>

TreeNode *MemoController::addMemoNode(TreeNode *parent)
{
    TreeNode *node = m_tree.addChild(parent);
    m_tree.setVerticalAlignment(node, 0);
    m_tree.setMultiline(node, true);
    return node;
}

void MemoController::memoStored(TreeNode *node, const MemoRows &before, bool isNew)
{
    recordRows(isNew ? tr("Add") : tr("Edit"), before, placedRows({node}));
    m_tree.repaintNode(node);
    emit commandsChanged();
}

void MemoController::addMemo()
{
    if (m_editNode)
        return;
    m_editNode = addMemoNode(nullptr);
    memoOf(m_editNode).pid = MemoLevels::kTopLevelParent;
    openPendingEditLater();
    emit commandsChanged();
}

void MemoController::addSubMemo()
{
    if (m_editNode)
        return;
    TreeNode *parent = m_tree.firstSelected();
    if (parent && parent->level() > 0)
        parent = parent->parent();
    // With nothing selected the last memo in sight is the parent: a search may hide the last
    // ones, and a sub-memo added under a hidden memo could never be edited.
    if (!parent)
        parent = m_tree.lastTopLevelNode();
    while (parent && !parent->isVisible())
        parent = parent->previousSibling();
    if (!parent) {
        tipBox(tr("Please select a memo!"));
        return;
    }
    if (memoOf(parent).mid.isEmpty()) {
        // A sub-memo is stored under its memo's id; this memo has none yet.
        tipBox(tr("This memo is not stored yet. Its sub-memos can be added once it is."));
        return;
    }
    m_editNode = addMemoNode(parent);
    memoOf(m_editNode).pid = memoOf(parent).mid;
    openPendingEditLater();
    emit commandsChanged();
}

void MemoController::editMemo()
{
    TreeNode *node = m_tree.firstSelected();
    if (m_editNode || !node)
        return;
    m_editNode = node;
    m_tree.invalidateNode(node);
    openPendingEditLater();
    emit commandsChanged();
}

bool MemoController::canEdit(TreeNode *node)
{
    if (m_editNode) {
        // Only the marked node may be edited; an editor on any other node would leave the
        // marked one behind.
        emit commandsChanged();
        return node == m_editNode;
    }
    // A request of the tree's own (F2, a slow second click) is refused once and repeated
    // through the posted message, so that the node has grown to its editing height first.
    if (node) {
        m_editNode = node;
        m_tree.invalidateNode(node);
        openPendingEditLater();
        emit commandsChanged();
    }
    return false;
}

void MemoController::openPendingEdit()
{
    showTip(TipMode::FinishEdit);
    if (!m_editNode || m_tree.isEditing())
        return;
    if (!m_tree.editNode(m_editNode)) {
        // The node cannot be edited (it was hidden meanwhile): end the edit as a cancel would.
        editCancelled();
    }
}

void MemoController::openPendingEditLater()
{
    QMetaObject::invokeMethod(this, &MemoController::openPendingEdit, Qt::QueuedConnection);
}

void MemoController::dropPendingMemoLater(TreeNode *node)
{
    QMetaObject::invokeMethod(
        this,
        [this, node, serial = node->serial()] {
            // The node may have gone meanwhile (a reload clears the tree); only a live one is touched.
            if (m_tree.isAlive(node, serial) && node != m_editNode)
                m_tree.deleteNode(node);
            showTip(TipMode::None);
        },
        Qt::QueuedConnection);
}

void MemoController::editCommitted(TreeNode *node, const QString &newText)
{
    if (!node)
        return;
    const QScopedValueRollback<bool> storing(m_storing, true);
    memoOf(node).content = trimRightControls(newText);
    // A refused store keeps the text in the list, unsaved, for the next try.
    m_editSession->store(node, memoOf(node).mid.isEmpty() ? MemoRows() : placedRows({node}));
    emit commandsChanged();
}

void MemoController::editEnded(TreeNode *node)
{
    if (!node) {
        emit commandsChanged();
        return;
    }
    m_editNode = nullptr;
    // Committed unchanged, text that the database refused before is offered to it again.
    if (m_editSession->isUnsaved(node))
        m_editSession->retry();
    if (memoOf(node).mid.isEmpty() && memoOf(node).content.isEmpty() && !m_editSession->isUnsaved(node)) {
        dropPendingMemoLater(node);
    } else {
        m_tree.invalidateNode(node);
        m_tree.repaintNode(node);
        m_tree.clearSelection();
        m_tree.setSelected(node, true);
        showTip(TipMode::None);
    }
    emit commandsChanged();
}

void MemoController::editCancelled()
{
    if (!m_editNode) {
        emit commandsChanged();
        return;
    }
    TreeNode *node = m_editNode;
    m_editNode = nullptr;
    if (memoOf(node).mid.isEmpty() && !m_editSession->isUnsaved(node)) {
        dropPendingMemoLater(node);
    } else {
        m_tree.invalidateNode(node);
        m_tree.repaintNode(node);
        showTip(TipMode::None);
    }
    emit commandsChanged();
}

void MemoController::commitOpenEdit()
{
    // The error box of a failed store comes while the edit is ending: nothing to end then.
    if (m_storing)
        return;
    if (m_tree.isEditing())
        m_tree.endEditNode();
    else if (m_editNode)
        editCancelled();
}

void MemoController::nodeFreed(TreeNode *node)
{
    // The record goes with its node; only the frame's own references to it need clearing.
    if (node == m_editNode)
        m_editNode = nullptr;
    m_editSession->forget(node);
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
    addTextAsMemo(text, tr("Paste"));
}

void MemoController::addTextAsMemo(const QString &text, const QString &stepName)
{
    // What is being typed is kept: the open edit is stored before the new memo comes.
    commitOpenEdit();
    TreeNode *node = addMemoNode(nullptr);
    Memo &memo = memoOf(node);
    // lineOf breaks of any program become the CR LF that typed memos have.
    memo = newMemo(MemoLevels::kTopLevelParent, trimRightControls(TreeText::toCrLf(text)));
    // A pasted memo is not assigned: its row keeps the column's default.
    memo.assignTime = 0;
    m_tree.invalidateNode(node);
    try {
        m_store.insert(memo);
    } catch (const std::exception &error) {
        // Nothing typed is at stake: the command changes nothing.
        m_tree.deleteNode(node);
        showDefaultErrorBox(QString::fromUtf8(error.what()));
        emit commandsChanged();
        return;
    }
    recordRows(stepName, {}, placedRows({node}));
    emit commandsChanged();
}
