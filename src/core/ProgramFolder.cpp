// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/ProgramFolder.h"
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <stdexcept>

namespace {

const QString kDatabaseFile = QStringLiteral("kvData.kvb");
const QString kSettingsFile = QStringLiteral("kvConf.ini");

QString withSeparator(const QString &folder)
{
    const QString clean = QDir::cleanPath(QDir(folder).absolutePath());
    return clean.endsWith(QLatin1Char('/')) ? clean : clean + QLatin1Char('/');
}

} // namespace

QString resolveProgramFolder(const QString &dataDirOption)
{
    if (!dataDirOption.isEmpty())
        return withSeparator(dataDirOption);
    const QString fromEnvironment = qEnvironmentVariable("JOTWELL_DATA_DIR");
    if (!fromEnvironment.isEmpty())
        return withSeparator(fromEnvironment);
    return defaultProgramFolder();
}

QString defaultProgramFolder()
{
    const QString executableFolder = QCoreApplication::applicationDirPath();
    if (!executableFolder.isEmpty() && QFileInfo::exists(databasePath(withSeparator(executableFolder))))
        return withSeparator(executableFolder);
    return withSeparator(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
                         + QLatin1String("/korvel-jotwell"));
}

void createProgramFolder(const QString &folder)
{
    if (!QDir().mkpath(folder))
        throw std::runtime_error(QCoreApplication::translate("ProgramFolder", "Unable to create the data folder %1").arg(folder).toStdString());
}

QString databasePath(const QString &programFolder)
{
    return programFolder + kDatabaseFile;
}

QString settingsPath(const QString &programFolder)
{
    return programFolder + kSettingsFile;
}

QCommandLineOption dataDirOption()
{
    return QCommandLineOption(QStringLiteral("data-dir"),
                              QCoreApplication::translate("ProgramFolder", "Keep the memos and settings in DIR."),
                              QStringLiteral("DIR"));
}
