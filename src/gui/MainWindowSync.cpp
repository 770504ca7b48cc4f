// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's share in sync: the runner, what holds its rounds off, and its status panel.
#include "gui/MainWindow.h"
#include "gui/MemoPane.h"
#include "gui/SyncRunner.h"

void MainWindow::createSyncRunner()
{
    m_syncRunner = new SyncRunner(this);
    // A merge waits while the user types: the editor's text is never written over, and the
    // list takes the merge in once the edit has ended.
    m_syncRunner->setHoldOff([this] { return m_memoPane && m_memoPane->isEditing(); });
    connect(m_syncRunner, &SyncRunner::statusChanged, this, &MainWindow::showSyncStatus);
}

void MainWindow::showSyncStatus()
{
    if (!m_memoPane)
        return; // the pane shows it once it is made
    m_memoPane->showSyncStatus(m_syncRunner->statusText(), m_syncRunner->statusDetail());
}
