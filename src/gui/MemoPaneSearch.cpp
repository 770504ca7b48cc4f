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

void MemoPane::searchTextChanged()
{
    m_searchText = searchTextOf(m_searchBox->text());
    applyFilter();
}

void MemoPane::applyFilter()
{
    m_hoverNode = nullptr;
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
        const bool filtering = m_searching && !m_searchText.isEmpty();
        const bool wide = m_wideSearchAction->isChecked();
        const MemoSearch search(m_searchText, wide);
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
    showTip(m_searching && !anyShown ? 3 : 0);
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

void MemoPane::setSearchIdle()
{
    m_searching = false;
    QPalette palette = m_searchBox->palette();
    palette.setColor(QPalette::Text, palette.color(QPalette::PlaceholderText));
    m_searchBox->setPalette(palette);
    m_searchBox->setText(tr("  Search..."));
    m_searchButton->setIcon(m_images[18]);
    m_searchButton->setToolTip(QString());
}

void MemoPane::searchBoxEntered()
{
    if (m_searching)
        return;
    m_searchBox->setText(QString());
    QPalette palette = m_searchBox->palette();
    palette.setColor(QPalette::Text, palette.color(QPalette::WindowText));
    m_searchBox->setPalette(palette);
    m_searching = true;
    m_searchButton->setIcon(m_images[19]);
    m_searchButton->setToolTip(tr("Clear search"));
}

QString MemoPane::searchBoxText() const
{
    return m_searchBox->text();
}

void MemoPane::resumeSearch(const QString &typed)
{
    searchBoxEntered();
    m_searchBox->setText(typed);
}

void MemoPane::searchBoxLeft()
{
    if (!searchTextOf(m_searchBox->text()).isEmpty())
        return;
    setSearchIdle();
}

void MemoPane::searchBoxKeyPressed(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape)
        searchButtonClicked();
    else if (event->key() == Qt::Key_A && event->modifiers().testFlag(Qt::ControlModifier))
        m_searchBox->selectAll();
}

void MemoPane::searchButtonClicked()
{
    if (m_searching) {
        m_searchBox->setText(QString());
        searchBoxLeft();
        applyFilter();
        m_tree->setFocus();
    } else {
        m_searchBox->setFocus();
    }
}

void MemoPane::toggleWideSearch()
{
    if (m_loading)
        return;
    applyFilter();
    kSearchWideEn.write(SettingsFile(m_settingsPath), m_wideSearchAction->isChecked());
}

void MemoPane::bottomBarResized()
{
    // The box fills the bar between the wide-search button and the clear button, 10 pixels
    // short of the clear button.
    const int barHeight = m_bottomBar->height();
    const int buttonWidth = m_searchButton->width();
    const auto centred = [barHeight](QWidget *widget) { return (barHeight - widget->height()) / 2; };
    m_wideSearchButton->move(0, centred(m_wideSearchButton));
    m_searchBox->setGeometry(buttonWidth, centred(m_searchBox), std::max(0, m_bottomBar->width() - 2 * buttonWidth - 10),
                            m_searchBox->sizeHint().height());
    m_searchButton->move(m_searchBox->geometry().right() + 1 + 10, centred(m_searchButton));
}
