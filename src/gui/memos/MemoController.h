// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "gui/memos/MemoEditor.h"
#include "gui/memos/MemoSteps.h"
#include "gui/memos/TipMode.h"
#include "core/RowPrints.h"
#include "treeview/MemoTree.h"
#include <QObject>
#include <memory>
#include <optional>
#include <vector>

class ExpandStates;
class MemoHistory;
class QMimeData;
struct RowLook;

// Runs the memo commands on the database and the list alike, without widgets of its own:
// loading and refreshing the list, the search filter, deleting, moving, the clipboard,
// expanding and the history; adding and editing memos are the editor's, the tree side of the
// history's steps is the steps'. The pane shows what it signals.
class MemoController : public QObject {
    Q_OBJECT
public:
    MemoController(MemoTree &tree, MemoStore &store, QObject *parent);
    ~MemoController() override;

    // What the search bar asks for; the filter runs on applyFilter().
    struct Search {
        QString text;
        bool searching = false;
        bool wide = false;
    };
    void setSearch(const Search &search) { m_search = search; }
    void setSortAscending(bool ascending) { m_sortAscending = ascending; }
    bool sortAscending() const { return m_sortAscending; }

    // Reads the whole list again: what is being typed is stored first, and text the database
    // has not taken yet goes into the list read now. Throws DatabaseError when it cannot be read.
    void reload();
    // Follows what another process changed in the database, memo by memo, and tries the
    // memos the database refused before; the undo steps over changed memos end. False when
    // the list had nothing to take in. Throws DatabaseError when the table cannot be read.
    bool refreshFromStore();
    // The same with a look taken elsewhere against rowPrints(), the table as the list last
    // took it in.
    bool takeLook(RowLook look);
    std::shared_ptr<const RowPrints> rowPrints() const { return m_rowPrints; }
    // The list has been read: refreshes may patch it.
    bool hasLoaded() const { return m_loaded; }
    // Memos whose typed text the database has not taken yet, and one more try to store them.
    int unsavedCount() const { return m_editor->unsavedCount(); }
    void retryUnsaved() { m_editor->retryUnsaved(); }
    // Hides the memos that do not match the search.
    void applyFilter();
    bool hasVisibleMemo() const;

    void addMemo() { m_editor->addMemo(); }
    void addSubMemo() { m_editor->addSubMemo(); }
    void editMemo() { m_editor->editMemo(); }
    void deleteMemos();
    void copyMemos();
    void pasteMemos();
    void pasteAsMemo(const QString &text);
    void moveSelectedMemos(TreeNode *target, MemoTree::AttachMode mode);
    void expandAll();
    void collapseAll();
    void undoStep();
    void redoStep();
    void commitOpenEdit() { m_editor->commitOpenEdit(); }
    TreeNode *editNode() const { return m_editor->editNode(); }
    MemoHistory &history() const { return *m_history; }

    // The tree's questions.
    bool canEdit(TreeNode *node) { return m_editor->canEdit(node); }
    bool canDrop(TreeNode *target, const QMimeData *data, bool internal);
    void drop(TreeNode *target, const QMimeData *data, bool internal);

    using RowMarks = MemoSteps::RowMarks;
    RowMarks rowMarks();
    // The next reload takes the rows after marks in as one step.
    void setImportMarks(const RowMarks &marks) { m_importMarks = marks; }

signals:
    // The edit, the selection or the list changed: what the commands offer may have too.
    void commandsChanged();
    void tipWanted(TipMode mode);
    // The filter runs over the whole list.
    void filterApplied();
    void unsavedChanged(int count);
    // The database refused to store what the filter opened; message says why.
    void filterRefused(const QString &message);
    // A reload counted the memos.
    void memosCounted(qint64 memos);

private:
    void loadMemos();
    // The tip of mode; TipMode::None becomes the empty list's tip when no memo is in sight.
    void showTip(TipMode mode);
    // After memos came or went: the search filter again, or only the empty-list tip.
    void refilter();
    void storeExpandFlag(TreeNode *node, bool expanded);
    void setAllExpanded(bool expanded);
    void takeStep(bool back);

    MemoTree &m_tree;
    MemoStore &m_store;
    MemoEditor *m_editor;
    MemoHistory *m_history;
    std::unique_ptr<ExpandStates> m_expandStates;
    std::unique_ptr<MemoSteps> m_steps;
    std::optional<RowMarks> m_importMarks;
    std::shared_ptr<const RowPrints> m_rowPrints = std::make_shared<const RowPrints>(); // for the refresh
    Search m_search;
    bool m_loaded = false;
    bool m_sortAscending = false;
};
