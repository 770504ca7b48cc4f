// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/VersionBlock.h"
#include "BuildVersion.h" // made by the build: KV_FILE_VERSION, KV_PRODUCT_VERSION
#include <QFile>

namespace {

// The block is plain text between two marker lines, one "name=value" line per value. The
// markers are kept here without their line ends and completed at run time, so that the
// only place in the program's file where a whole marker line appears is the block itself.
const char kBeginMarker[] = "[KvVersionBlock]";
const char kEndMarker[] = "[/KvVersionBlock]";
// A real block is a few hundred bytes; anything far larger is not one.
constexpr qsizetype kMaxBlockSize = 64 * 1024;

QByteArray markerLine(const char *marker)
{
    return QByteArray(marker) + '\n';
}

} // namespace

// The program's own block. It is never read through this symbol, only found in the file, so
// it has to be kept by the compiler and the linker.
__attribute__((used)) static const char kKvProgramVersionBlock[] =
    "[KvVersionBlock]\n"
    "\\VarFileInfo\\Translation=040904E4\n"
    "\\StringFileInfo\\040904E4\\CompanyName=https://www.korvel.example/jotwell/\n"
    "\\StringFileInfo\\040904E4\\FileDescription=Korvel Jotwell\n"
    "\\StringFileInfo\\040904E4\\FileVersion=" KV_FILE_VERSION "\n"
    "\\StringFileInfo\\040904E4\\InternalName=\n"
    "\\StringFileInfo\\040904E4\\LegalCopyright=\n"
    "\\StringFileInfo\\040904E4\\LegalTrademarks=\n"
    "\\StringFileInfo\\040904E4\\OriginalFilename=\n"
    "\\StringFileInfo\\040904E4\\ProductName=\n"
    "\\StringFileInfo\\040904E4\\ProductVersion=" KV_PRODUCT_VERSION "\n"
    "\\StringFileInfo\\040904E4\\Comments=\n"
    "[/KvVersionBlock]\n";

QString VersionBlock::key(const QString &name)
{
    QString key = name.toLower();
    if (key.startsWith(QLatin1Char('\\')))
        key.remove(0, 1);
    return key;
}

std::optional<QString> VersionBlock::query(const QString &name) const
{
    const auto found = m_values.constFind(key(name));
    if (found == m_values.constEnd())
        return std::nullopt;
    return *found;
}

QByteArray VersionBlock::encode(const QList<std::pair<QString, QString>> &values)
{
    QByteArray text = markerLine(kBeginMarker);
    for (const auto &[name, value] : values)
        text += name.toUtf8() + '=' + value.toUtf8() + '\n';
    return text + markerLine(kEndMarker);
}

std::optional<VersionBlock> VersionBlock::parse(const char *data, qsizetype size)
{
    const QByteArrayView text(data, qMin(size, kMaxBlockSize));
    const QByteArray end = markerLine(kEndMarker);
    VersionBlock block;
    qsizetype at = 0;
    while (at < text.size()) {
        const qsizetype lineEnd = text.indexOf('\n', at);
        if (lineEnd < 0)
            return std::nullopt;
        const QByteArrayView line = text.sliced(at, lineEnd + 1 - at);
        if (line == end)
            return block;
        const qsizetype equals = line.indexOf('=');
        if (equals <= 0)
            return std::nullopt;
        block.m_values.insert(key(QString::fromUtf8(line.first(equals))),
                             QString::fromUtf8(line.sliced(equals + 1).chopped(1)));
        at = lineEnd + 1;
    }
    return std::nullopt;
}

std::optional<VersionBlock> VersionBlock::readFromFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const qint64 size = file.size();
    const uchar *mapped = size > 0 ? file.map(0, size) : nullptr;
    if (!mapped)
        return std::nullopt;
    const QByteArrayView content(reinterpret_cast<const char *>(mapped), size);
    const QByteArray begin = markerLine(kBeginMarker);
    std::optional<VersionBlock> block;
    // A marker line followed by something that is not a block is passed over.
    for (qsizetype at = content.indexOf(begin); at >= 0 && !block; at = content.indexOf(begin, at + 1)) {
        const qsizetype start = at + begin.size();
        block = parse(content.data() + start, content.size() - start);
    }
    file.unmap(const_cast<uchar *>(mapped));
    return block;
}
