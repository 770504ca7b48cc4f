// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/memos/MemoController.h"
#include "gui/memos/ExpandStates.h"
#include "gui/memos/MemoHistory.h"
#include "gui/memos/MemoRefresh.h"
#include "gui/Application.h"
#include "gui/CommandErrors.h"
#include "gui/memos/MemoNode.h"
#include "core/DatabaseError.h"
#include "core/ErrorText.h"
#include "core/MemoLevels.h"
#include "core/MemoSearch.h"
#include "treeview/TreeUpdateGuard.h"
#include <QScopeGuard>
#include <QScrollBar>

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

MemoController::MemoController(MemoTree &tree, MemoStore &store, QObject *parent)
    : QObject(parent), m_tree(tree), m_store(store), m_editor(new MemoEditor(tree, store, this)),
      m_history(new MemoHistory(store, [this] { return m_editor->editNode() == nullptr; }, this)),
      m_expandStates(std::make_unique<ExpandStates>(tree, store)),
      m_steps(std::make_unique<MemoSteps>(tree, store, *m_history, *m_expandStates, [this] { refilter(); }))
{
    connect(m_editor, &MemoEditor::commandsChanged, this, &MemoController::commandsChanged);
    connect(m_editor, &MemoEditor::tipWanted, this, &MemoController::showTip);
    connect(m_editor, &MemoEditor::unsavedChanged, this, &MemoController::unsavedChanged);
    connect(m_editor, &MemoEditor::stepTaken, this,
            [this](const QString &name, const MemoRows &before, const MemoRows &after) { m_steps->record(name, before, after); });
    // Steps over a memo that another process wrote would write over that: the history ends.
    connect(m_editor, &MemoEditor::changedOutside, this, [this](const QString &mid) { m_history->endStepsOver({mid}); });
    // What the user did in the tree ends here: its errors are reported at this boundary.
    connect(&tree, &MemoTree::nodeExpanded, this, reportingErrors([this](TreeNode *node) { storeExpandFlag(node, true); }));
    connect(&tree, &MemoTree::nodeCollapsed, this, reportingErrors([this](TreeNode *node) { storeExpandFlag(node, false); }));
}

// Out of line: ExpandStates and MemoSteps are complete here.
MemoController::~MemoController() = default;

void MemoController::reload()
{
    // What is being typed is stored before the list it belongs to is read again.
    commitOpenEdit();
    // Steps taken over the list as it was cannot be replayed over the one read now.
    m_history->clear();
    const std::optional<RowMarks> imported = std::exchange(m_importMarks, std::nullopt);
    // Text the database has not taken yet goes into the list read now.
    retryUnsaved();
    std::vector<EditSession::Pending> unsaved = m_editor->takeUnsaved();
    m_loaded = false;
    m_tree.clear();
    emit memosCounted(readTwice([this] { return m_store.count(); }));

    readTwice([this] {
        m_tree.clear();
        loadMemos();
    });
    m_editor->putBack(std::move(unsaved));
    m_loaded = true;
    applyFilter();
    emit commandsChanged();
    emit unsavedChanged(unsavedCount());
    if (imported)
        m_steps->recordImport(*imported);
}

