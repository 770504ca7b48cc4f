// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/VersionInfo.h"
#include "core/VersionBlock.h"
#include <QCoreApplication>
#include <QFileInfo>

namespace {

// The names the block keeps the fields under, in VersionField's order.
const char *const kFieldNames[VersionInfo::kFieldCount] = {
    "CompanyName",      "FileDescription",  "FileVersion", "InternalName",   "LegalCopyright",
    "LegalTrademarks",  "OriginalFilename", "ProductName", "ProductVersion", "Comments",
};

QString ownModulePath()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationFilePath();
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
}

} // namespace

// The file is read when a value is first asked for: finding the block means reading into
// the program's file, which start-up need not wait for.
VersionInfo::VersionInfo(QObject *owner) : QObject(owner), m_filePath(ownModulePath()) {}

void VersionInfo::setFilePath(const QString &path)
{
    const QString wanted = path.isEmpty() ? ownModulePath() : path;
    if (wanted == m_filePath)
        return;
    m_filePath = wanted;
    Values.clear();
}

void VersionInfo::readInfo()
{
    Values = readValues();
}

QStringList VersionInfo::readValues() const
{
    QStringList values;
    const std::optional<VersionBlock> block = VersionBlock::readFromFile(m_filePath);
    if (!block) {
        for (int i = 0; i < kFieldCount; ++i)
            values << kNotAvailable;
    } else {
        // The first translation names the string table: language, then code page.
        QString language, codePage;
        if (const std::optional<QString> translation = block->query(QStringLiteral("\\VarFileInfo\\Translation"))) {
            const QString first = translation->section(QLatin1Char(' '), 0, 0);
            language = first.left(4);
            codePage = first.mid(4, 4);
        }
        const QString prefix = QStringLiteral("StringFileInfo\\") + language + codePage + QLatin1Char('\\');
        for (const char *name : kFieldNames)
            values << block->query(prefix + QLatin1String(name)).value_or(QString());
    }
    return values;
}

QString VersionInfo::value(VersionField field) const
{
    if (Values.isEmpty())
        Values = readValues();
    return Values.at(int(field));
}
