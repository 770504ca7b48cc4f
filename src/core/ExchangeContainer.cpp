// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/ExchangeContainer.h"
#include "core/SaveFile.h"
#include "core/ParallelDeflate.h"
#include <QCoreApplication>
#include <QFile>
#include <QtEndian>
#include <zlib.h>

namespace ExchangeContainer {

namespace {

constexpr qsizetype kHeaderSize = 8;
// Deflate cannot shrink data by more than about 1:1032, so a stream of n bytes never
// holds more than this many times n; a length field beyond it is a lie.
constexpr qint64 kMaxRatio = 1100;
// Output is taken from zlib in pieces of this size, with a progress call after each.
constexpr qsizetype kPiece = 1 << 20;

// Frees the decompressor however the work ends.
struct InflateStream {
    z_stream stream{};
    bool ready = false;
    ~InflateStream()
    {
        if (ready)
            inflateEnd(&stream);
    }
};

} // namespace

QByteArray compress(const QByteArray &text, const ProgressFn &progress)
{
    Deflater deflater(progress);
    deflater.write(text.constData(), text.size());
    return deflater.finishContainer();
}

QByteArray decompress(const QByteArray &file, const ProgressFn &progress)
{
    if (file.size() < kHeaderSize + 2)
        throw Error(QCoreApplication::translate("ExchangeContainer", "The file is too short to be an exchange file").toStdString());
    const qint64 length = qFromLittleEndian<qint64>(file.constData());
    const qint64 streamSize = file.size() - kHeaderSize;
    if (length <= 0 || length > kMaxTextSize || length > streamSize * kMaxRatio)
        throw Error(QCoreApplication::translate("ExchangeContainer", "The exchange file's length field does not fit its content").toStdString());

    InflateStream inflater;
    if (inflateInit(&inflater.stream) != Z_OK)
        throw Error(QCoreApplication::translate("ExchangeContainer", "Unable to start the decompressor").toStdString());
    inflater.ready = true;
    inflater.stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(file.constData() + kHeaderSize));
    inflater.stream.avail_in = uInt(streamSize);
    // The buffer grows with what the stream really yields, never straight to the claimed length.
    QByteArray text;
    qint64 produced = 0;
    for (;;) {
        const qint64 capacity = qMin(length, qMax<qint64>(2 * produced, kPiece));
        if (capacity > text.size())
            text.resize(qsizetype(capacity));
        inflater.stream.next_out = reinterpret_cast<Bytef *>(text.data() + produced);
        inflater.stream.avail_out = uInt(qMin<qint64>(capacity - produced, kPiece));
        const int rc = inflate(&inflater.stream, Z_NO_FLUSH);
        produced = qint64(inflater.stream.total_out);
        if (produced == length)
            break;
        if (rc == Z_STREAM_END || (rc != Z_OK && rc != Z_BUF_ERROR) || (rc == Z_BUF_ERROR && inflater.stream.avail_in == 0))
            throw Error(QCoreApplication::translate("ExchangeContainer", "The exchange file's data is damaged or shorter than its length field says").toStdString());
        if (progress)
            progress(produced);
    }
    // The stream must end right here with its checksum: one flipped bit would otherwise pass
    // as altered text, and a cut-off file as a whole one.
    char beyond = 0;
    int rc = Z_OK;
    while (rc == Z_OK && qint64(inflater.stream.total_out) == length) {
        inflater.stream.next_out = reinterpret_cast<Bytef *>(&beyond);
        inflater.stream.avail_out = 1;
        rc = inflate(&inflater.stream, Z_NO_FLUSH);
    }
    if (rc != Z_STREAM_END || qint64(inflater.stream.total_out) != length)
        throw Error(QCoreApplication::translate("ExchangeContainer", "The exchange file's data is damaged or does not match its length field").toStdString());
    return text;
}

void writeFile(const QString &fileName, const QByteArray &text, const ProgressFn &progress)
{
    writeBytes(fileName, compress(text, progress));
}

void writeBytes(const QString &fileName, const QByteArray &bytes)
{
    if (!writeWholeFile(fileName, bytes))
        throw Error(QCoreApplication::translate("ExchangeContainer", "Unable to write %1").arg(fileName).toStdString());
}

QByteArray readFile(const QString &fileName, const ProgressFn &progress)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QCoreApplication::translate("ExchangeContainer", "Unable to read %1: %2").arg(fileName, file.errorString()).toStdString());
    const qint64 size = file.size();
    if (size > kMaxFileSize)
        throw Error(QCoreApplication::translate("ExchangeContainer", "The file is too large to be an exchange file").toStdString());
    const QByteArray bytes = file.readAll();
    if (bytes.size() != size)
        throw Error(QCoreApplication::translate("ExchangeContainer", "Unable to read %1: %2").arg(fileName, file.errorString()).toStdString());
    return decompress(bytes, progress);
}

} // namespace ExchangeContainer
