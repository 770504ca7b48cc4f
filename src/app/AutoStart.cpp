#include "app/AutoStart.h"
#include "app/ProgramFolder.h"
#include "components/KvSaveFile.h"
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <stdexcept>

namespace {

// One argument of Exec, quoted as desktop entries want it, so that a path with blanks or
// quotes stays one argument.
QString ExecArgument(const QString &argument)
{
    QString quoted = argument;
    for (const char *special : {"\\", "\"", "`", "$"})
        quoted.replace(QLatin1String(special), QLatin1Char('\\') + QLatin1String(special));
    // A lone % would be taken for a field code.
    quoted.replace(QLatin1Char('%'), QLatin1String("%%"));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

// The value as a desktop entry's string: its backslashes and line breaks escaped once more.
QString EntryString(QString value)
{
    value.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    value.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    value.replace(QLatin1Char('\r'), QLatin1String("\\r"));
    value.replace(QLatin1Char('\t'), QLatin1String("\\t"));
    return value;
}

QString ExecLine(const QString &programFolder)
{
    QString exec = ExecArgument(QCoreApplication::applicationFilePath());
    if (QDir::cleanPath(programFolder) != QDir::cleanPath(DefaultProgramFolder()))
        exec += QStringLiteral(" --data-dir ") + ExecArgument(QDir::cleanPath(programFolder));
    return EntryString(exec);
}

// Whether the entry's main group switches it off, as desktops do to keep an entry but not
// start it.
bool SwitchedOff(const QString &file)
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

QString AutoStartFile()
{
    return QDir::cleanPath(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
                           + QStringLiteral("/autostart/korvel-jotwell.desktop"));
}

bool IsAutoStart()
{
    const QString file = AutoStartFile();
    return QFile::exists(file) && !SwitchedOff(file);
}

void SetAutoStart(bool enable, const QString &programFolder)
{
    const QString file = AutoStartFile();
    if (!enable) {
        QFile::remove(file);
        return;
    }
    if (IsAutoStart())
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
                              .arg(ExecLine(programFolder));
    if (!WriteWholeFile(file, entry.toUtf8()))
        throw std::runtime_error(QStringLiteral("Unable to write to %1").arg(file).toStdString());
}
