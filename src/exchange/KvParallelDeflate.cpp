#include "exchange/KvParallelDeflate.h"
#include "exchange/KvContainer.h"
#include <QThread>
#include <QtEndian>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>
#include <zlib.h>

namespace KvContainer {

namespace {

constexpr qsizetype kPiece = 1 << 20;
constexpr qsizetype kWindow = 32 * 1024;

struct Piece {
    QByteArray data;
    uLong adler = 1;
};

// Raw deflate of text[begin, end) at level 9, primed with the window before begin; all but
// the last piece end with a sync flush, so the next one starts on a byte boundary.
bool DeflatePiece(const QByteArray &text, qsizetype begin, qsizetype end, Piece &piece)
{
    z_stream stream{};
    if (deflateInit2(&stream, 9, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return false;
    struct End {
        z_stream &s;
        ~End() { deflateEnd(&s); }
    } end_{stream};
    const auto *bytes = reinterpret_cast<const Bytef *>(text.constData());
    if (begin > 0) {
        const qsizetype from = qMax<qsizetype>(0, begin - kWindow);
        if (deflateSetDictionary(&stream, bytes + from, uInt(begin - from)) != Z_OK)
            return false;
    }
    const bool last = end == text.size();
    // Room for the worst case plus the flush marker.
    const uLong room = deflateBound(&stream, uLong(end - begin)) + 64;
    piece.data.resize(qsizetype(room));
    stream.next_in = const_cast<Bytef *>(bytes + begin);
    stream.avail_in = uInt(end - begin);
    stream.next_out = reinterpret_cast<Bytef *>(piece.data.data());
    stream.avail_out = uInt(room);
    const int rc = deflate(&stream, last ? Z_FINISH : Z_SYNC_FLUSH);
    if (last ? rc != Z_STREAM_END : (rc != Z_OK || stream.avail_in != 0 || stream.avail_out == 0))
        return false;
    piece.data.truncate(qsizetype(stream.total_out));
    piece.adler = adler32(1, bytes + begin, uInt(end - begin));
    return true;
}

// The pieces' shared state: workers take the next piece number and report when done.
struct Work {
    Work(const QByteArray &text, size_t pieceCount) : text(text), pieces(pieceCount) {}
    const QByteArray &text;
    std::vector<Piece> pieces;
    std::atomic<size_t> next{0};
    std::mutex mutex;
    std::condition_variable changed;
    size_t finished = 0;
    qint64 bytesDone = 0;
    bool failed = false;

    void run()
    {
        for (size_t i; (i = next++) < pieces.size();) {
            const qsizetype begin = qsizetype(i) * kPiece;
            const qsizetype end = qMin(begin + kPiece, text.size());
            const bool ok = DeflatePiece(text, begin, end, pieces[i]);
            {
                const std::lock_guard<std::mutex> lock(mutex);
                ++finished;
                bytesDone += end - begin;
                failed = failed || !ok;
            }
            changed.notify_all();
        }
    }
};

// Joins the workers however the wait ends.
struct Workers {
    std::vector<std::thread> threads;
    ~Workers()
    {
        for (std::thread &thread : threads)
            thread.join();
    }
};

} // namespace

QByteArray DeflateZlib(const QByteArray &text, const std::function<void(qint64)> &progress)
{
    Work work(text, size_t(qMax<qsizetype>(1, (text.size() + kPiece - 1) / kPiece)));
    {
        Workers workers;
        const size_t count = qMin(work.pieces.size(), size_t(qMax(1, QThread::idealThreadCount())));
        if (count > 1) {
            for (size_t i = 0; i < count; ++i)
                workers.threads.emplace_back([&work] { work.run(); });
        } else {
            work.next = work.pieces.size(); // the calling thread does it, below
            for (size_t i = 0; i < work.pieces.size(); ++i) {
                const qsizetype begin = qsizetype(i) * kPiece;
                const qsizetype end = qMin(begin + kPiece, text.size());
                work.failed = work.failed || !DeflatePiece(text, begin, end, work.pieces[i]);
                work.finished = i + 1;
                if (progress && i + 1 < work.pieces.size())
                    progress(end);
            }
        }
        std::unique_lock<std::mutex> lock(work.mutex);
        while (work.finished < work.pieces.size()) {
            work.changed.wait_for(lock, std::chrono::milliseconds(50));
            const qint64 done = work.bytesDone;
            if (progress) {
                lock.unlock();
                progress(done);
                lock.lock();
            }
        }
    }
    if (work.failed)
        throw Error("Unable to compress the exchange file");

    qsizetype size = 2 + 4;
    for (const Piece &piece : work.pieces)
        size += piece.data.size();
    QByteArray stream;
    stream.reserve(size);
    // zlib header: deflate, 32 KiB window, level 9.
    stream.append(char(0x78)).append(char(0xDA));
    uLong adler = 1;
    for (size_t i = 0; i < work.pieces.size(); ++i) {
        stream.append(work.pieces[i].data);
        const qsizetype begin = qsizetype(i) * kPiece;
        adler = adler32_combine(adler, work.pieces[i].adler, z_off_t(qMin(kPiece, text.size() - begin)));
    }
    char trailer[4];
    qToBigEndian<quint32>(quint32(adler), trailer);
    stream.append(trailer, 4);
    return stream;
}

} // namespace KvContainer
