// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/Program.h"
#include "gui/CommonActions.h"
#include "gui/CommandErrors.h"
#include "gui/MainWindow.h"
#include "gui/ExchangeCommands.h"
#include "gui/MemoPaneWatch.h"
#include "gui/SyncRunner.h"

Program::Program(const QString &programFolder)
    : m_mainWindow(std::make_unique<MainWindow>(programFolder)), m_exchangeCommands(new ExchangeCommands(m_mainWindow.get(), m_mainWindow->memoStore())),
      m_commonActions(new CommonActions(m_mainWindow.get())), m_paneWatch(new MemoPaneWatch(m_mainWindow.get()))
{
    m_mainWindow->setExchangeCommands(m_exchangeCommands);
    m_mainWindow->setCommonActions(m_commonActions);
    // Changes from outside count from the moment a late database opened, as from the start.
    QObject::connect(m_mainWindow.get(), &MainWindow::databaseOpened, m_paneWatch,
                     reportingErrors([watch = m_paneWatch] { watch->check(); }));
    // What a sync round merged is in the list at once, not at the watch's next look.
    QObject::connect(m_mainWindow->syncRunner(), &SyncRunner::changesArrived, m_paneWatch,
                     reportingErrors([watch = m_paneWatch] { watch->check(); }));
}

Program::~Program() = default;
