// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/MemoStore.h"
#include <QSet>
#include <QUndoCommand>
#include <memory>
#include <utility>
#include <vector>

class MemoSteps;
class TreeNode;

// A memo row as a step found or left it, with its place among its siblings in the tree.
struct PlacedMemo {
    MemoRow row;
    int index = -1;      // -1: last
    bool select = true;  // selected when a step brings it back (not a memo that only took others in)
};
using MemoRows = std::vector<PlacedMemo>;

// The stored rows of these memo nodes with their places in the tree (read by id: a node
// whose row is gone has none).
MemoRows placedRows(MemoStore &store, const std::vector<TreeNode *> &nodes);

// One memo command that can be taken back and done again. Its database side runs first, in
// one all-or-nothing transaction that the caller opens, and may throw; only once it has
// been stored does the stack move and the tree follow (undo() and redo()). The stack's
// redo() on push does nothing: the command has been carried out by then.
class MemoCommand : public QUndoCommand {
public:
    MemoCommand(MemoSteps &steps, const QString &name) : QUndoCommand(name), m_steps(steps) {}

    virtual void storeUndo(MemoStore &store) const = 0;
    virtual void storeRedo(MemoStore &store) const = 0;
    // Memo text kept in memory for the step, in bytes.
    virtual qint64 textBytes() const = 0;
    // The same step, for a history that keeps only its newest steps.
    virtual MemoCommand *copy() const = 0;
    // Whether the step names one of these memos: another process changed them, and taking
    // the step back or again would write over that.
    virtual bool touches(const QSet<QString> &mids) const = 0;

    void undo() final { showUndo(); }
    void redo() final
    {
        if (!std::exchange(m_carriedOut, false))
            showRedo();
    }

protected:
    virtual void showUndo() = 0;
    virtual void showRedo() = 0;
    MemoSteps &m_steps;

private:
    bool m_carriedOut = true;
};

// A step that changed a set of memo rows (and, for an import, added task rows). Taking it
// back puts the rows from before it in place and removes those it added; doing it again
// goes the other way.
class MemoRowsCommand : public MemoCommand {
public:
    struct Change {
        MemoRows before;
        MemoRows after;
        std::vector<TaskRow> addedTasks;
    };
    MemoRowsCommand(MemoSteps &steps, const QString &name, std::shared_ptr<const Change> change);

    void storeUndo(MemoStore &store) const override;
    void storeRedo(MemoStore &store) const override;
    qint64 textBytes() const override;
    MemoCommand *copy() const override;
    bool touches(const QSet<QString> &mids) const override;

protected:
    void showUndo() override;
    void showRedo() override;

private:
    std::shared_ptr<const Change> m_change;
};

// Expand All or Collapse All: the memos whose state it changed.
class ExpandAllCommand : public MemoCommand {
public:
    ExpandAllCommand(MemoSteps &steps, const QString &name, std::shared_ptr<const std::vector<QString>> mids,
                     bool expanded);

    void storeUndo(MemoStore &store) const override;
    void storeRedo(MemoStore &store) const override;
    qint64 textBytes() const override { return 0; }
    MemoCommand *copy() const override;
    bool touches(const QSet<QString> &mids) const override;

protected:
    void showUndo() override;
    void showRedo() override;

private:
    void write(MemoStore &store, bool expanded) const;
    std::shared_ptr<const std::vector<QString>> m_mids;
    bool m_expanded;
};
