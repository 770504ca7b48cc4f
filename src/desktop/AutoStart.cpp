// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/AutoStart.h"
#include "core/ProgramFolder.h"
#include "core/SaveFile.h"
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
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

// The keys of the entry's main group; other groups (actions) do not speak for the entry.
QHash<QString, QString> mainGroup(const QString &file)
{
    QHash<QString, QString> keys;
    QFile entry(file);
    if (!entry.open(QIODevice::ReadOnly | QIODevice::Text))
        return keys;
    bool inMainGroup = false;
    while (!entry.atEnd()) {
        const QString line = QString::fromUtf8(entry.readLine()).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inMainGroup = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (inMainGroup && equals >= 0)
            keys.insert(line.left(equals).trimmed(), line.mid(equals + 1).trimmed());
    }
    return keys;
}

// Whether the entry's main group switches it off, as desktops do to keep an entry but not
// start it.
bool switchedOff(const QString &file)
{
    const QHash<QString, QString> keys = mainGroup(file);
    return keys.value(QStringLiteral("Hidden")) == QLatin1String("true")
           || keys.value(QStringLiteral("X-GNOME-Autostart-enabled")) == QLatin1String("false");
}

// Whether the entry starts this very program (with whatever folder), as the entries this
// program writes do.
bool startsThisProgram(const QString &file)
{
    const QString exec = mainGroup(file).value(QStringLiteral("Exec"));
    const QString path = QCoreApplication::applicationFilePath();
    // Older versions wrote the path without quotes.
    for (const QString &program : {entryString(execArgument(path)), path}) {
        if (exec == program || exec.startsWith(program + QLatin1Char(' ')))
            return true;
    }
    return false;
}

QString autoStartFolder()
{
    return QDir::cleanPath(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
                           + QStringLiteral("/autostart"));
}

} // namespace

QString autoStartFile()
{
    return autoStartFolder() + QStringLiteral("/org.korvel.Jotwell.desktop");
}

void adoptOldAutoStartEntry()
{
    const QString old = autoStartFolder() + QStringLiteral("/korvel-jotwell.desktop");
    if (!QFile::exists(old) || !startsThisProgram(old))
        return;
    // The old entry keeps its folder and its switched-off state under the new name; where both
    // are there, the new one is in force and the old one would start a second copy.
    if (!QFile::exists(autoStartFile()))
        QFile::rename(old, autoStartFile());
    else
        QFile::remove(old);
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
        throw std::runtime_error(QCoreApplication::translate("AutoStart", "Unable to write to %1").arg(file).toStdString());
}
