#include "components/KvVersionInfo.h"
#include "components/KvVersionBlock.h"
#include <QCoreApplication>
#include <QFileInfo>
#include <stdexcept>

const char *const TKvVersionInfo::ValueNames[10] = {
    "CompanyName",      "FileDescription",  "FileVersion", "InternalName",   "LegalCopyright",
    "LegalTrademarks",  "OriginalFilename", "ProductName", "ProductVersion", "Comments",
};

namespace {

QString OwnModulePath()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationFilePath();
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
}

} // namespace

TKvVersionInfo::TKvVersionInfo(QObject *owner) : QObject(owner)
{
    ReadInfo();
}

void TKvVersionInfo::SetFilePath(const QString &path)
{
    if (path == FFilePath)
        return;
    FFilePath = path;
    ReadInfo();
}

void TKvVersionInfo::ReadInfo()
{
    if (FFilePath.isEmpty())
        FFilePath = OwnModulePath();
    QStringList values;
    const std::optional<KvVersionBlock> block = KvVersionBlock::ReadFromFile(FFilePath);
    if (!block) {
        for (int i = 0; i < 10; ++i)
            values << NotAvailable;
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

QString TKvVersionInfo::GetValue(int Index) const
{
    if (Index < 0 || Index >= Values.size())
        throw std::out_of_range(QStringLiteral("List index out of bounds (%1)").arg(Index).toStdString());
    return Values.at(Index);
}
