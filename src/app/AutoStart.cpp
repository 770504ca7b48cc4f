#include "app/AutoStart.h"
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

// Quoted as desktop entries want it, so that a path with blanks stays one argument.
QString ExecArgument(const QString &path)
{
    QString quoted = path;
    for (const char *special : {"\\", "\"", "`", "$"})
        quoted.replace(QLatin1String(special), QLatin1Char('\\') + QLatin1String(special));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

} // namespace

QString AutoStartFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
           + QStringLiteral("/autostart/korvel-jotwell.desktop");
}

bool IsAutoStart()
{
    return QFile::exists(AutoStartFile());
}

void SetAutoStart(bool enable)
{
    const QString file = AutoStartFile();
    if (!enable) {
        QFile::remove(file);
        return;
    }
    if (QFile::exists(file))
        return;
    // A desktop without an autostart folder gets one: that is where sessions look.
    QDir().mkpath(QFileInfo(file).absolutePath());
    QSaveFile entry(file);
    if (!entry.open(QIODevice::WriteOnly))
        return;
    entry.write(QStringLiteral("[Desktop Entry]\n"
                               "Type=Application\n"
                               "Name=Korvel Jotwell\n"
                               "Comment=Memo keeper\n"
                               "Exec=%1\n"
                               "Terminal=false\n"
                               "X-GNOME-Autostart-enabled=true\n")
                    .arg(ExecArgument(QCoreApplication::applicationFilePath()))
                    .toUtf8());
    entry.commit();
}
