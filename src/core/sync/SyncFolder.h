// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/sync/SyncDatabase.h"
#include "core/sync/SyncOp.h"
#include <QByteArray>
#include <QString>
#include <QStringList>

// The folder that a file-sync engine keeps alike between the user's computers. Each
// installation writes only files of its own there: ID.N.journal, to which it appends its
// changes, and ID.snapshot, which takes the place of its journals so far when they grow. The
// memo database never goes there.
class SyncFolder {
public:
    SyncFolder(QString path, QString installation);

    QString path() const { return m_path; }
    // The other installations that have files here.
    QStringList peers() const;

    struct Reading {
        std::vector<SyncOp> ops;
        JournalPosition position;
        bool damaged = false; // a record failed its check; nothing after it is read
    };
    // The peer's changes after `from`, in its order, as far as they have arrived whole.
    Reading read(const QString &peer, const JournalPosition &from) const;

    // The changes as a journal holds them.
    static QByteArray records(const std::vector<SyncOp> &ops);
    // Appends records to this installation's journal of `generation`, cut back first to
    // `size`, the bytes known to be whole. Throws SyncError.
    void append(const QByteArray &records, qint64 generation, qint64 size) const;
    // Whether this installation's journal holds `to` whole, on from `from` in its generation.
    bool holds(const JournalPosition &from, const JournalPosition &to) const;
    qint64 snapshotSize() const;
    // Writes the snapshot whole in place of the old one, then removes the journals it covers.
    // Throws SyncError.
    void compact(const std::vector<SyncOp> &ops, qint64 covered, qint64 nextGeneration) const;

private:
    QString snapshotPath(const QString &installation) const;
    QString journalPath(const QString &installation, qint64 generation) const;
    std::vector<qint64> journalGenerations(const QString &installation) const;

    QString m_path;
    QString m_installation;
};
