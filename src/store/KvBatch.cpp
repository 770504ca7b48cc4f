#include "store/KvBatch.h"
#include "store/KvDbError.h"
#include <sqlite3.h>

KvBatch::KvBatch(KvConnection &connection) : FConnection(connection)
{
    // Without an open database there is nothing to group; each statement reports that itself.
    if (!connection.isOpen() || !sqlite3_get_autocommit(connection.handle()))
        return;
    FOwns = sqlite3_exec(connection.handle(), "begin", nullptr, nullptr, nullptr) == SQLITE_OK;
}

KvBatch::~KvBatch()
{
    // Reached without commit() only while an error is on its way to the user.
    if (FOwns && FConnection.isOpen() && sqlite3_exec(FConnection.handle(), "commit", nullptr, nullptr, nullptr) != SQLITE_OK)
        sqlite3_exec(FConnection.handle(), "rollback", nullptr, nullptr, nullptr);
}

void KvBatch::commit()
{
    if (!FOwns)
        return;
    FOwns = false;
    sqlite3 *db = FConnection.handle();
    if (sqlite3_exec(db, "commit", nullptr, nullptr, nullptr) != SQLITE_OK) {
        const QString message = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_exec(db, "rollback", nullptr, nullptr, nullptr);
        throw KvDbError(message);
    }
}
