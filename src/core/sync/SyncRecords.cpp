// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/sync/SyncRecords.h"
#include <QDataStream>
#include <QIODevice>
#include <QtEndian>
#include <zlib.h>

namespace SyncRecords {

namespace {

enum Kind : quint8 { OpRecord = 1, HeaderRecord = 2 };
constexpr quint8 kFormat = 1;
constexpr qint64 kFrame = 8;
// A longer length can only be damage; it is not waited for.
constexpr quint32 kLongestPayload = 256u * 1024 * 1024;

quint32 checksum(const char *data, qint64 size)
{
    return quint32(crc32(crc32(0L, nullptr, 0), reinterpret_cast<const Bytef *>(data), uInt(size)));
}

QByteArray framed(const QByteArray &payload)
{
    QByteArray record(kFrame, Qt::Uninitialized);
    qToLittleEndian<quint32>(quint32(payload.size()), record.data());
    qToLittleEndian<quint32>(checksum(payload.constData(), payload.size()), record.data() + 4);
    return record + payload;
}

template <typename Write>
QByteArray payload(Kind kind, Write write)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_0);
    out << quint8(kind) << kFormat;
    write(out);
    return bytes;
}

} // namespace

QByteArray encode(const SyncOp &op)
{
    return framed(payload(OpRecord, [&op](QDataStream &out) {
        out << op.dot.counter << op.clock << op.memo.mid << op.fields;
        if (op.sets(SyncContent))
            out << op.memo.content << op.memo.editTime;
        if (op.sets(SyncParent))
            out << op.memo.pid;
        if (op.sets(SyncExpanded))
            out << op.memo.expandFlag;
        if (op.sets(SyncTimes))
            out << op.memo.assignTime << op.memo.createTime;
        out << quint32(op.replaces.size());
        for (const SyncDot &dot : op.replaces)
            out << dot.origin << dot.counter;
    }));
}

QByteArray encode(const SnapshotHeader &header)
{
    return framed(payload(HeaderRecord, [&header](QDataStream &out) { out << header.covered << header.nextGeneration; }));
}

Scan decode(const QByteArray &bytes, qint64 from, const QString &origin, qsizetype limit)
{
    Scan scan;
    qint64 at = from;
    for (qsizetype records = 0; bytes.size() - at >= kFrame && records != limit; ++records) {
        const quint32 length = qFromLittleEndian<quint32>(bytes.constData() + at);
        const quint32 sum = qFromLittleEndian<quint32>(bytes.constData() + at + 4);
        if (length > kLongestPayload) {
            scan.damaged = true;
            break;
        }
        if (bytes.size() - at - kFrame < qint64(length))
            break; // still arriving
        const QByteArray body = QByteArray::fromRawData(bytes.constData() + at + kFrame, length);
        QDataStream in(body);
        in.setVersion(QDataStream::Qt_6_0);
        quint8 kind = 0, format = 0;
        in >> kind >> format;
        if (checksum(body.constData(), body.size()) != sum || format != kFormat) {
            scan.damaged = true;
            break;
        }
        if (kind == HeaderRecord) {
            SnapshotHeader header;
            in >> header.covered >> header.nextGeneration;
            scan.header = header;
        } else {
            SyncOp op;
            op.dot.origin = origin;
            in >> op.dot.counter >> op.clock >> op.memo.mid >> op.fields;
            if (op.sets(SyncContent))
                in >> op.memo.content >> op.memo.editTime;
            if (op.sets(SyncParent))
                in >> op.memo.pid;
            if (op.sets(SyncExpanded))
                in >> op.memo.expandFlag;
            if (op.sets(SyncTimes))
                in >> op.memo.assignTime >> op.memo.createTime;
            quint32 replaced = 0;
            in >> replaced;
            for (quint32 i = 0; i < replaced && in.status() == QDataStream::Ok; ++i) {
                SyncDot dot;
                in >> dot.origin >> dot.counter;
                op.replaces.push_back(dot);
            }
            if (in.status() != QDataStream::Ok) {
                scan.damaged = true;
                break;
            }
            scan.ops.push_back(std::move(op));
        }
        at += kFrame + length;
    }
    scan.end = at;
    return scan;
}

} // namespace SyncRecords
