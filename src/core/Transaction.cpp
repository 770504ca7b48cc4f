// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/Transaction.h"
#include "core/DatabaseError.h"
#include <sqlite3.h>

Transaction::Transaction(Database &connection, Lock lock, OnFailure onFailure)
    : m_connection(connection), m_onFailure(onFailure)
{
    // Without an open database there is nothing to group; each statement reports that itself.
    if (!connection.isOpen() || !sqlite3_get_autocommit(connection.handle()))
        return;
    if (lock == Lock::Immediate) {
        connection.execute(QStringLiteral("begin immediate"));
        m_owns = true;
        return;
    }
    m_owns = sqlite3_exec(connection.handle(), "begin", nullptr, nullptr, nullptr) == SQLITE_OK;
}

Transaction::Transaction(Transaction &&other) noexcept
    : m_connection(other.m_connection), m_owns(std::exchange(other.m_owns, false)), m_onFailure(other.m_onFailure)
{
}

Transaction::~Transaction()
{
    // Reached without commit() only while an error is on its way to the user.
    if (!m_owns || !m_connection.isOpen())
        return;
    sqlite3 *db = m_connection.handle();
    if (m_onFailure == OnFailure::TakeBack || sqlite3_exec(db, "commit", nullptr, nullptr, nullptr) != SQLITE_OK)
        sqlite3_exec(db, "rollback", nullptr, nullptr, nullptr);
}

void Transaction::commit()
{
    if (!m_owns)
        return;
    m_owns = false;
    sqlite3 *db = m_connection.handle();
    if (sqlite3_exec(db, "commit", nullptr, nullptr, nullptr) != SQLITE_OK) {
        const QString message = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_exec(db, "rollback", nullptr, nullptr, nullptr);
        throw DatabaseError(message);
    }
}
