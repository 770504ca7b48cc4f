// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/sync/SyncRound.h"
#include "core/Transaction.h"
#include "core/sync/SyncDatabase.h"
#include "core/sync/SyncError.h"
#include "core/sync/SyncFolder.h"
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>
#include <sys/stat.h>

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

// This database file on this computer: the file's copy has another inode, or another machine.
QString homeOf(const Database &database)
{
    struct stat file {};
    const qint64 inode = ::stat(QFile::encodeName(database.path()).constData(), &file) == 0 ? qint64(file.st_ino) : 0;
    return QString::fromLatin1(QSysInfo::machineUniqueId()) + QLatin1Char('/') + QString::number(inode);
}

SyncRoundResult mergeAndSend(Database &database, const QString &path)
{
    SyncRoundResult result;
    SyncDatabase sync(database);
    QByteArray records;
    JournalPosition journal;
    JournalPosition appended;
    {
        Transaction writing(database, Transaction::Lock::Immediate, Transaction::OnFailure::TakeBack);
        sync.enable();
        sync.settleHome(homeOf(database));
        const SyncFolder folder(path, sync.installation());
        // The last round's append was noted before it was made; it counts once the journal
        // is seen to hold it whole, and one that failed is made again from where it began.
        if (const std::optional<JournalPosition> noted = sync.notedAppend()) {
            if (folder.holds(sync.journal(), *noted))
                sync.setJournal(*noted);
            sync.setNotedAppend(std::nullopt);
        }
        QSet<QString> touched = sync.captureLocalChanges();
        for (const QString &peer : folder.peers()) {
            const SyncFolder::Reading reading = folder.read(peer, sync.peerPosition(peer));
            touched += sync.addRemoteOps(reading.ops);
            sync.setPeerPosition(peer, reading.position);
            result.received += int(reading.ops.size());
            if (reading.damaged)
                result.damaged << peer;
        }
        sync.applyMerge(touched);
        // The folder is written only after the changes are stored, so a counter never goes
        // out twice with different changes; noting the append in the same commit spares a
        // second wait for the disk.
        journal = sync.journal();
        const std::vector<SyncOp> unsent = sync.ownOpsAfter(journal.covered);
        if (!unsent.empty()) {
            records = SyncFolder::records(unsent);
            appended = {unsent.back().dot.counter, journal.generation, journal.offset + records.size()};
            sync.setNotedAppend(appended);
            result.sent = int(unsent.size());
        }
        sync.saveState();
        sync.setStateValue(kLastRound, now());
        writing.commit();
    }
    const SyncFolder folder(path, sync.installation());
    if (!records.isEmpty()) {
        folder.append(records, journal.generation, journal.offset);
        journal = appended;
    }
    if (journal.offset > std::max(kSmallJournal, folder.snapshotSize() / 2)) {
        // The new generation is stored first: should the snapshot fail, the old journals
        // stay and still hold every change.
        Transaction noting(database, Transaction::Lock::Immediate, Transaction::OnFailure::TakeBack);
        sync.setJournal({journal.covered, journal.generation + 1, 0});
        sync.setNotedAppend(std::nullopt);
        sync.saveState();
        noting.commit();
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
