// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/sync/SyncRound.h"
#include "core/MemoLevels.h"
#include "core/Transaction.h"
#include "core/sync/SyncDatabase.h"
#include "core/sync/SyncError.h"
#include "core/sync/SyncFolder.h"
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>
#include <QThread>
#include <algorithm>
#include <iterator>
#include <tuple>
#include <sys/stat.h>

namespace {

const QString kLastRound = QStringLiteral("lastRound");
const QString kLastFailed = QStringLiteral("lastFailed");
const QString kLastFailure = QStringLiteral("lastFailure");

// A journal is compacted once it passes half its snapshot (or this, while both are small),
// so the folder stays near one snapshot per installation.
constexpr qint64 kSmallJournal = 64 * 1024;

// How long a batch of a round holds the write lock, give or take a slice of changes, and how
// long the lock is left to others before the next batch: longer than the program's own
// writers wait between looks at it.
qint64 g_batchMs = 500;
constexpr std::ptrdiff_t kSlice = 2000;
constexpr unsigned long kBetweenBatchesMs = 20;

QString now()
{
    return QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs);
}

// This database file on this computer: the file's copy has another inode, or another machine.
QString homeOf(const Database &database)
{
    struct stat file {};
    const qint64 inode = ::stat(QFile::encodeName(database.path()).constData(), &file) == 0 ? qint64(file.st_ino) : 0;
    return QString::fromLatin1(QSysInfo::machineUniqueId()) + QLatin1Char('/') + QString::number(inode);
}

// Puts the changes of other installations in the order the merge takes them: whole memos, by
// id, so that a stretch of them lies together in the tables; top-level memos first, so that a
// sub-memo finds its parent in place instead of going to the top level until it comes.
void orderForMerge(std::vector<SyncOp> &ops)
{
    // Ids compare as the tables compare them, by their UTF-8 bytes.
    struct Place {
        QByteArray id;
        size_t at;
        bool sub;
    };
    std::vector<Place> places;
    places.reserve(ops.size());
    for (size_t at = 0; at < ops.size(); ++at)
        places.push_back({ops[at].memo.mid.toUtf8(), at, false});
    std::sort(places.begin(), places.end(),
              [](const Place &a, const Place &b) { return std::tie(a.id, a.at) < std::tie(b.id, b.at); });
    for (auto memo = places.begin(); memo != places.end();) {
        auto end = memo;
        const SyncOp *placing = nullptr;
        for (; end != places.end() && end->id == memo->id; ++end) {
            const SyncOp &op = ops[end->at];
            if (op.sets(SyncParent) && (!placing || placing->before(op)))
                placing = &op;
        }
        const bool sub = placing && placing->memo.pid != MemoLevels::kTopLevelParent;
        for (; memo != end; ++memo)
            memo->sub = sub;
    }
    std::stable_partition(places.begin(), places.end(), [](const Place &place) { return !place.sub; });
    std::vector<SyncOp> ordered;
    ordered.reserve(ops.size());
    for (const Place &place : places)
        ordered.push_back(std::move(ops[place.at]));
    ops = std::move(ordered);
}

// Past first: a slice of about kSlice changes, whole memos, their ids rising.
std::vector<SyncOp>::const_iterator sliceEnd(std::vector<SyncOp>::const_iterator first,
                                            std::vector<SyncOp>::const_iterator last)
{
    auto end = first;
    while (++end != last && !(end->memo.mid < (end - 1)->memo.mid)
           && (end - first < kSlice || end->memo.mid == (end - 1)->memo.mid)) {
    }
    return end;
}