void MemoController::loadMemos()
{
    // One layout for the whole load, also when a row fails to read.
    const TreeUpdateGuard update(m_tree);
    const auto atWork = m_expandStates->manyAtOnce();
    // One pass over the table instead of a query per memo. Memos and each memo's sub-memos
    // keep table order; a sub-memo met before its memo waits for it, and one whose memo never
    // comes (or is itself a sub-memo) is not shown, as the two levels of the list require.
    QHash<QString, TreeNode *> memos;
    QHash<QString, std::vector<Memo>> waiting;
    const auto addSubMemo = [this](TreeNode *memo, Memo &row) {
        row.pid = memoOf(memo).mid; // one shared copy of the id
        memoOf(addMemoNode(m_tree, memo)) = std::move(row);
    };
    auto prints = std::make_shared<RowPrints>();
    m_rowPrints = prints; // a new list: looks taken against the one before are out of date
    m_store.forEachMemo([&](Memo &row) {
        if (MemoLevels::isTopLevel(row)) {
            row.pid = MemoLevels::kTopLevelParent; // one shared copy of the id
            TreeNode *memo = addMemoNode(m_tree, nullptr);
            memoOf(memo) = std::move(row);
            memos.insert(memoOf(memo).mid, memo);
            if (const auto early = waiting.find(memoOf(memo).mid); early != waiting.end()) {
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
    for (int i = 0; i < m_tree.topLevelCount(); ++i) {
        TreeNode *memo = m_tree.topLevelNode(i);
        m_tree.setExpanded(memo, memoOf(memo).expandFlag);
    }
}

bool MemoController::refreshFromStore()
{
    retryUnsaved();
    return takeLook(lookAtRows(m_store, m_rowPrints));
}

bool MemoController::takeLook(RowLook look)
{
    MemoRefresh refresh(m_tree, m_rowPrints, [this](TreeNode *parent) { return addMemoNode(m_tree, parent); },
                        [this](const TreeNode *node) { return m_editor->holds(node); });
    // The rows in sight stay where they are on screen, also when memos come or go above them.
    TreeNode *anchor = m_tree.nodeAt(QPoint(0, 0));
    const int anchorTop = anchor ? m_tree.nodeRect(anchor).top() : 0;
    const quint64 anchorSerial = anchor ? anchor->serial() : 0;
    QSet<QString> changed;
    {
        const auto atWork = m_expandStates->manyAtOnce();
        changed = refresh.run(std::move(look), m_sortAscending);
    }
    if (changed.isEmpty())
        return false;
    m_history->endStepsOver(changed);
    refilter();
    if (anchor && m_tree.isAlive(anchor, anchorSerial)) {
        m_tree.visibleCount(); // lays the rows out
        const QRect moved = m_tree.nodeRect(anchor);
        if (!moved.isEmpty())
            m_tree.verticalScrollBar()->setValue(m_tree.verticalScrollBar()->value() + moved.top() - anchorTop);
    }
    emit commandsChanged();
    return true;
}

void MemoController::applyFilter()
{
    emit filterApplied();
    bool anyShown = false;
    QString refused;
    bool stored;
    {
        // Parents that a search expands have their state stored: one write for the keystroke.
        // A database held by another program refuses it at once rather than holding up the
        // typing; the parents then stay as they were, and the status bar tells why.
        m_store.setWaitsForLocks(false);
        const auto waitAgain = qScopeGuard([this] { m_store.setWaitsForLocks(true); });
        const TreeUpdateGuard update(m_tree);
        const auto atWork = m_expandStates->manyAtOnce();
        const bool filtering = m_search.searching && !m_search.text.isEmpty();
        const MemoSearch search(m_search.text, m_search.wide);
        // Memo by memo, each before its sub-memos, so that a sub-memo that matches can show
        // its memo again after the memo itself was hidden.
        stored = m_expandStates->run(
            [&] {
                for (int i = 0; i < m_tree.topLevelCount(); ++i) {
                    TreeNode *memo = m_tree.topLevelNode(i);
                    const bool memoMatches = !filtering || search.matches(memoOf(memo));
                    m_tree.setVisible(memo, memoMatches);
                    anyShown = anyShown || memoMatches;
                    for (TreeNode *subMemo = memo->firstChild(); subMemo; subMemo = subMemo->nextSibling()) {
                        const bool shown = !filtering || search.showsSubMemo(memoOf(subMemo), memoMatches);
                        m_tree.setVisible(subMemo, shown);
                        if (shown && filtering) {
                            m_tree.setVisible(memo, true);
                            m_tree.setExpanded(memo, true);
                        }
                        anyShown = anyShown || shown;
                    }
                }
            },
            refused);
    }
    showTip(m_search.searching && !anyShown ? TipMode::NoSearchResult : TipMode::None);
    if (!stored)
        emit filterRefused(errorBoxText(refused));
}

bool MemoController::hasVisibleMemo() const
{
    for (int i = 0; i < m_tree.topLevelCount(); ++i) {
        if (m_tree.topLevelNode(i)->isVisible())
            return true;
    }
    return false;
}

void MemoController::showTip(TipMode mode)
{
    emit tipWanted(mode == TipMode::None && !hasVisibleMemo() ? TipMode::AddMemo : mode);
}

void MemoController::refilter()
{
    // Without a search every memo is shown already; the walk over the whole list is spared.
    if (m_search.searching && !m_search.text.isEmpty())
        applyFilter();
    else
        showTip(m_search.searching && !hasVisibleMemo() ? TipMode::NoSearchResult : TipMode::None); // as the filter itself would
}

void MemoController::storeExpandFlag(TreeNode *node, bool expanded)
{
    // Inside a command over many memos the command stores the lot; alone, at once.
    QString refused;
    if (!m_expandStates->run([&] { m_expandStates->noteChange(node, expanded); }, refused))
        showDefaultErrorBox(refused);
    // The filter and Expand all change many memos at once; what the commands offer does not
    // depend on it.
    if (!m_expandStates->isManyAtOnce())
        emit commandsChanged();
}

void MemoController::setAllExpanded(bool expanded)
{
    // The step keeps the memos whose state this changes.
    std::vector<TreeNode *> changing;
    for (int i = 0; i < m_tree.topLevelCount(); ++i)
        if (memoOf(m_tree.topLevelNode(i)).expandFlag != expanded)
            changing.push_back(m_tree.topLevelNode(i));
    QString refused;
    bool stored;
    {
        // One transaction and one layout for the lot; a refused one leaves every memo as it was.
        const TreeUpdateGuard update(m_tree);
        const auto atWork = m_expandStates->manyAtOnce();
        stored = m_expandStates->run(
            [this, expanded] {
                for (int i = 0; i < m_tree.topLevelCount(); ++i)
                    m_tree.setExpanded(m_tree.topLevelNode(i), expanded);
            },
            refused);
    }
    if (!stored) {
        showDefaultErrorBox(refused);
        emit commandsChanged();
        return;
    }
    auto changed = std::make_shared<std::vector<QString>>();
    for (TreeNode *node : changing)
        if (memoOf(node).expandFlag == expanded)
            changed->push_back(memoOf(node).mid);
    if (!changed->empty())
        m_history->record(new ExpandAllCommand(*m_steps, expanded ? tr("Expand All") : tr("Collapse All"), std::move(changed),
                                        expanded));
    emit commandsChanged();
}

void MemoController::expandAll()
{
    setAllExpanded(true);
}

void MemoController::collapseAll()
{
    setAllExpanded(false);
}

void MemoController::undoStep()
{
    takeStep(true);
}

void MemoController::redoStep()
{
    takeStep(false);
}

void MemoController::takeStep(bool back)
{
    if (m_editor->editNode() || !m_history->takeStep(back))
        return;
    emit commandsChanged();
}

MemoController::RowMarks MemoController::rowMarks()
{
    return {m_store.lastMemoRow(), m_store.lastTaskRow()};
}
