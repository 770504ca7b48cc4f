// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <memory>
#include <QString>

class MainWindow;
class CommonActions;
class ExchangeCommands;
class MemoPaneWatch;

// The program's windows and modules, created in their order: the main window first, then
// the modules that serve it.
class Program {
public:
    explicit Program(const QString &programFolder);
    ~Program();
    MainWindow &mainWindow() const { return *m_mainWindow; }
    ExchangeCommands &exchangeCommands() const { return *m_exchangeCommands; }
    CommonActions &commonActions() const { return *m_commonActions; }
    // Reloads the memo list after outside changes; its outsideChangeReloaded() tells of each.
    MemoPaneWatch &paneWatch() const { return *m_paneWatch; }

private:
    std::unique_ptr<MainWindow> m_mainWindow;
    ExchangeCommands *m_exchangeCommands;         // owned by the main window
    CommonActions *m_commonActions; // owned by the main window
    MemoPaneWatch *m_paneWatch;     // owned by the main window
};
