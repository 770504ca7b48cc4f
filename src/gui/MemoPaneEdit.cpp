// SPDX-License-Identifier: GPL-3.0-or-later
// Adding memos and editing them in place. At most one edit exists: m_editNode marks the node,
// a posted message opens the editor, and a commit stores the text at once.
#include "gui/MainWindow.h"
#include "gui/Application.h"
#include "desktop/TrayIcon.h"
#include "core/MemoText.h"
#include "gui/Prompts.h"
#include "gui/StatusBar.h"
#include "gui/MemoPane.h"
#include "gui/memos/EditSession.h"
#include "core/MemoLevels.h"
#include "core/NewMemo.h"
#include "treeview/MemoTree.h"
#include <QKeyEvent>
#include <QScopedValueRollback>

TreeNode *MemoPane::addMemoNode(TreeNode *parent)
{
    TreeNode *node = m_tree->addChild(parent);
    m_tree->setVerticalAlignment(node, 0);
    m_tree->setMultiline(node, true);
    return node;
}

void MemoPane::memoStored(TreeNode *node, const MemoRows &before, bool isNew)
{
    recordRows(isNew ? tr("Add") : tr("Edit"), before, placedRows({node}));
    m_tree->repaintNode(node);
    refreshCommands();
}

void MemoPane::showUnsaved(int count)
{
    if (count > 0)
        m_statusBar->setPanelText(tr("%n memo(s) not stored yet: stored as soon as the database takes them.", "", count));
    else
        showRandomStatusTip();
}

int MemoPane::unsavedCount() const
{
    return m_editSession->unsavedCount();
}

void MemoPane::retryUnsaved()
{
    m_editSession->retry();
}

void MemoPane::addMemo()
{
    if (m_editNode)
        return;
    m_editNode = addMemoNode(nullptr);
    m_editNode->memo.pid = MemoLevels::kTopLevelParent;
    openPendingEditLater();
    refreshCommands();
}

void MemoPane::addSubMemo()
{
    if (m_editNode)
        return;
    TreeNode *parent = m_tree->firstSelected();
    if (parent && parent->level() > 0)
        parent = parent->parent();
    // With nothing selected the last memo in sight is the parent: a search may hide the last
    // ones, and a sub-memo added under a hidden memo could never be edited.
    if (!parent)
        parent = m_tree->lastTopLevelNode();
    while (parent && !parent->isVisible())
        parent = parent->previousSibling();
    if (!parent) {
        tipBox(tr("Please select a memo!"));
        return;
    }
    if (parent->memo.mid.isEmpty()) {
        // A sub-memo is stored under its memo's id; this memo has none yet.
        tipBox(tr("This memo is not stored yet. Its sub-memos can be added once it is."));
        return;
    }
    m_editNode = addMemoNode(parent);
    m_editNode->memo.pid = parent->memo.mid;
    openPendingEditLater();
    refreshCommands();
}

void MemoPane::editMemo()
{
    TreeNode *node = m_tree->firstSelected();
    if (m_editNode || !node)
        return;
    m_editNode = node;
    m_tree->invalidateNode(node);
    openPendingEditLater();
    refreshCommands();
}

bool MemoPane::canEdit(TreeNode *node)
{
    if (m_editNode) {
        // Only the marked node may be edited; an editor on any other node would leave the
        // marked one behind.
        refreshCommands();
        return node == m_editNode;
    }
    // A request of the tree's own (F2, a slow second click) is refused once and repeated
    // through the posted message, so that the node has grown to its editing height first.
    if (node) {
        m_editNode = node;
        m_tree->invalidateNode(node);
        openPendingEditLater();
        refreshCommands();
    }
    return false;
}

void MemoPane::openPendingEdit()
{
    showTip(TipMode::FinishEdit);
    if (!m_editNode || m_tree->isEditing())
        return;
    if (!m_tree->editNode(m_editNode)) {
        // The node cannot be edited (it was hidden meanwhile): end the edit as a cancel would.
        editCancelled();
    }
}

void MemoPane::openPendingEditLater()
{
    QMetaObject::invokeMethod(this, &MemoPane::openPendingEdit, Qt::QueuedConnection);
}

void MemoPane::dropPendingMemoLater(TreeNode *node)
{
    QMetaObject::invokeMethod(
        this,
        [this, node, serial = node->serial()] {
            // The node may have gone meanwhile (a reload clears the tree); only a live one is touched.
            if (m_tree->isAlive(node, serial) && node != m_editNode)
                m_tree->deleteNode(node);
            showTip(TipMode::None);
        },
        Qt::QueuedConnection);
}

void MemoPane::editCommitted(TreeNode *node, const QString &newText)
{
    if (!node)
        return;
    const QScopedValueRollback<bool> storing(m_storing, true);
    node->memo.content = trimRightControls(newText);
    // A refused store keeps the text in the list, unsaved, for the next try.
    m_editSession->store(node, node->memo.mid.isEmpty() ? MemoRows() : placedRows({node}));
    refreshCommands();
}

void MemoPane::editEnded(TreeNode *node)
{
    if (!node) {
        refreshCommands();
        return;
    }
    m_editNode = nullptr;
    // Committed unchanged, text that the database refused before is offered to it again.
    if (m_editSession->isUnsaved(node))
        m_editSession->retry();
    if (node->memo.mid.isEmpty() && node->memo.content.isEmpty() && !m_editSession->isUnsaved(node)) {
        dropPendingMemoLater(node);
    } else {
        m_tree->invalidateNode(node);
        m_tree->repaintNode(node);
        deselectAll();
        m_tree->setSelected(node, true);
        showTip(TipMode::None);
    }
    refreshCommands();
}

void MemoPane::editCancelled()
{
    if (!m_editNode) {
        refreshCommands();
        return;
    }
    TreeNode *node = m_editNode;
    m_editNode = nullptr;
    if (node->memo.mid.isEmpty() && !m_editSession->isUnsaved(node)) {
        dropPendingMemoLater(node);
    } else {
        m_tree->invalidateNode(node);
        m_tree->repaintNode(node);
        showTip(TipMode::None);
    }
    refreshCommands();
}

void MemoPane::commitOpenEdit()
{
    // The error box of a failed store comes while the edit is ending: nothing to end then.
    if (m_storing)
        return;
    if (m_tree->isEditing())
        m_tree->endEditNode();
    else if (m_editNode)
        editCancelled();
}

void MemoPane::keyPressed(QKeyEvent *event)
{
    const bool ctrl = event->modifiers().testFlag(Qt::ControlModifier);
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (ctrl)
            addSubMemo();
        else
            addMemo();
        break;
    case Qt::Key_Delete:
        deleteMemos();
        break;
    case Qt::Key_C:
        if (ctrl)
            copyMemos();
        break;
    case Qt::Key_V:
        if (ctrl)
            pasteMemos();
        break;
    case Qt::Key_F12:
        if (ctrl)
            m_mainWindow->trayIcon()->minimize();
        break;
    default:
        break;
    }
}

void MemoPane::treeDoubleClicked()
{
    if (!m_tree->nodeAt(QPoint(m_mouseX, m_mouseY)) && !m_editNode)
        QMetaObject::invokeMethod(this, &MemoPane::addMemo, Qt::QueuedConnection);
}

void MemoPane::treeMouseMoved(const QPoint &position)
{
    m_mouseX = position.x();
    m_mouseY = position.y();
}
