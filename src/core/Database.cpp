// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/Database.h"
#include "core/FileAccess.h"
#include "core/DatabaseError.h"
#include "core/RowPrints.h"
#include <QCoreApplication>
#include <QFileInfo>
#include <QThread>
#include <sqlite3.h>

namespace {

// Tables as the catalogue's statements use them. The index on pid keeps the load, which
// asks for the sub-memos of every memo, from scanning the table once per memo.
const char *const kSchema =
    "create table if not exists memos ("
    " mid text not null primary key, pid text, content text,"
    " expandFlag integer not null default 0,"
    " assignTime real, createTime real, editTime real);"
    "create index if not exists memos_pid on memos(pid);"
    "create table if not exists tasks ("
    " tid text not null primary key, pid text, content text,"
    " checkFlag, alarmFlag, dueFlag, textColor, backgroundColor,"
    " createTime real, editTime real, checkTime real, alarmTime real, dueTime real);"
    "create index if not exists tasks_pid on tasks(pid);";

// Storing a change needs the file and, for the rollback journal beside it, its folder. Where
// either is read-only the file is opened read-only, so that isReadOnly() tells callers before
// they try, rather than every write failing on its own.
bool cannotStoreChanges(const QString &path)
{
    if (path == QLatin1String(":memory:"))
        return false;
    const QFileInfo file(path);
    const QString folder = file.absolutePath();
    return isMarkedReadOnly(path) || isMarkedReadOnly(folder) || (file.exists() && !file.isWritable())
           || !QFileInfo(folder).isWritable();
}

constexpr int kLockWaitMs = 3000;
// The engine's own wait backs off to one look every tenth of a second; looking often lets a
// writer in between the short batches of a large sync round instead of waiting it out.
constexpr int kLockPollMs = 5;

int waitForLock(void *, int attempts)
{
    if (attempts * kLockPollMs >= kLockWaitMs)
        return 0;
    QThread::msleep(kLockPollMs);
    return 1;
}

const char *const kMapWholeFile = "pragma mmap_size=1073741824";

QString engineMessage(sqlite3 *db)
{
    return db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory");
}

} // namespace

Database::~Database()
{
    close();
}

void Database::open(const QString &path, LockWait wait)
{
    close();
    sqlite3 *db = nullptr;
    const int flags = cannotStoreChanges(path) ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const QString message = engineMessage(db);
        sqlite3_close(db);
        throw DatabaseError(QCoreApplication::translate("Database", "Unable to open the memo database \"%1\": %2").arg(path, message));
    }
    m_db = db;
    m_path = path;
    addRowPrintFunctions(db);
    // Another program holding a lock briefly is waited for; a longer lock becomes an error.
    setWaitsForLocks(wait != LockWait::None);
    try {
        // Every commit reaches the disk before the statement returns, so a stored memo
        // survives the process being killed right afterwards.
        execute(QStringLiteral("pragma synchronous=full"));
        // Reading the whole list at start touches every page: map the file and keep a
        // generous page cache rather than read it a page at a time.
        execute(QString::fromLatin1(kMapWholeFile));
        execute(QStringLiteral("pragma cache_size=-65536"));
        // Reading the schema is the first touch of the file: a file that is not a database,
        // or one locked by another program, fails here with the engine's message.
        execute(QStringLiteral("select count(*) from sqlite_master"));
        createMissingTables();
    } catch (const DatabaseError &error) {
        const bool busy = dynamic_cast<const DatabaseBusyError *>(&error) != nullptr;
        close();
        const QString message = QCoreApplication::translate("Database", "Unable to open the memo database \"%1\": %2")
                                    .arg(path, QString::fromStdString(error.what()));
        if (busy)
            throw DatabaseBusyError(message);
        throw DatabaseError(message);
    }
    setWaitsForLocks(true);
}

