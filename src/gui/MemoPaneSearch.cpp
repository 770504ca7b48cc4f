// SPDX-License-Identifier: GPL-3.0-or-later
// The search filter: memos whose text does not hold the search text are hidden.
#include "gui/MainWindow.h"
#include "core/SettingsFile.h"
#include "core/MemoSearch.h"
#include "gui/MemoPane.h"
#include "core/ErrorText.h"
#include "gui/StatusBar.h"
#include "gui/memos/ExpandStates.h"
#include "core/SettingsKeys.h"
#include "core/MemoStore.h"
#include "treeview/TreeUpdateGuard.h"
#include "treeview/MemoTree.h"
#include <QAction>
#include <QKeyEvent>
#include <QScopeGuard>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QStringMatcher>
#include <QToolButton>
#include <algorithm>

void MemoPane::applyFilter()
{
    m_rowPainter->forgetHover();
    bool anyShown = false;
    QString refused;
    bool stored;
    {
        // Parents that a search expands have their state stored: one write for the keystroke.
        // A database held by another program refuses it at once rather than holding up the
        // typing; the parents then stay as they were, and the status bar tells why.
        m_store.setWaitsForLocks(false);
        const auto waitAgain = qScopeGuard([this] { m_store.setWaitsForLocks(true); });
        const TreeUpdateGuard update(*m_tree);
        const QScopedValueRollback<bool> atWork(m_filtering, true);
        const bool filtering = isSearching() && !searchText().isEmpty();
        const bool wide = m_actions->wideSearch->isChecked();
        const MemoSearch search(searchText(), wide);
        // Memo by memo, each before its sub-memos, so that a sub-memo that matches can show
        // its memo again after the memo itself was hidden.
        stored = m_expandStates->run(
            [&] {
                for (int i = 0; i < m_tree->topLevelCount(); ++i) {
                    TreeNode *memo = m_tree->topLevelNode(i);
                    const bool memoMatches = !filtering || search.matches(memo->memo);
                    m_tree->setVisible(memo, memoMatches);
                    anyShown = anyShown || memoMatches;
                    for (TreeNode *subMemo = memo->firstChild(); subMemo; subMemo = subMemo->nextSibling()) {
                        const bool shown = !filtering || search.showsSubMemo(subMemo->memo, memoMatches);
                        m_tree->setVisible(subMemo, shown);
                        if (shown && filtering) {
                            m_tree->setVisible(memo, true);
                            m_tree->setExpanded(memo, true);
                        }
                        anyShown = anyShown || shown;
                    }
                }
            },
            refused);
    }
    showTip(isSearching() && !anyShown ? TipMode::NoSearchResult : TipMode::None);
    if (!stored)
        m_statusBar->setPanelText(errorBoxText(refused));
}

bool MemoPane::hasVisibleMemo() const
{
    for (int i = 0; i < m_tree->topLevelCount(); ++i) {
        if (m_tree->topLevelNode(i)->isVisible())
            return true;
    }
    return false;
}

void MemoPane::searchCleared()
{
    applyFilter();
    m_tree->setFocus();
}

void MemoPane::toggleWideSearch()
{
    if (m_loading)
        return;
    applyFilter();
    kSearchWideEn.write(SettingsFile(m_settingsPath), m_actions->wideSearch->isChecked());
}
