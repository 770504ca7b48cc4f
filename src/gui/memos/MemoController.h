// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "gui/memos/MemoCommands.h"
#include "gui/memos/TipMode.h"
#include "core/RowPrints.h"
#include "treeview/MemoTree.h"
#include <QObject>
#include <QPoint>
#include <memory>
#include <optional>
#include <vector>

class EditSession;
class ExpandStates;
class MemoHistory;
class QMimeData;
struct RowLook;

// Runs the memo commands on the database and the list alike, without widgets of its own:
// loading and refreshing the list, the search filter, adding and editing memos (at most one
// edit exists: editNode() marks the node, the editor opens once the node has grown, and a
// commit stores the text at once), deleting, moving, the clipboard, expanding and the
// history. The pane shows what it signals.
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
    int unsavedCount() const;
    void retryUnsaved();
    // Hides the memos that do not match the search.
    void applyFilter();
    bool hasVisibleMemo() const;

    void addMemo();
    void addSubMemo();
    void editMemo();
    void deleteMemos();
    void copyMemos();
    void pasteMemos();
    void pasteAsMemo(const QString &text);
    void moveSelectedMemos(TreeNode *target, MemoTree::AttachMode mode);
    void expandAll();
    void collapseAll();
    void undoStep();
    void redoStep();
    // Ends an open edit as Ctrl+Enter would; a memo marked for editing whose editor has not
    // opened yet ends as a cancel, since nothing was typed into it.
    void commitOpenEdit();
    // The memo marked for editing: its editor is open or about to open.
    TreeNode *editNode() const { return m_editNode; }
    MemoHistory &history() const { return *m_history; }

    // The tree's questions.
    bool canEdit(TreeNode *node);
    bool canDrop(TreeNode *target, const QMimeData *data, bool internal);
    void drop(TreeNode *target, const QMimeData *data, bool internal);

    // Where the tables end before an import: the rows after them are the import's.
    struct RowMarks {
        qint64 memos = 0;
        qint64 tasks = 0;
    };
    RowMarks rowMarks();
    // The next reload takes the rows after marks in as one step.
    void setImportMarks(const RowMarks &marks) { m_importMarks = marks; }

    // The tree side of a step (the database side has been stored): target's memos shown in
    // their places and selected where they come back, other's memos that target lacks gone.
    void showRows(const MemoRows &target, const MemoRows &other);
    void showExpanded(const std::vector<QString> &mids, bool expanded);

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
    // A memo node as every memo gets it: multi-line, its button and picture at the top.
    TreeNode *addMemoNode(TreeNode *parent);
    // The tip of mode; TipMode::None becomes the empty list's tip when no memo is in sight.
    void showTip(TipMode mode);
    // After memos came or went: the search filter again, or only the empty-list tip.
    void refilter();
    void storeExpandFlag(TreeNode *node, bool expanded);
    void setAllExpanded(bool expanded);
    void takeStep(bool back);

    void openPendingEdit();
    // The editor opens once the node has grown to its editing height.
    void openPendingEditLater();
    // Drops the empty node of an ended edit once the tree has finished with it.
    void dropPendingMemoLater(TreeNode *node);
    void editCommitted(TreeNode *node, const QString &newText);
    void editEnded(TreeNode *node);
    void editCancelled();
    void nodeFreed(TreeNode *node);
    void memoStored(TreeNode *node, const MemoRows &before, bool isNew);
    // The text of a memo that did not come from typing: pasted, or dropped from another program.
    void addTextAsMemo(const QString &text, const QString &stepName);

    void recordRows(const QString &name, MemoRows before, MemoRows after);
    void recordImport(const RowMarks &marks);
    // The stored rows of these memo nodes with their places in the tree.
    MemoRows placedRows(const std::vector<TreeNode *> &nodes);

    MemoTree &m_tree;
    MemoStore &m_store;
    EditSession *m_editSession;
    MemoHistory *m_history;
    std::unique_ptr<ExpandStates> m_expandStates;
    std::optional<RowMarks> m_importMarks;
    std::shared_ptr<const RowPrints> m_rowPrints = std::make_shared<const RowPrints>(); // for the refresh
    Search m_search;
    TreeNode *m_editNode = nullptr;
    QPoint m_mouse;
    bool m_loaded = false;
    bool m_sortAscending = false;
    bool m_storing = false;   // a commit is writing its memo
    bool m_filtering = false; // the filter or Expand/Collapse all is at work on many memos
};
