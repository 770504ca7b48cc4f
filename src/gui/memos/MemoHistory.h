// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QObject>
#include <QSet>
#include <QUndoStack>
#include <functional>

class MemoCommand;
class MemoStore;
class QAction;

// Taking memo commands back and doing them again. The history lasts for the session and
// keeps the newest steps within a count and a size of memo text; steps that changed the
// database behind the list cannot be replayed over it, so a reload clears it. Every change of
// the stack goes through here, so the Undo and Redo actions follow it without a connection
// to the stack.
class MemoHistory : public QObject {
    Q_OBJECT
public:
    // idle: no edit is open (the editor keeps its own undo for the text being typed).
    MemoHistory(MemoStore &store, std::function<bool()> idle, QObject *parent);

    QAction *undoAction() const { return m_undoAction; }
    QAction *redoAction() const { return m_redoAction; }
    const QUndoStack &steps() const { return m_steps; }

    // Stores the step's database side, all or nothing, then moves the stack and the list.
    // False when there is no such step or the database refused it (the user is told).
    bool takeStep(bool back);
    // A command that has been carried out; the oldest steps go beyond the bounds.
    void record(MemoCommand *command);
    void clear();
    // Another process changed these memos: a step that names one of them cannot be taken
    // back or again over that, and the history ends.
    void endStepsOver(const QSet<QString> &mids);
    void refreshActions();

private:
    const MemoCommand *step(int index) const;

    MemoStore &m_store;
    std::function<bool()> m_idle;
    QAction *m_undoAction;
    QAction *m_redoAction;
    QUndoStack m_steps;
};
