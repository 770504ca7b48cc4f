// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/ExchangeCommands.h"
#include "gui/MainWindow.h"
#include "gui/Prompts.h"
#include "core/VersionInfo.h"
#include "core/DatabaseBackup.h"
#include "gui/ProgressDialog.h"
#include "core/XmlNavigator.h"

ExchangeCommands::ExchangeCommands(MainWindow *mainWindow, MemoStore &store)
    : QObject(mainWindow),
      //: A file type; the patterns in brackets stay as they are.
      m_openDialog(FileRequest::Kind::Open, {tr("Korvel Database, (*.kvx)")}, QStringLiteral("kvx")),
      m_mainWindow(mainWindow), m_store(store)
{
}

ExchangeCommands::~ExchangeCommands() = default;

bool ExchangeCommands::backupDatabase()
{
    if (!m_mainWindow->exportDialog().execute())
        return false;
    ProgressDialog progress(tr("Backing up the database..."), 0);
    XmlNavigator xml;
    buildDatabaseBackup(xml, m_store, m_mainWindow->versionInfo()->fileVersion(),
                        [&progress](qint64 done) { progress.step(done); });

    try {
        xml.saveToFile(m_mainWindow->exportDialog().fileName(), [&progress](qint64 written) { progress.step(written); });
    } catch (const std::exception &) {
        errorBox(tr("File write failure!"));
        return false;
    }
    return true;
}
