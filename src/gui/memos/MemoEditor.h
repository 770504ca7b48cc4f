// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "gui/memos/EditSession.h"
#include "gui/memos/TipMode.h"
#include <QObject>
#include <QPoint>

class MemoTree;
class TreeNode;

// Adding memos and editing them in place, without widgets of its own. At most one edit
// exists: editNode() marks the node, the editor opens once the node has grown to its editing
// height, and a commit stores the text at once; text the database refused waits in the edit
// session for the next try. What a store changed comes out as a step to record.
class MemoEditor : public QObject {
    Q_OBJECT
public:
    MemoEditor(MemoTree &tree, MemoStore &store, QObject *parent);

    void addMemo();
    void addSubMemo();
    void editMemo();
    // The text of a memo that did not come from typing: pasted, or dropped from another program.
    void addText(const QString &text, const QString &stepName);
    // The tree asks before it opens an editor of its own.
    bool canEdit(TreeNode *node);
    // Ends an open edit as Ctrl+Enter would; a memo marked for editing whose editor has not
    // opened yet ends as a cancel, since nothing was typed into it.
    void commitOpenEdit();
    // The memo marked for editing: its editor is open or about to open.
    TreeNode *editNode() const { return m_editNode; }
    // The memo being edited, or one whose typed text the database has not taken yet.
    bool holds(const TreeNode *node) const;

    // Memos whose typed text the database has not taken yet, and one more try to store them.
    int unsavedCount() const { return m_session->unsavedCount(); }
    void retryUnsaved() { m_session->retry(); }
    // A reload: the unsaved memos out of the list (the edit has ended), then into the list read anew.
    std::vector<EditSession::Pending> takeUnsaved();
    void putBack(std::vector<EditSession::Pending> unsaved);

signals:
    void commandsChanged();
    void tipWanted(TipMode mode);
    void unsavedChanged(int count);
    // A memo was stored: the step from before to after.
    void stepTaken(const QString &name, const MemoRows &before, const MemoRows &after);
    // Another process changed or deleted this memo while it was being edited.
    void changedOutside(const QString &mid);

private:
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

    MemoTree &m_tree;
    MemoStore &m_store;
    EditSession *m_session;
    TreeNode *m_editNode = nullptr;
    QPoint m_mouse;
    bool m_storing = false; // a commit is writing its memo
};
