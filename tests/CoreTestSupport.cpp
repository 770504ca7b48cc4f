// SPDX-License-Identifier: GPL-3.0-or-later
#include "CoreTestSupport.h"
#include "core/Database.h"
#include "core/DatabaseError.h"
#include <QDir>
#include <sqlite3.h>

TestFolder::TestFolder() : m_dir(QDir::tempPath() + QStringLiteral("/jotwell-test-XXXXXX")) {}

QString TestFolder::path() const
{
    return m_dir.path() + QLatin1Char('/');
}

void insertMemoRow(Database &connection, const QString &mid, const QString &pid, const QString &content,
                   bool expandFlag, double createTime)
{
    sqlite3_stmt *stmt = nullptr;
    sqlite3_prepare_v2(connection.handle(),
                       "insert into memos (mid, pid, content, expandFlag, assignTime, createTime, editTime)"
                       " values (?, ?, ?, ?, ?, ?, ?)",
                       -1, &stmt, nullptr);
    const QByteArray m = mid.toUtf8(), p = pid.toUtf8(), c = content.toUtf8();
    sqlite3_bind_text(stmt, 1, m.constData(), int(m.size()), SQLITE_TRANSIENT);
    sqlite3_bind_text(stmt, 2, p.constData(), int(p.size()), SQLITE_TRANSIENT);
    sqlite3_bind_text(stmt, 3, c.constData(), int(c.size()), SQLITE_TRANSIENT);
    sqlite3_bind_int(stmt, 4, expandFlag ? 1 : 0);
    sqlite3_bind_double(stmt, 5, createTime);
    sqlite3_bind_double(stmt, 6, createTime);
    sqlite3_bind_double(stmt, 7, createTime);
    const int rc = sqlite3_step(stmt);
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE)
        throw DatabaseError(QString::fromUtf8(sqlite3_errmsg(connection.handle())));
}
