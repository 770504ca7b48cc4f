// SPDX-License-Identifier: GPL-3.0-or-later
// Loading the whole memo list from the database.
#include "gui/MainWindow.h"
#include "gui/Application.h"
#include "core/MemoLevels.h"
#include "core/SettingsFile.h"
#include "gui/MemoPane.h"
#include "gui/memos/EditSession.h"
#include "gui/memos/MemoRefresh.h"
#include "core/SettingsKeys.h"
#include "core/DatabaseError.h"
#include "treeview/TreeUpdateGuard.h"
#include "treeview/MemoTree.h"
#include <QAction>
#include <QLineEdit>
#include <QMenuBar>
#include <QScrollBar>
#include <QScopedValueRollback>
#include <vector>

namespace {
// A read the disk refused is tried once more before the error is shown: a list cut short
// where the read failed would show less than is stored.
template <typename Read>
auto readTwice(Read read)
{
    try {
        return read();
    } catch (const DatabaseError &) {
        return read();
    }
}
} // namespace

void MemoPane::reloadMemos()
{
    // What is being typed is stored before the list it belongs to is read again.
    commitOpenEdit();
    // Steps taken over the list as it was cannot be replayed over the one read now.
    clearUndoHistory();
    const std::optional<RowMarks> imported = std::exchange(m_importMarks, std::nullopt);
    // Text the database has not taken yet goes into the list read now.
    retryUnsaved();
    std::vector<EditSession::Pending> unsaved = m_editSession->takeAll();
    m_loading = true;
    m_loaded = false;
    m_focusedOnce = false;
    m_hoverNode = nullptr;
    m_editNode = nullptr;
    m_tree->clear();

    const SettingsFile ini(m_settingsPath);
    m_sortAscending = kViewAscEn.read(ini);
    showSortDirection();
    m_listViewAction->setChecked(kViewListEn.read(ini));
    m_wideSearchAction->setChecked(kSearchWideEn.read(ini));

    m_mainWindow->recordMemoCount(readTwice([this] { return countMemos(); }));
    m_loading = false;

    readTwice([this] {
        m_tree->clear();
        loadMemos();
    });
    m_editSession->putBack(std::move(unsaved), [this](TreeNode *parent) { return addMemoNode(parent); });
    m_loaded = true;
    applyFilter();
    refreshCommands();
    setSearchIdle();
    m_tree->setHint(tr("Double click to add a Memo!"));
    showUnsaved(unsavedCount());
    if (imported)
        recordImport(*imported);
}

void MemoPane::loadMemos()
{
    // One layout for the whole load, also when a row fails to read.
    const TreeUpdateGuard update(*m_tree);
    const QScopedValueRollback<bool> atWork(m_filtering, true);
    // One pass over the table instead of a query per memo. Memos and each memo's sub-memos
    // keep table order; a sub-memo met before its memo waits for it, and one whose memo never
    // comes (or is itself a sub-memo) is not shown, as the two levels of the list require.
    QHash<QString, TreeNode *> memos;
    QHash<QString, std::vector<Memo>> waiting;
    const auto addSubMemo = [this](TreeNode *memo, Memo &row) {
        row.pid = memo->memo.mid; // one shared copy of the id
        addMemoNode(memo)->memo = std::move(row);
    };
    auto prints = std::make_shared<RowPrints>();
    m_rowPrints = prints; // a new list: looks taken against the one before are out of date
    m_store.forEachMemo([&](Memo &row) {
        if (MemoLevels::isTopLevel(row)) {
            row.pid = MemoLevels::kTopLevelParent; // one shared copy of the id
            TreeNode *memo = addMemoNode(nullptr);
            memo->memo = std::move(row);
            memos.insert(memo->memo.mid, memo);
            if (const auto early = waiting.find(memo->memo.mid); early != waiting.end()) {
                for (Memo &child : *early)
                    addSubMemo(memo, child);
                waiting.erase(early);
            }
        } else if (TreeNode *memo = memos.value(row.pid)) {
            addSubMemo(memo, row);
        } else {
            waiting[row.pid].push_back(std::move(row));
        }
    }, prints.get());
    for (int i = 0; i < m_tree->topLevelCount(); ++i) {
        TreeNode *memo = m_tree->topLevelNode(i);
        m_tree->setExpanded(memo, memo->memo.expandFlag);
    }
}

bool MemoPane::refreshFromStore()
{
    retryUnsaved();
    return takeLook(lookAtRows(m_store, m_rowPrints));
}

bool MemoPane::takeLook(RowLook look)
{
    MemoRefresh refresh(*m_tree, m_rowPrints, [this](TreeNode *parent) { return addMemoNode(parent); },
                        [this](const TreeNode *node) { return node == m_editNode || m_editSession->isUnsaved(node); });
    // The rows in sight stay where they are on screen, also when memos come or go above them.
    TreeNode *anchor = m_tree->nodeAt(QPoint(0, 0));
    const int anchorTop = anchor ? m_tree->nodeRect(anchor).top() : 0;
    const quint64 anchorSerial = anchor ? anchor->serial() : 0;
    QSet<QString> changed;
    {
        const QScopedValueRollback<bool> atWork(m_filtering, true);
        changed = refresh.run(std::move(look), m_sortAscending);
    }
    if (changed.isEmpty())
        return false;
    endStepsOver(changed);
    refilter();
    if (anchor && m_tree->isAlive(anchor, anchorSerial)) {
        m_tree->visibleCount(); // lays the rows out
        const QRect moved = m_tree->nodeRect(anchor);
        if (!moved.isEmpty())
            m_tree->verticalScrollBar()->setValue(m_tree->verticalScrollBar()->value() + moved.top() - anchorTop);
    }
    refreshCommands();
    return true;
}

qint64 MemoPane::countMemos()
{
    return m_store.count();
}

void MemoPane::memosReady()
{
    m_mainWindow->setMenuBar(m_menuBar);
    m_menuBar->show();
    m_tree->sortTree(m_sortAscending);
    if (!m_focusedOnce) {
        m_tree->setFocus();
        m_focusedOnce = true;
    }
}