void Database::createMissingTables()
{
    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_prepare_v2(m_db, "select count(*) from sqlite_master where type='table' and name in ('memos','tasks')",
                           -1, &stmt, nullptr)
        != SQLITE_OK)
        throw DatabaseError(engineMessage(m_db));
    const int tables = sqlite3_step(stmt) == SQLITE_ROW ? sqlite3_column_int(stmt, 0) : 0;
    sqlite3_finalize(stmt);
    if (tables == 2)
        return;
    if (isReadOnly())
        throw DatabaseError(QCoreApplication::translate("Database", "the file is read-only and holds no memo tables"));
    execute(QStringLiteral("begin"));
    try {
        execute(QString::fromLatin1(kSchema));
        execute(QStringLiteral("commit"));
    } catch (...) {
        sqlite3_exec(m_db, "rollback", nullptr, nullptr, nullptr);
        throw;
    }
}

void Database::close()
{
    finalizeIdleStatements();
    if (m_db) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
}

bool Database::isReadOnly() const
{
    return m_db && sqlite3_db_readonly(m_db, "main") == 1;
}

sqlite3 *Database::handle() const
{
    if (!m_db)
        throw DatabaseError(QCoreApplication::translate("Database", "The memo database is not open."));
    return m_db;
}

void Database::setWaitsForLocks(bool waits)
{
    sqlite3_busy_handler(m_db, waits ? waitForLock : nullptr, nullptr);
}

qint64 Database::dataVersion()
{
    static const char kSql[] = "pragma data_version";
    sqlite3_stmt *statement = acquireStatement(kSql);
    const int rc = sqlite3_step(statement);
    const qint64 version = rc == SQLITE_ROW ? sqlite3_column_int64(statement, 0) : 0;
    releaseStatement(kSql, statement);
    if (rc != SQLITE_ROW)
        throw DatabaseError(engineMessage(m_db));
    return version;
}

qint64 Database::ownChanges() const
{
    return sqlite3_total_changes64(handle());
}

void Database::execute(const QString &sql)
{
    char *error = nullptr;
    const int rc = sqlite3_exec(handle(), sql.toUtf8().constData(), nullptr, nullptr, &error);
    if (rc != SQLITE_OK) {
        const QString message = error ? QString::fromUtf8(error) : engineMessage(m_db);
        sqlite3_free(error);
        if ((rc & 0xff) == SQLITE_BUSY)
            throw DatabaseBusyError(message);
        throw DatabaseError(message);
    }
}

void Database::releaseMappedPages()
{
    // Lowering the limit unmaps the file; raising it again maps it without touching a page.
    execute(QStringLiteral("pragma mmap_size=0"));
    execute(QString::fromLatin1(kMapWholeFile));
}

sqlite3_stmt *Database::acquireStatement(const char *sql)
{
    auto idle = m_idleStatements.find(sql);
    // Checked in every build: a text that is not a literal could share its address with an
    // earlier one, and running another statement's text would change the wrong rows.
    if (idle != m_idleStatements.end() && !idle->second.empty()
        && qstrcmp(sqlite3_sql(idle->second.back()), sql) == 0) {
        sqlite3_stmt *statement = idle->second.back();
        idle->second.pop_back();
        --m_idleCount;
        return statement;
    }
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_prepare_v2(handle(), sql, -1, &statement, nullptr) != SQLITE_OK)
        throw DatabaseError(engineMessage(m_db));
    return statement;
}

void Database::releaseStatement(const char *sql, sqlite3_stmt *statement)
{
    if (!statement)
        return;
    sqlite3_reset(statement);
    sqlite3_clear_bindings(statement);
    // A handful of statement shapes is all the program uses; anything beyond is not kept.
    constexpr size_t kMaxIdle = 64;
    if (!m_db || m_idleCount >= kMaxIdle) {
        sqlite3_finalize(statement);
        return;
    }
    m_idleStatements[sql].push_back(statement);
    ++m_idleCount;
}

void Database::finalizeIdleStatements()
{
    for (auto &entry : m_idleStatements) {
        for (sqlite3_stmt *statement : entry.second)
            sqlite3_finalize(statement);
    }
    m_idleStatements.clear();
    m_idleCount = 0;
}
