// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/SettingsFile.h"
#include "core/FileAccess.h"
#include "core/SaveFile.h"
#include <QByteArrayList>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <stdexcept>

namespace {

// The file is handled as bytes, one entry per line with its own line break, so that lines the
// program does not change are written back exactly as they were, whatever their encoding.
QByteArrayList readLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    QByteArrayList lines;
    qsizetype start = 0;
    while (start < bytes.size()) {
        const qsizetype end = bytes.indexOf('\n', start);
        const qsizetype next = end < 0 ? bytes.size() : end + 1;
        lines << bytes.mid(start, next - start);
        start = next;
    }
    return lines;
}

// A line without its line break (and a leading byte-order mark), as text for matching.
QString lineText(const QByteArray &line)
{
    QByteArray content = line;
    while (content.endsWith('\n') || content.endsWith('\r'))
        content.chop(1);
    if (content.startsWith("\xEF\xBB\xBF"))
        content.remove(0, 3);
    return QString::fromUtf8(content);
}

QByteArray lineBreakOf(const QByteArray &line)
{
    return line.endsWith("\r\n") ? QByteArray("\r\n") : line.endsWith('\n') ? QByteArray("\n") : QByteArray();
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

// Puts a new line at index at, ending the line before it first if the file ended without a
// line break.
void insertLine(QByteArrayList &lines, qsizetype at, const QByteArray &line)
{
    if (at > 0 && lineBreakOf(lines[at - 1]).isEmpty())
        lines[at - 1] += "\r\n";
    lines.insert(at, line + "\r\n");
}

// The file with key set to entry in section, every other line as it was.
QByteArray withEntry(QByteArrayList lines, const QString &section, const QString &key, const QByteArray &entry)
{
    qsizetype sectionStart = -1;
    qsizetype insertAt = -1;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString text = lineText(lines[i]);
        QString name, entryKey, entryValue;
        if (isSectionHeader(text, &name)) {
            if (sectionStart >= 0)
                break;
            if (name.compare(section, Qt::CaseInsensitive) == 0)
                sectionStart = insertAt = i + 1;
        } else if (sectionStart >= 0) {
            if (splitEntry(text, entryKey, entryValue) && entryKey.compare(key, Qt::CaseInsensitive) == 0) {
                lines[i] = entry + lineBreakOf(lines[i]);
                return lines.join();
            }
            if (!text.trimmed().isEmpty())
                insertAt = i + 1;
        }
    }
    if (sectionStart >= 0) {
        insertLine(lines, insertAt, entry);
    } else {
        if (!lines.isEmpty() && !lineText(lines.last()).trimmed().isEmpty())
            insertLine(lines, lines.size(), QByteArray());
        insertLine(lines, lines.size(), '[' + section.toUtf8() + ']');
        insertLine(lines, lines.size(), entry);
    }
    return lines.join();
}

SettingsAction *gCurrentAction = nullptr;

} // namespace

QString SettingsFile::readString(const QString &section, const QString &key, const QString &defaultValue) const
{
    bool inSection = false;
    for (const QByteArray &line : readLines(m_path)) {
        const QString text = lineText(line);
        QString name, entryKey, value;
        if (isSectionHeader(text, &name))
            inSection = name.compare(section, Qt::CaseInsensitive) == 0;
        else if (inSection && splitEntry(text, entryKey, value) && entryKey.compare(key, Qt::CaseInsensitive) == 0)
            return value;
    }
    return defaultValue;
}

bool SettingsFile::readBool(const QString &section, const QString &key, bool defaultValue) const
{
    return readInteger(section, key, defaultValue ? 1 : 0) != 0;
}

qint64 SettingsFile::readInteger(const QString &section, const QString &key, qint64 defaultValue) const
{
    bool ok = false;
    const qint64 value = readString(section, key).toLongLong(&ok);
    return ok ? value : defaultValue;
}

bool SettingsFile::writeString(const QString &section, const QString &key, const QString &value) const
{
    const QByteArray bytes = withEntry(readLines(m_path), section, key, (key + QLatin1Char('=') + value).toUtf8());
    // A settings file or folder marked read-only stays untouched.
    const bool written = !isMarkedReadOnly(m_path) && !isMarkedReadOnly(QFileInfo(m_path).absolutePath())
                         && writeWholeFile(m_path, bytes);
    if (written)
        return true;
    const QString failure = QCoreApplication::translate("SettingsFile", "Unable to write to %1").arg(m_path);
    if (!SettingsAction::record(failure))
        throw std::runtime_error(failure.toStdString());
    return false;
}

bool SettingsFile::writeBool(const QString &section, const QString &key, bool value) const
{
    return writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

bool SettingsFile::writeInteger(const QString &section, const QString &key, qint64 value) const
{
    return writeString(section, key, QString::number(value));
}

SettingsAction::SettingsAction() : m_outer(gCurrentAction)
{
    gCurrentAction = this;
}

SettingsAction::~SettingsAction()
{
    gCurrentAction = m_outer;
}

void SettingsAction::raiseFailure() const
{
    if (failed())
        throw std::runtime_error(m_failure.toStdString());
}

bool SettingsAction::record(const QString &failure)
{
    if (!gCurrentAction)
        return false;
    if (gCurrentAction->m_failure.isEmpty())
        gCurrentAction->m_failure = failure;
    return true;
}
