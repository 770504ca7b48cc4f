// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CliDataFolder.h"
#include "cli/CliFailure.h"
#include "core/ProgramFolder.h"
#include "core/SettingsFile.h"
#include "core/SettingsKeys.h"
#include "core/VersionInfo.h"
#include <QCoreApplication>
#include <cstdio>

CliDataFolder::CliDataFolder(const QString &dataDir) : m_folder(resolveProgramFolder(dataDir))
{
    createProgramFolder(m_folder);
    m_database.open(databasePath(m_folder));
}

SettingsFile CliDataFolder::settings() const
{
    return SettingsFile(settingsPath(m_folder));
}

bool CliDataFolder::ascending() const
{
    return kViewAscEn.read(settings());
}

void writeOut(const QByteArray &bytes)
{
    if (std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) != size_t(bytes.size()) || std::fflush(stdout) != 0)
        throw CliFailure(QCoreApplication::translate("Cli", "Unable to write to standard output."));
}

QString programVersion()
{
    return VersionInfo().fileVersion();
}
