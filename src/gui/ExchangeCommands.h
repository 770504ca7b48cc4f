// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "gui/FileDialog.h"
#include <QObject>
#include <functional>
#include <memory>

class ExchangeReader;
class ProgressDialog;
class MemoStore;
class MainWindow;
class XmlNavigator;

// The exchange commands on the whole database: backup to an exchange file, restore from one
// (asking before replacing) and import (as new records). Each returns true when it ran to
// its end and reports its own failures.
class ExchangeCommands : public QObject {
    Q_OBJECT
public:
    ExchangeCommands(MainWindow *mainWindow, MemoStore &store);
    ~ExchangeCommands() override;

    bool backupDatabase();
    bool restoreDatabase();
    // atStart runs under the run's write lock, before its first record is stored.
    bool importFile(const std::function<void()> &atStart = {});
    // Whether the last restore or import got as far as storing records, also when it then
    // failed: the tree must be reloaded to show them.
    bool databaseChanged() const { return m_databaseChanged; }

    FileDialog m_openDialog;

private:
    // The chosen file loaded, and the run's progress; nullptr when cancelled or unreadable.
    std::unique_ptr<ProgressDialog> openExchangeFile(XmlNavigator &xml);
    bool readRecords(XmlNavigator &xml, ProgressDialog &progress, const QString &label,
                     const std::function<void(ExchangeReader &)> &run);

    MainWindow *m_mainWindow;
    MemoStore &m_store;
    bool m_databaseChanged = false;
};
