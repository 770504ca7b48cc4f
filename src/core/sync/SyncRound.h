// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QDateTime>
#include <QString>
#include <QStringList>

class Database;

// What one round did.
struct SyncRoundResult {
    int sent = 0;       // changes of this installation written to the folder
    int received = 0;   // changes of other installations read
    QStringList damaged; // installations whose files hold a record that failed its check
};

// What the database says of sync, without changing it.
struct SyncStatus {
    bool enabled = false;
    QString installation;
    QDateTime lastRound;  // the last round that completed
    QDateTime lastFailed; // the last round that failed, and why
    QString lastFailure;
    QStringList peers;
    qint64 unsent = 0; // changes stored but not yet in the folder
};

// One round of sync between the memo database and the sync folder: this installation's
// changes since the last round go to its journal, the other installations' new changes are
// merged into the memo table, and a journal grown past half its snapshot is compacted. The
// first round enables sync in the database. A large round is stored in batches, each whole
// and in sight. Throws SyncError or DatabaseError; a failed round is noted for the status and
// leaves the memos as its last whole batch left them, for the next round to go on from.
SyncRoundResult runSyncRound(Database &database, const QString &folder);
SyncStatus syncStatus(Database &database);

// How long a batch of a round may hold the database's write lock (half a second unless a test
// wants its batches shorter).
void setSyncBatchMilliseconds(qint64 milliseconds);
// Milliseconds this process adds to the wall clock for the changes it makes: how tests play
// computers whose clocks disagree.
void setSyncClockOffset(qint64 milliseconds);
