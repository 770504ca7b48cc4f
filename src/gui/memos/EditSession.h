// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "gui/memos/MemoCommands.h"
#include <QObject>
#include <QString>
#include <cstdint>
#include <vector>

class MemoTree;
class TreeNode;

// The text the user typed that the database has not taken yet. Every committed text is
// stored through store(); a refused store leaves the node in the list with its text and
// counts it here as unsaved, until a later try stores it (the next commit, or retry() once
// the database may take writes again) or the user deletes the memo. A reload takes the
// unsaved memos out of the old list and puts them into the new one.
//
// Another process may write the memo while it is typed: a store keeps that writer's text
// beside the typed one as a conflict copy, and stores a memo deleted meanwhile anew.
class EditSession : public QObject {
    Q_OBJECT
public:
    EditSession(MemoTree &tree, MemoStore &store, QObject *parent);

    // Stores node's memo, a new one (no id yet) under a fresh id; before: its rows as a step
    // found them; startedFrom: the text the edit began with. False when the database refused
    // it: the node is unsaved then.
    bool store(TreeNode *node, MemoRows before, const QString &startedFrom);
    bool isUnsaved(const TreeNode *node) const;
    int unsavedCount() const { return int(m_unsaved.size()); }
    // Tries every unsaved memo again, quietly.
    void retry();
    // The node went from the list (deleted by the user, or with the whole list).
    void forget(const TreeNode *node);

    struct Pending {
        Memo memo;
        MemoRows before;
        QString startedFrom;
    };
    // A reload: the unsaved memos out of the list, then into the list read anew.
    std::vector<Pending> takeAll();
    void putBack(std::vector<Pending> pending);

signals:
    // A memo was stored, at once or by a later try; before as store() got it.
    void stored(TreeNode *node, const MemoRows &before, bool isNew);
    void unsavedChanged(int count);
    // Another process changed or deleted this memo since its edit began.
    void changedOutside(const QString &mid);

private:
    struct Entry {
        TreeNode *node;
        uint64_t serial;
        MemoRows before;
        QString startedFrom;
    };
    // Throws when the database refuses; a new memo then has no id again.
    void write(const Entry &entry);
    // The conflict copy's node, right after node.
    void showBeside(TreeNode *node, Memo copy);
    void settle(std::vector<Entry>::iterator entry, bool isNew);

    MemoTree &m_tree;
    MemoStore &m_store;
    std::vector<Entry> m_unsaved;
};
