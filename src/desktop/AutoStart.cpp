#include "desktop/AutoStart.h"
#include "core/ProgramFolder.h"
#include "core/SaveFile.h"
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <stdexcept>

namespace {

// One argument of Exec, quoted as desktop entries want it, so that a path with blanks or
// quotes stays one argument.
QString execArgument(const QString &argument)
{
    QString quoted = argument;
    for (const char *special : {"\\", "\"", "`", "$"})
        quoted.replace(QLatin1String(special), QLatin1Char('\\') + QLatin1String(special));
    // A lone % would be taken for a field code.
    quoted.replace(QLatin1Char('%'), QLatin1String("%%"));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

// The value as a desktop entry's string: its backslashes and line breaks escaped once more.
QString entryString(QString value)
{
    value.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    value.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    value.replace(QLatin1Char('\r'), QLatin1String("\\r"));
    value.replace(QLatin1Char('\t'), QLatin1String("\\t"));
    return value;
}

QString execLine(const QString &programFolder)
{
    QString exec = execArgument(QCoreApplication::applicationFilePath());
    if (QDir::cleanPath(programFolder) != QDir::cleanPath(defaultProgramFolder()))
        exec += QStringLiteral(" --data-dir ") + execArgument(QDir::cleanPath(programFolder));
    return entryString(exec);
}

// Whether the entry's main group switches it off, as desktops do to keep an entry but not
// start it.
bool switchedOff(const QString &file)
{
    QFile entry(file);
    if (!entry.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    bool inMainGroup = false;
    while (!entry.atEnd()) {
        const QString line = QString::fromUtf8(entry.readLine()).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inMainGroup = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (!inMainGroup || equals < 0)
            continue;
        const QString key = line.left(equals).trimmed();
        const QString value = line.mid(equals + 1).trimmed();
        if ((key == QLatin1String("Hidden") && value == QLatin1String("true"))
            || (key == QLatin1String("X-GNOME-Autostart-enabled") && value == QLatin1String("false")))
            return true;
    }
    return false;
}

} // namespace

QString autoStartFile()
{
    return QDir::cleanPath(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
                           + QStringLiteral("/autostart/korvel-jotwell.desktop"));
}

bool isAutoStart()
{
    const QString file = autoStartFile();
    return QFile::exists(file) && !switchedOff(file);
}

void setAutoStart(bool enable, const QString &programFolder)
{
    const QString file = autoStartFile();
    if (!enable) {
        QFile::remove(file);
        return;
    }
    if (isAutoStart())
        return;
    // A desktop without an autostart folder gets one: that is where sessions look.
    QDir().mkpath(QFileInfo(file).absolutePath());
    const QString entry = QStringLiteral("[Desktop Entry]\n"
                                         "Type=Application\n"
                                         "Name=Korvel Jotwell\n"
                                         "Comment=Memo keeper\n"
                                         "Exec=%1\n"
                                         "Terminal=false\n"
                                         "X-GNOME-Autostart-enabled=true\n")
                              .arg(execLine(programFolder));
    if (!writeWholeFile(file, entry.toUtf8()))
        throw std::runtime_error(QStringLiteral("Unable to write to %1").arg(file).toStdString());
}
