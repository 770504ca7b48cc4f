#include "core/ProgramFolder.h"
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <stdexcept>

namespace {

QString withSeparator(const QString &folder)
{
    const QString clean = QDir::cleanPath(QDir(folder).absolutePath());
    return clean.endsWith(QLatin1Char('/')) ? clean : clean + QLatin1Char('/');
}

} // namespace

QString resolveProgramFolder(const QStringList &arguments)
{
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (argument == QLatin1String("--data-dir") && i + 1 < arguments.size())
            return withSeparator(arguments[i + 1]);
        if (argument.startsWith(QLatin1String("--data-dir=")))
            return withSeparator(argument.mid(int(qstrlen("--data-dir="))));
    }
    const QString fromEnvironment = qEnvironmentVariable("JOTWELL_DATA_DIR");
    if (!fromEnvironment.isEmpty())
        return withSeparator(fromEnvironment);
    return defaultProgramFolder();
}

QString defaultProgramFolder()
{
    const QString executableFolder = QCoreApplication::applicationDirPath();
    if (!executableFolder.isEmpty() && QFileInfo::exists(executableFolder + QLatin1String("/kvData.kvb")))
        return withSeparator(executableFolder);
    return withSeparator(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
                         + QLatin1String("/korvel-jotwell"));
}

void createProgramFolder(const QString &folder)
{
    if (!QDir().mkpath(folder))
        throw std::runtime_error(QCoreApplication::translate("ProgramFolder", "Unable to create the data folder %1").arg(folder).toStdString());
}
