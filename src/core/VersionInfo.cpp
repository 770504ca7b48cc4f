#include "core/VersionInfo.h"
#include "core/VersionBlock.h"
#include <QCoreApplication>
#include <QFileInfo>
#include <stdexcept>

const char *const VersionInfo::ValueNames[10] = {
    "CompanyName",      "FileDescription",  "FileVersion", "InternalName",   "LegalCopyright",
    "LegalTrademarks",  "OriginalFilename", "ProductName", "ProductVersion", "Comments",
};

namespace {

QString ownModulePath()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationFilePath();
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
}

} // namespace

VersionInfo::VersionInfo(QObject *owner) : QObject(owner)
{
    readInfo();
}

void VersionInfo::setFilePath(const QString &path)
{
    if (path == m_filePath)
        return;
    m_filePath = path;
    readInfo();
}

void VersionInfo::readInfo()
{
    if (m_filePath.isEmpty())
        m_filePath = ownModulePath();
    QStringList values;
    const std::optional<VersionBlock> block = VersionBlock::readFromFile(m_filePath);
    if (!block) {
        for (int i = 0; i < 10; ++i)
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
        for (const char *name : ValueNames)
            values << block->query(prefix + QLatin1String(name)).value_or(QString());
    }
    Values = values;
}

QString VersionInfo::getValue(int Index) const
{
    if (Index < 0 || Index >= Values.size())
        throw std::out_of_range(QCoreApplication::translate("VersionInfo", "List index out of bounds (%1)").arg(Index).toStdString());
    return Values.at(Index);
}
