#include "app/KvIniFile.h"
#include "components/KvFileAccess.h"
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>
#include <QStringList>
#include <stdexcept>

namespace {

QStringList readLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QString text = QString::fromUtf8(file.readAll());
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

bool isSectionHeader(const QString &line, QString *name = nullptr)
{
    const QString trimmed = line.trimmed();
    if (!trimmed.startsWith(QLatin1Char('[')) || !trimmed.endsWith(QLatin1Char(']')))
        return false;
    if (name)
        *name = trimmed.mid(1, trimmed.size() - 2).trimmed();
    return true;
}

// Splits "key=value"; false for comments and lines without "=".
bool splitEntry(const QString &line, QString &key, QString &value)
{
    const QString trimmed = line.trimmed();
    if (trimmed.startsWith(QLatin1Char(';')) || trimmed.startsWith(QLatin1Char('#')))
        return false;
    const qsizetype eq = trimmed.indexOf(QLatin1Char('='));
    if (eq <= 0)
        return false;
    key = trimmed.left(eq).trimmed();
    value = trimmed.mid(eq + 1).trimmed();
    return true;
}

} // namespace

QString KvIniFile::readString(const QString &section, const QString &key, const QString &defaultValue) const
{
    bool inSection = false;
    for (const QString &line : readLines(FPath)) {
        QString name, entryKey, value;
        if (isSectionHeader(line, &name))
            inSection = name.compare(section, Qt::CaseInsensitive) == 0;
        else if (inSection && splitEntry(line, entryKey, value) && entryKey.compare(key, Qt::CaseInsensitive) == 0)
            return value;
    }
    return defaultValue;
}

bool KvIniFile::readBool(const QString &section, const QString &key, bool defaultValue) const
{
    return readInteger(section, key, defaultValue ? 1 : 0) != 0;
}

qint64 KvIniFile::readInteger(const QString &section, const QString &key, qint64 defaultValue) const
{
    bool ok = false;
    const qint64 value = readString(section, key).toLongLong(&ok);
    return ok ? value : defaultValue;
}

void KvIniFile::writeString(const QString &section, const QString &key, const QString &value) const
{
    QStringList lines = readLines(FPath);
    const QString entry = key + QLatin1Char('=') + value;
    qsizetype sectionStart = -1;
    qsizetype insertAt = -1;
    bool done = false;
    for (qsizetype i = 0; i < lines.size() && !done; ++i) {
        QString name, entryKey, entryValue;
        if (isSectionHeader(lines[i], &name)) {
            if (sectionStart >= 0)
                break;
            if (name.compare(section, Qt::CaseInsensitive) == 0)
                sectionStart = insertAt = i + 1;
        } else if (sectionStart >= 0) {
            if (splitEntry(lines[i], entryKey, entryValue)) {
                if (entryKey.compare(key, Qt::CaseInsensitive) == 0) {
                    lines[i] = entry;
                    done = true;
                }
            }
            if (!lines[i].trimmed().isEmpty())
                insertAt = i + 1;
        }
    }
    if (!done) {
        if (sectionStart < 0) {
            if (!lines.isEmpty() && !lines.last().trimmed().isEmpty())
                lines << QString();
            lines << QLatin1Char('[') + section + QLatin1Char(']') << entry;
        } else {
            lines.insert(insertAt, entry);
        }
    }

    // A settings file or folder marked read-only stays untouched.
    const QFileInfo info(FPath);
    QSaveFile file(FPath);
    bool written = !IsMarkedReadOnly(FPath) && !IsMarkedReadOnly(info.absolutePath()) && file.open(QIODevice::WriteOnly);
    if (written) {
        file.write(lines.join(QLatin1String("\r\n")).toUtf8() + "\r\n");
        written = file.commit();
    }
    // Said once per file: a read-only settings folder must not bring a box at every click.
    static QSet<QString> reported;
    if (written)
        reported.remove(FPath);
    else if (!reported.contains(FPath)) {
        reported.insert(FPath);
        throw std::runtime_error(QStringLiteral("Unable to write to %1").arg(FPath).toStdString());
    }
}

void KvIniFile::writeBool(const QString &section, const QString &key, bool value) const
{
    writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void KvIniFile::writeInteger(const QString &section, const QString &key, qint64 value) const
{
    writeString(section, key, QString::number(value));
}
