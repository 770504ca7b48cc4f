// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/memos/MemoHistory.h"
#include "gui/memos/MemoCommands.h"
#include "gui/NamedAction.h"
#include "gui/Prompts.h"
#include <QAction>
#include <vector>

namespace {

// The history keeps the newest steps that fit both bounds.
constexpr int kHistorySteps = 100;
constexpr qint64 kHistoryTextBytes = 50 * 1024 * 1024;

} // namespace

MemoHistory::MemoHistory(MemoStore &store, std::function<bool()> idle, QObject *parent)
    : QObject(parent), m_store(store), m_idle(std::move(idle)), m_undoAction(makeNamedAction(this, "undo", tr("&Undo"))),
      m_redoAction(makeNamedAction(this, "redo", tr("&Redo")))
{
    m_steps.setUndoLimit(kHistorySteps);
    m_undoAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    m_redoAction->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    refreshActions();
}

const MemoCommand *MemoHistory::step(int index) const
{
    return static_cast<const MemoCommand *>(m_steps.command(index));
}

void MemoHistory::refreshActions()
{
    const bool idle = m_idle();
    const QString undo = m_steps.undoText();
    const QString redo = m_steps.redoText();
    m_undoAction->setText(undo.isEmpty() ? tr("&Undo") : tr("&Undo %1").arg(undo));
    m_redoAction->setText(redo.isEmpty() ? tr("&Redo") : tr("&Redo %1").arg(redo));
    m_undoAction->setEnabled(idle && m_steps.canUndo());
    m_redoAction->setEnabled(idle && m_steps.canRedo());
}

bool MemoHistory::takeStep(bool back)
{
    const int at = back ? m_steps.index() - 1 : m_steps.index();
    if (at < 0 || at >= m_steps.count())
        return false;
    const MemoCommand *command = step(at);
    try {
        Transaction batch = m_store.allOrNothing();
        if (back)
            command->storeUndo(m_store);
        else
            command->storeRedo(m_store);
        batch.commit();
    } catch (const std::exception &error) {
        const QString name = back ? tr("Undo %1").arg(command->text()) : tr("Redo %1").arg(command->text());
        errorBox(tr("%1 failed: %2\nThe memos were left as they were.").arg(name, QString::fromUtf8(error.what())));
        return false;
    }
    if (back)
        m_steps.undo();
    else
        m_steps.redo();
    refreshActions();
    return true;
}

void MemoHistory::record(MemoCommand *command)
{
    m_steps.push(command);
    qint64 bytes = 0;
    for (int i = 0; i < m_steps.count(); ++i)
        bytes += step(i)->textBytes();
    if (bytes > kHistoryTextBytes) {
        // The stack cannot drop its oldest steps by size: it is built again from the newest
        // steps that fit (all of them on the undo side, as a push has just cleared the redo side).
        std::vector<MemoCommand *> kept;
        bytes = 0;
        for (int i = m_steps.count() - 1; i >= 0; --i) {
            bytes += step(i)->textBytes();
            if (bytes > kHistoryTextBytes)
                break;
            kept.push_back(step(i)->copy());
        }
        m_steps.clear();
        for (auto newest = kept.rbegin(); newest != kept.rend(); ++newest)
            m_steps.push(*newest);
    }
    refreshActions();
}

void MemoHistory::clear()
{
    m_steps.clear();
    refreshActions();
}

void MemoHistory::endStepsOver(const QSet<QString> &mids)
{
    for (int i = 0; i < m_steps.count(); ++i) {
        if (step(i)->touches(mids)) {
            clear();
            return;
        }
    }
}
