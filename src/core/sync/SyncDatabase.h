// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/sync/SyncMerge.h"
#include "core/sync/SyncOp.h"
#include <QSet>
#include <optional>
#include <QStringList>
#include <functional>

class Database;
class Statement;

// How far a journal goes: every change of its installation up to `covered`, and its file of
// `generation` up to byte `offset` (for a peer's, as far as it was read; for our own, as far as
// it is known whole).
struct JournalPosition {
    qint64 covered = 0;
    qint64 generation = 0;
    qint64 offset = 0;
};

// What sync keeps in the memo database, in tables of its own beside the memo and task tables
// (which stay as they are): every change known, the rows as the last merge left them, the
// memos changed since (noted by triggers, whoever wrote them), and how far each peer's files
// were read. Nothing of it exists until sync is first enabled. Every call runs inside the
// caller's transaction.
class SyncDatabase {
public:
    explicit SyncDatabase(Database &database);

    static bool isEnabled(Database &database);
    // Creates the tables on the first call; every memo stored by then becomes a change.
    void enable();
    // home names this database file on this computer. A file copied elsewhere (to another
    // computer, or beside the first) finds another home and starts an installation of its
    // own, so that two never write one journal; what it had is the original's.
    void settleHome(const QString &home);

    QString installation() const { return m_installation; }
    qint64 lastCounter() const { return m_counter; }
    JournalPosition journal() const { return m_journal; }
    void setJournal(const JournalPosition &position);
    // Where our journal goes once an append that the round noted before making it is whole.
    std::optional<JournalPosition> notedAppend() const { return m_notedAppend; }
    void setNotedAppend(const std::optional<JournalPosition> &position);
    QString stateValue(const QString &key) const;
    void setStateValue(const QString &key, const QString &value);

    // Turns what was changed in the memo table since the last round into changes of this
    // installation; the memos they touch.
    QSet<QString> captureLocalChanges();
    // Stores changes of other installations (those already known are left) and writes the
    // merged rows of the memos they touch, as writeMerged() does.
    void mergeRemoteOps(std::vector<SyncOp>::const_iterator first, std::vector<SyncOp>::const_iterator last);
    // Writes the merged rows of the memos into the memo table, without taking them for local
    // changes. Until finishMerge() the rows may be out of sight.
    void writeMerged(const QSet<QString> &mids);
    // Puts the rows that writeMerged() left out of sight back in sight: the memo table is
    // ready to be committed.
    void finishMerge();

    JournalPosition peerPosition(const QString &origin);
    void setPeerPosition(const QString &origin, const JournalPosition &position);
    QStringList peers();

    // This installation's changes after counter, in order.
    std::vector<SyncOp> ownOpsAfter(qint64 counter);
    // This installation's changes with what later changes made moot left out: what its
    // snapshot holds.
    std::vector<SyncOp> ownOpsForSnapshot();

    // Writes the clock and counters back; the round calls it before committing.
    void saveState();

private:
    void startInstallation();
    SyncOp newOp(const QString &mid);
    void storeOp(const SyncOp &op);
    // Reads the rows of the memos of mids: many in one pass over the stretch of ids from the
    // first of them to the last (stretchSql takes those two ids; rows of other memos between
    // them come too, for read to skip), few one by one (eachSql takes the id). read may bind
    // further values before it reads.
    void readRowsOf(const QSet<QString> &mids, const char *stretchSql, const char *eachSql,
                    const std::function<void(Statement &)> &read);
    // Calls take with the changes of each of mids that has any.
    void forOpsOf(const QSet<QString> &mids, const std::function<void(const QString &, const std::vector<SyncOp> &)> &take);
    // The memos of mids that sync has a row or a change of.
    QSet<QString> knownOf(const QSet<QString> &mids);
    // A row with an implied clock stands for one change of another installation that is not
    // stored: the one that set every field as the row has it, at that clock.
    void writeRow(const MergedRow &row, std::optional<qint64> impliedClock = std::nullopt);
    // Stores the changes that the rows of mids stand for, before their memos merge anew.
    void storeImpliedOps(const QSet<QString> &mids);
    void removeRow(const QString &mid);
    QSet<QString> subMemosOf(const QSet<QString> &mids);
    void liftHiddenRows(const QSet<QString> &touched);
    void setNotingChanges(bool noting);

    Database &m_database;
    QString m_installation;
    qint64 m_counter = 0;
    qint64 m_clock = 0;
    JournalPosition m_journal{0, 1, 0};
    std::optional<JournalPosition> m_notedAppend;
    QSet<QString> m_written; // by writeMerged() since the last finishMerge()
    bool m_noting = true;    // whether the triggers are there
};
