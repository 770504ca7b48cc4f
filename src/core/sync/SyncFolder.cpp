// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/sync/SyncFolder.h"
#include "core/SaveFile.h"
#include "core/sync/SyncError.h"
#include "core/sync/SyncRecords.h"
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <algorithm>
#include <unistd.h>

namespace {

// Installation ids are 32 hexadecimal digits; anything else in the folder (the engine's own
// files, its conflict copies, the user's) is not ours and is left alone.
const QRegularExpression kOurFile(QStringLiteral("^([0-9a-f]{32})\\.(snapshot|(\\d+)\\.journal)$"));

QByteArray readFrom(const QString &path, qint64 offset, qint64 length = -1)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(offset))
        return {};
    return length < 0 ? file.readAll() : file.read(length);
}

[[noreturn]] void cannotWrite(const QString &path)
{
    throw SyncError(QCoreApplication::translate("Sync", "Unable to write to %1").arg(QDir::toNativeSeparators(path)));
}

} // namespace

SyncFolder::SyncFolder(QString path, QString installation)
    : m_path(std::move(path)), m_installation(std::move(installation))
{
}

QString SyncFolder::snapshotPath(const QString &installation) const
{
    return QDir(m_path).filePath(installation + QStringLiteral(".snapshot"));
}

QString SyncFolder::journalPath(const QString &installation, qint64 generation) const
{
    return QDir(m_path).filePath(QStringLiteral("%1.%2.journal").arg(installation).arg(generation));
}

QStringList SyncFolder::peers() const
{
    QStringList found;
    for (const QString &name : QDir(m_path).entryList(QDir::Files)) {
        const QRegularExpressionMatch match = kOurFile.match(name);
        if (match.hasMatch() && match.captured(1) != m_installation && !found.contains(match.captured(1)))
            found << match.captured(1);
    }
    found.sort();
    return found;
}

std::vector<qint64> SyncFolder::journalGenerations(const QString &installation) const
{
    std::vector<qint64> generations;
    for (const QString &name : QDir(m_path).entryList({installation + QStringLiteral(".*.journal")}, QDir::Files)) {
        const QRegularExpressionMatch match = kOurFile.match(name);
        if (match.hasMatch() && !match.captured(3).isEmpty())
            generations.push_back(match.captured(3).toLongLong());
    }
    std::sort(generations.begin(), generations.end());
    return generations;
}

SyncFolder::Reading SyncFolder::read(const QString &peer, const JournalPosition &from) const
{
    Reading reading;
    JournalPosition &at = reading.position;
    at = from;
    // A snapshot further on than what was read takes the place of the journals it covers;
    // it may leave out changes that later ones made moot. Its header alone tells, so that a
    // round with nothing new does not read it whole.
    const QString snapshotFile = snapshotPath(peer);
    const std::optional<SyncRecords::SnapshotHeader> header =
        SyncRecords::decode(readFrom(snapshotFile, 0, 4096), 0, peer, 1).header;
    if (header && header->covered > at.covered) {
        // Read, not mapped: a file that another computer's engine cuts short while it is
        // mapped would end the program.
        const QByteArray snapshot = readFrom(snapshotFile, 0);
        SyncRecords::Scan scan = SyncRecords::decode(snapshot, 0, peer);
        // Written whole and put in place at once: one that does not read whole is damaged.
        if (scan.header && scan.end == snapshot.size()) {
            for (SyncOp &op : scan.ops) {
                if (op.dot.counter > at.covered)
                    reading.ops.push_back(std::move(op));
            }
            at = {scan.header->covered, scan.header->nextGeneration, 0};
        } else {
            reading.damaged = true;
        }
    }
    // Journals hold every change in order: one that does not follow on from what was read
    // waits for the snapshot that covers the gap.
    for (qint64 generation : journalGenerations(peer)) {
        if (generation < at.generation)
            continue;
        const qint64 offset = generation == at.generation ? at.offset : 0;
        const SyncRecords::Scan scan = SyncRecords::decode(readFrom(journalPath(peer, generation), offset), 0, peer);
        qint64 taken = offset;
        bool gap = false;
        for (const SyncOp &op : scan.ops) {
            if (op.dot.counter > at.covered + 1) {
                gap = true;
                break;
            }
            if (op.dot.counter == at.covered + 1) {
                reading.ops.push_back(op);
                at.covered = op.dot.counter;
            }
        }
        if (gap)
            break;
        taken += scan.end;
        at.generation = generation;
        at.offset = taken;
        if (scan.damaged) {
            reading.damaged = true;
            break;
        }
    }
    return reading;
}

QByteArray SyncFolder::records(const std::vector<SyncOp> &ops)
{
    QByteArray bytes;
    for (const SyncOp &op : ops)
        bytes += SyncRecords::encode(op);
    return bytes;
}

void SyncFolder::append(const QByteArray &records, qint64 generation, qint64 size) const
{
    const QString path = journalPath(m_installation, generation);
    QFile file(path);
    // What a failed append left at the end is cut off, so that records follow whole records.
    if (!file.open(QIODevice::ReadWrite | QIODevice::Unbuffered) || !file.resize(size) || !file.seek(size)
        || file.write(records) != records.size() || ::fsync(file.handle()) != 0)
        cannotWrite(path);
}

bool SyncFolder::holds(const JournalPosition &from, const JournalPosition &to) const
{
    const qint64 start = from.generation == to.generation ? from.offset : 0;
    const QByteArray bytes = readFrom(journalPath(m_installation, to.generation), start, to.offset - start);
    const SyncRecords::Scan scan = SyncRecords::decode(bytes, 0, m_installation);
    return scan.end == to.offset - start && !scan.ops.empty() && scan.ops.back().dot.counter == to.covered;
}

qint64 SyncFolder::snapshotSize() const
{
    return QFileInfo(snapshotPath(m_installation)).size();
}

void SyncFolder::compact(const std::vector<SyncOp> &ops, qint64 covered, qint64 nextGeneration) const
{
    QByteArray bytes = SyncRecords::encode(SyncRecords::SnapshotHeader{covered, nextGeneration});
    for (const SyncOp &op : ops)
        bytes += SyncRecords::encode(op);
    const QString path = snapshotPath(m_installation);
    if (!writeWholeFile(path, bytes))
        cannotWrite(path);
    for (qint64 generation : journalGenerations(m_installation)) {
        if (generation < nextGeneration)
            QFile::remove(journalPath(m_installation, generation));
    }
}