SyncRoundResult mergeAndSend(Database &database, const QString &path)
{
    SyncRoundResult result;
    // The folder is read before the write lock is taken, from where the database said before
    // (another round may go further meanwhile: what is read twice is known the second time).
    // How far each peer's files were read is stored with the last batch: a round cut short
    // reads them again. A copied database starts an installation of its own in the first
    // batch; until the next round it reads its original's files no further.
    std::vector<SyncOp> incoming;
    std::vector<std::pair<QString, JournalPosition>> reached;
    {
        const bool enabled = SyncDatabase::isEnabled(database);
        SyncDatabase sync(database);
        const SyncFolder folder(path, sync.installation());
        for (const QString &peer : folder.peers()) {
            SyncFolder::Reading reading = folder.read(peer, enabled ? sync.peerPosition(peer) : JournalPosition{});
            result.received += int(reading.ops.size());
            if (reading.damaged)
                result.damaged << peer;
            std::move(reading.ops.begin(), reading.ops.end(), std::back_inserter(incoming));
            reached.emplace_back(peer, reading.position);
        }
    }
    orderForMerge(incoming);
    QByteArray records;
    JournalPosition appended;
    // A large round (the first of an installation) goes in batches that each hold the write
    // lock briefly, so that a program storing a memo meanwhile waits well within its own lock
    // wait. Each batch leaves the memo table whole; one cut short leaves the rest to the next
    // round.
    QString installation;
    JournalPosition journal;
    auto next = incoming.cbegin();
    for (bool last = false; !last;) {
        Transaction batch(database, Transaction::Lock::Immediate, Transaction::OnFailure::TakeBack);
        // Each batch reads what sync keeps afresh once it holds the lock: another round (the
        // program's and jotwell-cli's) may have run between two of this round's.
        SyncDatabase sync(database);
        QElapsedTimer spent;
        spent.start();
        if (installation.isEmpty()) {
            sync.enable();
            sync.settleHome(homeOf(database));
            installation = sync.installation();
            // The last round's append was noted before it was made; it counts once the
            // journal is seen to hold it whole, and one that failed is made again from where
            // it began.
            if (const std::optional<JournalPosition> noted = sync.notedAppend()) {
                if (SyncFolder(path, installation).holds(sync.journal(), *noted))
                    sync.setJournal(*noted);
                sync.setNotedAppend(std::nullopt);
            }
        }
        // What was stored meanwhile is taken first, before the merge writes over it.
        sync.writeMerged(sync.captureLocalChanges());
        while (next != incoming.cend()) {
            const auto end = sliceEnd(next, incoming.cend());
            sync.mergeRemoteOps(next, end);
            next = end;
            if (spent.elapsed() >= g_batchMs)
                break;
        }
        sync.finishMerge();
        last = next == incoming.cend();
        if (last) {
            for (const auto &[peer, position] : reached)
                sync.setPeerPosition(peer, position);
            // The folder is written only after the changes are stored, so a counter never
            // goes out twice with different changes; noting the append in the same commit
            // spares a second wait for the disk.
            journal = sync.journal();
            const std::vector<SyncOp> unsent = sync.ownOpsAfter(journal.covered);
            if (!unsent.empty()) {
                records = SyncFolder::records(unsent);
                appended = {unsent.back().dot.counter, journal.generation, journal.offset + records.size()};
                sync.setNotedAppend(appended);
                result.sent = int(unsent.size());
            }
            sync.setStateValue(kLastRound, now());
        }
        sync.saveState();
        batch.commit();
        // A moment for a writer that waits to take the lock.
        if (!last)
            QThread::msleep(kBetweenBatchesMs);
    }
    const SyncFolder folder(path, installation);
    if (!records.isEmpty()) {
        folder.append(records, journal.generation, journal.offset);
        journal = appended;
    }
    if (journal.offset > std::max(kSmallJournal, folder.snapshotSize() / 2)) {
        // The new generation is stored first: should the snapshot fail, the old journals
        // stay and still hold every change.
        Transaction noting(database, Transaction::Lock::Immediate, Transaction::OnFailure::TakeBack);
        SyncDatabase sync(database);
        sync.setJournal({journal.covered, journal.generation + 1, 0});
        sync.setNotedAppend(std::nullopt);
        sync.saveState();
        noting.commit();
        folder.compact(sync.ownOpsForSnapshot(), journal.covered, journal.generation + 1);
    }
    return result;
}

} // namespace

void setSyncBatchMilliseconds(qint64 milliseconds)
{
    g_batchMs = milliseconds;
}

SyncRoundResult runSyncRound(Database &database, const QString &folder)
{
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        throw SyncError(QCoreApplication::translate("Sync", "The sync folder %1 does not exist.")
                            .arg(QDir::toNativeSeparators(folder)));
    // An engine copying the database file while it is written damages it.
    if (QFileInfo(database.path()).canonicalFilePath().startsWith(QDir(folder).canonicalPath() + QLatin1Char('/')))
        throw SyncError(QCoreApplication::translate("Sync", "The sync folder %1 holds the memo database, which a file-sync "
                                                            "program would damage: choose a folder of its own.")
                            .arg(QDir::toNativeSeparators(folder)));
    try {
        return mergeAndSend(database, folder);
    } catch (const std::exception &error) {
        // Noted where it can be; a database too locked to take the note has the error told anyway.
        try {
            if (SyncDatabase::isEnabled(database)) {
                SyncDatabase sync(database);
                sync.setStateValue(kLastFailed, now());
                sync.setStateValue(kLastFailure, QString::fromUtf8(error.what()));
            }
        } catch (const std::exception &) {
        }
        throw;
    }
}

SyncStatus syncStatus(Database &database)
{
    SyncStatus status;
    status.enabled = SyncDatabase::isEnabled(database);
    if (!status.enabled)
        return status;
    SyncDatabase sync(database);
    status.installation = sync.installation();
    status.lastRound = QDateTime::fromString(sync.stateValue(kLastRound), Qt::ISODateWithMs);
    status.lastFailed = QDateTime::fromString(sync.stateValue(kLastFailed), Qt::ISODateWithMs);
    status.lastFailure = sync.stateValue(kLastFailure);
    status.peers = sync.peers();
    // An append noted by the last round is taken as made: had it failed, the round says so.
    status.unsent = sync.lastCounter() - sync.notedAppend().value_or(sync.journal()).covered;
    return status;
}
