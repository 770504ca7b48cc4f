// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "gui/memos/MemoCommands.h"
#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

class MemoTree;
class TreeNode;

// The text the user typed that the database has not taken yet. Every committed text is
// stored through store(); a refused store leaves the node in the list with its text and
// counts it here as unsaved, until a later try stores it (the next commit, or retry() once
// the database may take writes again) or the user deletes the memo. A reload takes the
// unsaved memos out of the old list and puts them into the new one.
class EditSession : public QObject {
    Q_OBJECT
public:
    EditSession(MemoTree &tree, MemoStore &store, QObject *parent);

    // Stores node's memo, a new one (no id yet) under a fresh id; before: its rows as a step
    // found them. False when the database refused it: the node is unsaved then.
    bool store(TreeNode *node, MemoRows before);
    bool isUnsaved(const TreeNode *node) const;
    int unsavedCount() const { return int(m_unsaved.size()); }
    // Tries every unsaved memo again, quietly.
    void retry();
    // The node went from the list (deleted by the user, or with the whole list).
    void forget(const TreeNode *node);

    struct Pending {
        Memo memo;
        MemoRows before;
    };
    // A reload: the unsaved memos out of the list, then into the list read anew.
    std::vector<Pending> takeAll();
    void putBack(std::vector<Pending> pending, const std::function<TreeNode *(TreeNode *parent)> &makeNode);

signals:
    // A memo was stored, at once or by a later try; before as store() got it.
    void stored(TreeNode *node, const MemoRows &before, bool isNew);
    void unsavedChanged(int count);

private:
    struct Entry {
        TreeNode *node;
        uint64_t serial;
        MemoRows before;
    };
    // Throws when the database refuses; a new memo then has no id again.
    void write(TreeNode *node);
    void settle(std::vector<Entry>::iterator entry, bool isNew);

    MemoTree &m_tree;
    MemoStore &m_store;
    std::vector<Entry> m_unsaved;
};
