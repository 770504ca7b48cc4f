// SPDX-License-Identifier: GPL-3.0-or-later
// Which commands are available, selection, expansion and the status text.
#include "gui/MainWindow.h"
#include "core/MemoText.h"
#include "gui/StatusBar.h"
#include "gui/MemoPane.h"
#include "gui/Application.h"
#include "gui/memos/ExpandStates.h"
#include "core/MemoStore.h"
#include "treeview/TreeUpdateGuard.h"
#include "treeview/MemoTree.h"
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QRandomGenerator>
#include <QScopedValueRollback>

void MemoPane::refreshCommands()
{
    const bool idle = m_editNode == nullptr;
    m_actions->refresh(idle, m_tree->firstSelected() != nullptr);
    refreshHistoryActions();
    if (idle && !m_waitingMailTip.isEmpty())
        QMetaObject::invokeMethod(this, [this] { showMailTip(std::exchange(m_waitingMailTip, {})); }, Qt::QueuedConnection);
}

void MemoPane::selectionChanged(TreeNode *node)
{
    refreshCommands();
    if (unsavedCount() > 0) {
        showUnsaved(unsavedCount()); // until it is stored, nothing says more
    } else if (node) {
        m_statusBar->setPanelText(dateAndTimeText(dateTimeToQDateTime(node->memo.createTime), true)
                                   + tr(" created"));
        m_statusImage->hide();
    } else {
        m_statusImage->show();
        showRandomStatusTip();
    }
}

void MemoPane::showRandomStatusTip()
{
    m_statusBar->setPanelText(tr(kStatusTips[QRandomGenerator::global()->bounded(int(kStatusTips.size()))].toUtf8().constData()));
}

void MemoPane::storeExpandFlag(TreeNode *node, bool expanded)
{
    // Inside a command over many memos the command stores the lot; alone, at once.
    QString refused;
    if (!m_expandStates->run([&] { m_expandStates->noteChange(node, expanded); }, refused))
        showDefaultErrorBox(refused);
    // The filter and Expand all change many memos at once; what the commands offer does not
    // depend on it.
    if (!m_filtering)
        refreshCommands();
}

void MemoPane::nodeExpanded(TreeNode *node)
{
    storeExpandFlag(node, true);
}

void MemoPane::nodeCollapsed(TreeNode *node)
{
    storeExpandFlag(node, false);
}

void MemoPane::setAllExpanded(bool expanded)
{
    // The step keeps the memos whose state this changes.
    std::vector<TreeNode *> changing;
    for (int i = 0; i < m_tree->topLevelCount(); ++i)
        if (m_tree->topLevelNode(i)->memo.expandFlag != expanded)
            changing.push_back(m_tree->topLevelNode(i));
    QString refused;
    bool stored;
    {
        // One transaction and one layout for the lot; a refused one leaves every memo as it was.
        const TreeUpdateGuard update(*m_tree);
        const QScopedValueRollback<bool> atWork(m_filtering, true);
        stored = m_expandStates->run(
            [this, expanded] {
                for (int i = 0; i < m_tree->topLevelCount(); ++i)
                    m_tree->setExpanded(m_tree->topLevelNode(i), expanded);
            },
            refused);
    }
    if (!stored) {
        showDefaultErrorBox(refused);
        refreshCommands();
        return;
    }
    auto changed = std::make_shared<std::vector<QString>>();
    for (TreeNode *node : changing)
        if (node->memo.expandFlag == expanded)
            changed->push_back(node->memo.mid);
    if (!changed->empty())
        recordStep(new ExpandAllCommand(*this, expanded ? tr("Expand All") : tr("Collapse All"), std::move(changed),
                                        expanded));
    refreshCommands();
}

void MemoPane::expandAll()
{
    setAllExpanded(true);
}

void MemoPane::collapseAll()
{
    setAllExpanded(false);
}

void MemoPane::selectAll()
{
    m_tree->setFocus();
    m_tree->selectAllVisible();
}

void MemoPane::deselectAll()
{
    m_tree->clearSelection();
}

QMenu *MemoPane::contextMenu(TreeNode *node)
{
    return node ? m_actions->memoMenu : m_actions->blankMenu;
}
