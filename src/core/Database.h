// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QString>
#include <unordered_map>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

// The one connection to the memo database. Opening creates the file and its tables when
// they are missing; it never changes anything already stored.
class Database {
public:
    Database() = default;
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    // How long the first touch of the file waits for another program's lock.
    enum class LockWait { AsEverywhere, None };
    // Throws DatabaseError, DatabaseBusyError when another connection holds the file.
    void open(const QString &path, LockWait wait = LockWait::AsEverywhere);
    void close();
    bool isOpen() const { return m_db != nullptr; }
    bool isReadOnly() const;
    QString path() const { return m_path; }
    sqlite3 *handle() const; // throws DatabaseError when not open

    // Changes whenever another connection (another process) commits to the file; the
    // connection's own commits leave it alone.
    qint64 dataVersion();
    // Grows with every row this connection inserts, changes or deletes.
    qint64 ownChanges() const;
    // False: a file another connection holds is refused at once instead of waited for, for
    // tries that come again anyway.
    void setWaitsForLocks(bool waits);

    // Runs statements that return no rows (schema, pragmas, transaction control).
    void execute(const QString &sql);
    // Lets go of the file's pages mapped in so far (a pass over the whole table maps them
    // all); later reads map again what they touch.
    void releaseMappedPages();

    // Prepared statements are kept for reuse, so that the load's thousands of sub-memo
    // queries compile once. They are found by the address of their text, which must be a
    // literal: an import asks hundreds of thousands of times, and hashing the text each time
    // cost as much as the rest of the look-up. A statement is handed to one user at a time;
    // releasing it (with the same text) resets it and clears its bindings.
    sqlite3_stmt *acquireStatement(const char *sql); // throws DatabaseError
    void releaseStatement(const char *sql, sqlite3_stmt *statement);

private:
    void createMissingTables();
    void finalizeIdleStatements();
    sqlite3 *m_db = nullptr;
    std::unordered_map<const char *, std::vector<sqlite3_stmt *>> m_idleStatements;
    size_t m_idleCount = 0;
    QString m_path;
};
