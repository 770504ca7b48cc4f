// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/memos/MemoEditor.h"
#include "gui/Application.h"
#include "gui/CommandErrors.h"
#include "gui/Prompts.h"
#include "gui/memos/MemoNode.h"
#include "core/MemoLevels.h"
#include "core/MemoText.h"
#include "core/NewMemo.h"
#include "treeview/MemoTree.h"
#include "treeview/TreeText.h"
#include <QScopedValueRollback>

MemoEditor::MemoEditor(MemoTree &tree, MemoStore &store, QObject *parent)
    : QObject(parent), m_tree(tree), m_store(store), m_session(new EditSession(tree, store, this))
{
    connect(m_session, &EditSession::stored, this, &MemoEditor::memoStored);
    connect(m_session, &EditSession::unsavedChanged, this, &MemoEditor::unsavedChanged);
    connect(m_session, &EditSession::changedOutside, this, &MemoEditor::changedOutside);
    // What the user did in the tree ends here: its errors are reported at this boundary.
    connect(&tree, &MemoTree::nodeFreed, this, &MemoEditor::nodeFreed);
    connect(&tree, &MemoTree::editCommitted, this,
            reportingErrors([this](TreeNode *node, const QString &text) { editCommitted(node, text); }));
    connect(&tree, &MemoTree::editEnded, this, reportingErrors([this](TreeNode *node) { editEnded(node); }));
    connect(&tree, &MemoTree::editCancelled, this, reportingErrors([this] { editCancelled(); }));
    connect(&tree, &MemoTree::mouseMoved, this, [this](const QPoint &position) { m_mouse = position; });
    connect(&tree, &MemoTree::doubleClicked, this, [this] {
        if (!m_tree.nodeAt(m_mouse) && !m_editNode)
            QMetaObject::invokeMethod(this, &MemoEditor::addMemo, Qt::QueuedConnection);
    });
}

bool MemoEditor::holds(const TreeNode *node) const
{
    return node == m_editNode || m_session->isUnsaved(node);
}

void MemoEditor::memoStored(TreeNode *node, const MemoRows &before, bool isNew)
{
    emit stepTaken(isNew ? tr("Add") : tr("Edit"), before, placedRows(m_store, {node}));
    m_tree.repaintNode(node);
    emit commandsChanged();
}

void MemoEditor::addMemo()
{
    if (m_editNode)
        return;
    m_editNode = addMemoNode(m_tree, nullptr);
    memoOf(m_editNode).pid = MemoLevels::kTopLevelParent;
    openPendingEditLater();
    emit commandsChanged();
}

void MemoEditor::addSubMemo()
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
    m_editNode = addMemoNode(m_tree, parent);
    memoOf(m_editNode).pid = memoOf(parent).mid;
    openPendingEditLater();
    emit commandsChanged();
}

void MemoEditor::editMemo()
{
    TreeNode *node = m_tree.firstSelected();
    if (m_editNode || !node)
        return;
    m_editNode = node;
    m_tree.invalidateNode(node);
    openPendingEditLater();
    emit commandsChanged();
}

bool MemoEditor::canEdit(TreeNode *node)
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

void MemoEditor::openPendingEdit()
{
    emit tipWanted(TipMode::FinishEdit);
    if (!m_editNode || m_tree.isEditing())
        return;
    if (!m_tree.editNode(m_editNode)) {
        // The node cannot be edited (it was hidden meanwhile): end the edit as a cancel would.
        editCancelled();
    }
}

void MemoEditor::openPendingEditLater()
{
    QMetaObject::invokeMethod(this, &MemoEditor::openPendingEdit, Qt::QueuedConnection);
}

void MemoEditor::dropPendingMemoLater(TreeNode *node)
{
    QMetaObject::invokeMethod(
        this,
        [this, node, serial = node->serial()] {
            // The node may have gone meanwhile (a reload clears the tree); only a live one is touched.
            if (m_tree.isAlive(node, serial) && node != m_editNode)
                m_tree.deleteNode(node);
            emit tipWanted(TipMode::None);
        },
        Qt::QueuedConnection);
}

void MemoEditor::editCommitted(TreeNode *node, const QString &newText)
{
    if (!node)
        return;
    const QScopedValueRollback<bool> storing(m_storing, true);
    // The list did not change a memo while it was being edited: its text is what the edit began with.
    const QString startedFrom = memoOf(node).content;
    memoOf(node).content = trimRightControls(newText);
    // A refused store keeps the text in the list, unsaved, for the next try.
    m_session->store(node, memoOf(node).mid.isEmpty() ? MemoRows() : placedRows(m_store, {node}), startedFrom);
    emit commandsChanged();
}

void MemoEditor::editEnded(TreeNode *node)
{
    if (!node) {
        emit commandsChanged();
        return;
    }
    m_editNode = nullptr;
    // Committed unchanged, text that the database refused before is offered to it again.
    if (m_session->isUnsaved(node))
        m_session->retry();
    if (memoOf(node).mid.isEmpty() && memoOf(node).content.isEmpty() && !m_session->isUnsaved(node)) {
        dropPendingMemoLater(node);
    } else {
        m_tree.invalidateNode(node);
        m_tree.repaintNode(node);
        m_tree.clearSelection();
        m_tree.setSelected(node, true);
        emit tipWanted(TipMode::None);
    }
    emit commandsChanged();
}

void MemoEditor::editCancelled()
{
    if (!m_editNode) {
        emit commandsChanged();
        return;
    }
    TreeNode *node = m_editNode;
    m_editNode = nullptr;
    if (memoOf(node).mid.isEmpty() && !m_session->isUnsaved(node)) {
        dropPendingMemoLater(node);
    } else {
        m_tree.invalidateNode(node);
        m_tree.repaintNode(node);
        emit tipWanted(TipMode::None);
    }
    emit commandsChanged();
}

void MemoEditor::commitOpenEdit()
{
    // The error box of a failed store comes while the edit is ending: nothing to end then.
    if (m_storing)
        return;
    if (m_tree.isEditing())
        m_tree.endEditNode();
    else if (m_editNode)
        editCancelled();
}

void MemoEditor::nodeFreed(TreeNode *node)
{
    // The record goes with its node; only the frame's own references to it need clearing.
    if (node == m_editNode)
        m_editNode = nullptr;
    m_session->forget(node);
}

void MemoEditor::addText(const QString &text, const QString &stepName)
{
    // What is being typed is kept: the open edit is stored before the new memo comes.
    commitOpenEdit();
    TreeNode *node = addMemoNode(m_tree, nullptr);
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
    emit stepTaken(stepName, {}, placedRows(m_store, {node}));
    emit commandsChanged();
}

std::vector<EditSession::Pending> MemoEditor::takeUnsaved()
{
    m_editNode = nullptr;
    return m_session->takeAll();
}

void MemoEditor::putBack(std::vector<EditSession::Pending> unsaved)
{
    m_session->putBack(std::move(unsaved));
}
