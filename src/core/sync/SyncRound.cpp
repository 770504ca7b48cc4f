// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/sync/SyncRound.h"
#include "core/Transaction.h"
#include "core/sync/SyncDatabase.h"
#include "core/sync/SyncError.h"
#include "core/sync/SyncFolder.h"
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

const QString kLastRound = QStringLiteral("lastRound");
const QString kLastFailed = QStringLiteral("lastFailed");
const QString kLastFailure = QStringLiteral("lastFailure");

// A journal is compacted once it passes half its snapshot (or this, while both are small),
// so the folder stays near one snapshot per installation.
constexpr qint64 kSmallJournal = 64 * 1024;

QString now()
{
    return QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs);
}

SyncRoundResult mergeAndSend(Database &database, const QString &path)
{
    SyncRoundResult result;
    SyncDatabase sync(database);
    {
        Transaction writing(database, Transaction::Lock::Immediate, Transaction::OnFailure::TakeBack);
        sync.enable();
        QSet<QString> touched = sync.captureLocalChanges();
        const SyncFolder folder(path, sync.installation());
        for (const QString &peer : folder.peers()) {
            const SyncFolder::Reading reading = folder.read(peer, sync.peerPosition(peer));
            touched += sync.addRemoteOps(reading.ops);
            sync.setPeerPosition(peer, reading.position);
            result.received += int(reading.ops.size());
            if (reading.damaged)
                result.damaged << peer;
        }
        sync.applyMerge(touched);
        sync.saveState();
        sync.setStateValue(kLastRound, now());
        writing.commit();
    }
    // The folder is written only after the changes are stored: changes not yet written go
    // out with the next round, and a counter is never used twice.
    const SyncFolder folder(path, sync.installation());
    JournalPosition journal = sync.journal();
    const std::vector<SyncOp> unsent = sync.ownOpsAfter(journal.covered);
    if (!unsent.empty()) {
        journal.offset = folder.append(unsent, journal.generation, journal.offset);
        journal.covered = unsent.back().dot.counter;
        sync.setJournal(journal);
        sync.saveState();
        result.sent = int(unsent.size());
    }
    if (journal.offset > std::max(kSmallJournal, folder.snapshotSize() / 2)) {
        // The new generation is stored first: should the snapshot fail, the old journals
        // stay and still hold every change.
        sync.setJournal({journal.covered, journal.generation + 1, 0});
        sync.saveState();
        folder.compact(sync.ownOpsForSnapshot(), journal.covered, journal.generation + 1);
    }
    return result;
}

} // namespace

SyncRoundResult runSyncRound(Database &database, const QString &folder)
{
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        throw SyncError(QCoreApplication::translate("Sync", "The sync folder %1 does not exist.")
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
    status.unsent = sync.lastCounter() - sync.journal().covered;
    return status;
}
