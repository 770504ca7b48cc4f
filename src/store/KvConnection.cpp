#include "store/KvConnection.h"
#include "components/KvFileAccess.h"
#include "store/KvDbError.h"
#include <QFileInfo>
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
bool CannotStoreChanges(const QString &path)
{
    if (path == QLatin1String(":memory:"))
        return false;
    const QFileInfo file(path);
    const QString folder = file.absolutePath();
    return IsMarkedReadOnly(path) || IsMarkedReadOnly(folder) || (file.exists() && !file.isWritable())
           || !QFileInfo(folder).isWritable();
}

QString engineMessage(sqlite3 *db)
{
    return db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory");
}

} // namespace

KvConnection::~KvConnection()
{
    close();
}

void KvConnection::open(const QString &path)
{
    close();
    sqlite3 *db = nullptr;
    const int flags = CannotStoreChanges(path) ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const QString message = engineMessage(db);
        sqlite3_close(db);
        throw KvDbError(QStringLiteral("Unable to open the memo database \"%1\": %2").arg(path, message));
    }
    FDb = db;
    FPath = path;
    // Another program holding a lock briefly is waited for; a longer lock becomes an error.
    sqlite3_busy_timeout(FDb, 3000);
    try {
        // Every commit reaches the disk before the statement returns, so a stored memo
        // survives the process being killed right afterwards.
        execute(QStringLiteral("pragma synchronous=full"));
        // Reading the whole list at start touches every page: map the file and keep a
        // generous page cache rather than read it a page at a time.
        execute(QStringLiteral("pragma mmap_size=1073741824"));
        execute(QStringLiteral("pragma cache_size=-65536"));
        // Reading the schema is the first touch of the file: a file that is not a database,
        // or one locked by another program, fails here with the engine's message.
        execute(QStringLiteral("select count(*) from sqlite_master"));
        createMissingTables();
    } catch (const KvDbError &error) {
        close();
        throw KvDbError(QStringLiteral("Unable to open the memo database \"%1\": %2")
                            .arg(path, QString::fromStdString(error.what())));
    }
}

void KvConnection::createMissingTables()
{
    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_prepare_v2(FDb, "select count(*) from sqlite_master where type='table' and name in ('memos','tasks')",
                           -1, &stmt, nullptr)
        != SQLITE_OK)
        throw KvDbError(engineMessage(FDb));
    const int tables = sqlite3_step(stmt) == SQLITE_ROW ? sqlite3_column_int(stmt, 0) : 0;
    sqlite3_finalize(stmt);
    if (tables == 2)
        return;
    if (isReadOnly())
        throw KvDbError(QStringLiteral("the file is read-only and holds no memo tables"));
    execute(QStringLiteral("begin"));
    try {
        execute(QString::fromLatin1(kSchema));
        execute(QStringLiteral("commit"));
    } catch (...) {
        sqlite3_exec(FDb, "rollback", nullptr, nullptr, nullptr);
        throw;
    }
}

void KvConnection::close()
{
    finalizeIdleStatements();
    if (FDb) {
        sqlite3_close_v2(FDb);
        FDb = nullptr;
    }
}

bool KvConnection::isReadOnly() const
{
    return FDb && sqlite3_db_readonly(FDb, "main") == 1;
}

sqlite3 *KvConnection::handle() const
{
    if (!FDb)
        throw KvDbError(QStringLiteral("The memo database is not open."));
    return FDb;
}

void KvConnection::execute(const QString &sql)
{
    char *error = nullptr;
    if (sqlite3_exec(handle(), sql.toUtf8().constData(), nullptr, nullptr, &error) != SQLITE_OK) {
        const QString message = error ? QString::fromUtf8(error) : engineMessage(FDb);
        sqlite3_free(error);
        throw KvDbError(message);
    }
}

sqlite3_stmt *KvConnection::acquireStatement(const QByteArray &sql)
{
    auto idle = FIdleStatements.find(sql.toStdString());
    if (idle != FIdleStatements.end() && !idle->second.empty()) {
        sqlite3_stmt *statement = idle->second.back();
        idle->second.pop_back();
        --FIdleCount;
        return statement;
    }
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_prepare_v2(handle(), sql.constData(), int(sql.size()), &statement, nullptr) != SQLITE_OK)
        throw KvDbError(engineMessage(FDb));
    return statement;
}

void KvConnection::releaseStatement(sqlite3_stmt *statement)
{
    if (!statement)
        return;
    sqlite3_reset(statement);
    sqlite3_clear_bindings(statement);
    // A handful of statement shapes is all the program uses; anything beyond is not kept.
    constexpr size_t kMaxIdle = 64;
    if (!FDb || FIdleCount >= kMaxIdle) {
        sqlite3_finalize(statement);
        return;
    }
    FIdleStatements[sqlite3_sql(statement)].push_back(statement);
    ++FIdleCount;
}

void KvConnection::finalizeIdleStatements()
{
    for (auto &entry : FIdleStatements) {
        for (sqlite3_stmt *statement : entry.second)
            sqlite3_finalize(statement);
    }
    FIdleStatements.clear();
    FIdleCount = 0;
}
