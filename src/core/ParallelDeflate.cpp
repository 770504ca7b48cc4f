// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/ParallelDeflate.h"
#include "core/ExchangeContainer.h"
#include <QCoreApplication>
#include <QThread>
#include <QtEndian>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>
#include <zlib.h>

namespace ExchangeContainer {

namespace {

constexpr qsizetype kPiece = 1 << 20;
constexpr qsizetype kWindow = 32 * 1024;

struct Piece {
    QByteArray input;      // the window before the piece, then the piece itself
    qsizetype window = 0;
    qsizetype size = 0;
    bool last = false;
    QByteArray output;
    uLong adler = 1;
};

// Raw deflate of one piece at level 9, primed with its window; all but the last piece end
// with a sync flush, so the next one starts on a byte boundary.
bool deflatePiece(Piece &piece)
{
    z_stream stream{};
    if (deflateInit2(&stream, 9, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return false;
    struct End {
        z_stream &s;
        ~End() { deflateEnd(&s); }
    } end{stream};
    auto *bytes = reinterpret_cast<Bytef *>(piece.input.data());
    if (piece.window > 0 && deflateSetDictionary(&stream, bytes, uInt(piece.window)) != Z_OK)
        return false;
    // Room for the worst case plus the flush marker.
    const uLong room = deflateBound(&stream, uLong(piece.size)) + 64;
    piece.output.resize(qsizetype(room));
    stream.next_in = bytes + piece.window;
    stream.avail_in = uInt(piece.size);
    stream.next_out = reinterpret_cast<Bytef *>(piece.output.data());
    stream.avail_out = uInt(room);
    const int rc = deflate(&stream, piece.last ? Z_FINISH : Z_SYNC_FLUSH);
    if (piece.last ? rc != Z_STREAM_END : (rc != Z_OK || stream.avail_in != 0 || stream.avail_out == 0))
        return false;
    piece.output.truncate(qsizetype(stream.total_out));
    piece.adler = adler32(1, bytes + piece.window, uInt(piece.size));
    piece.input = QByteArray();
    return true;
}

} // namespace

struct Deflater::Work {
    std::function<void(qint64)> progress;
    // Filled on the calling thread; pieces are taken in order by the workers.
    QByteArray current;
    QByteArray window;
    qint64 total = 0;

    std::mutex mutex;
    std::condition_variable wake; // a piece is waiting, or the work ends
    std::condition_variable done; // a piece is compressed
    std::deque<Piece> pieces;     // stays put while growing at the end
    size_t taken = 0;
    size_t finished = 0;
    qint64 bytesDone = 0;
    bool closing = false;
    bool abandoned = false;
    bool failed = false;
    std::vector<std::thread> threads;

    void runWorker()
    {
        std::unique_lock<std::mutex> lock(mutex);
        for (;;) {
            wake.wait(lock, [this] { return abandoned || closing || taken < pieces.size(); });
            if (abandoned || taken >= pieces.size())
                return;
            Piece &piece = pieces[taken++];
            lock.unlock();
            const bool ok = deflatePiece(piece);
            lock.lock();
            ++finished;
            bytesDone += piece.size;
            failed = failed || !ok;
            done.notify_all();
        }
    }

    void stopWorkers(bool abandon)
    {
        {
            const std::lock_guard<std::mutex> lock(mutex);
            closing = true;
            abandoned = abandon;
        }
        wake.notify_all();
        for (std::thread &thread : threads)
            thread.join();
        threads.clear();
    }
};

Deflater::Deflater(std::function<void(qint64)> progress) : d(std::make_unique<Work>())
{
    d->progress = std::move(progress);
}

Deflater::~Deflater()
{
    // Reached without finishContainer() only when the work failed: no piece is wanted now.
    d->stopWorkers(true);
}

void Deflater::queue(const QByteArray &text, bool last)
{
    Piece piece;
    piece.window = d->window.size();
    piece.size = text.size();
    piece.input = d->window + text;
    piece.last = last;
    d->window = piece.input.right(kWindow);
    d->total += text.size();

    const int cores = QThread::idealThreadCount();
    if (cores <= 1 || (last && d->pieces.empty())) {
        // One core, or a text of one piece: no thread is worth starting.
        d->failed = d->failed || !deflatePiece(piece);
        d->pieces.push_back(std::move(piece));
        ++d->taken;
        ++d->finished;
        d->bytesDone += text.size();
        return;
    }
    {
        const std::lock_guard<std::mutex> lock(d->mutex);
        d->pieces.push_back(std::move(piece));
    }
    d->wake.notify_one();
    while (int(d->threads.size()) < cores)
        d->threads.emplace_back([work = d.get()] { work->runWorker(); });
}

void Deflater::write(const char *data, qsizetype size)
{
    // Refused before any of it is compressed: the reader would refuse the file.
    if (d->total + d->current.size() + size > kMaxTextSize)
        throw Error(QCoreApplication::translate("ParallelDeflate", "The text is too large for an exchange file").toStdString());
    d->current.append(data, size);
    if (d->current.size() < kPiece)
        return;
    qsizetype at = 0;
    for (; d->current.size() - at >= kPiece; at += kPiece)
        queue(d->current.mid(at, kPiece), false);
    d->current.remove(0, at);
    if (d->progress)
        d->progress(d->total);
}

QByteArray Deflater::finishContainer()
{
    queue(d->current, true);
    d->current.clear();
    if (!d->threads.empty()) {
        std::unique_lock<std::mutex> lock(d->mutex);
        d->closing = true;
        d->wake.notify_all();
        while (d->finished < d->pieces.size()) {
            d->done.wait_for(lock, std::chrono::milliseconds(50));
            if (d->progress) {
                const qint64 bytesDone = d->bytesDone;
                lock.unlock();
                d->progress(bytesDone);
                lock.lock();
            }
        }
        lock.unlock();
        d->stopWorkers(false);
    }
    if (d->failed)
        throw Error(QCoreApplication::translate("ParallelDeflate", "Unable to compress the exchange file").toStdString());

    qsizetype size = 8 + 2 + 4;
    for (const Piece &piece : d->pieces)
        size += piece.output.size();
    QByteArray file;
    file.reserve(size);
    char length[8];
    qToLittleEndian<qint64>(d->total, length);
    file.append(length, 8);
    // zlib header: deflate, 32 KiB window, level 9.
    file.append(char(0x78)).append(char(0xDA));
    uLong adler = 1;
    for (const Piece &piece : d->pieces) {
        file.append(piece.output);
        adler = adler32_combine(adler, piece.adler, z_off_t(piece.size));
    }
    char trailer[4];
    qToBigEndian<quint32>(quint32(adler), trailer);
    file.append(trailer, 4);
    return file;
}

} // namespace ExchangeContainer
