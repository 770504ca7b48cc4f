// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/Statement.h"
#include "core/Database.h"
#include "core/DatabaseError.h"
#include <QCoreApplication>
#include <sqlite3.h>

Statement::Statement(Database &database, const char *sql)
    : m_database(database), m_sql(sql), m_stmt(database.acquireStatement(sql))
{
}

Statement::~Statement()
{
    m_database.releaseStatement(m_sql, m_stmt);
}

Statement &Statement::bind(const char *name, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    check(sqlite3_bind_text64(m_stmt, m_next++, bytes.constData(), sqlite3_uint64(bytes.size()), SQLITE_TRANSIENT,
                              SQLITE_UTF8),
          name, bytes.size());
    return *this;
}

Statement &Statement::bind(const char *name, QByteArrayView utf8)
{
    // A null pointer would bind NULL instead of an empty text.
    check(sqlite3_bind_text64(m_stmt, m_next++, utf8.data() ? utf8.data() : "", sqlite3_uint64(utf8.size()),
                              SQLITE_STATIC, SQLITE_UTF8),
          name, utf8.size());
    return *this;
}

Statement &Statement::bind(const char *name, TimeStamp value)
{
    check(sqlite3_bind_double(m_stmt, m_next++, value), name, 0);
    return *this;
}

Statement &Statement::bind(const char *name, bool value)
{
    check(sqlite3_bind_int(m_stmt, m_next++, value ? 1 : 0), name, 0);
    return *this;
}

Statement &Statement::bindInteger(const char *name, qint64 value)
{
    check(sqlite3_bind_int64(m_stmt, m_next++, value), name, 0);
    return *this;
}

Statement &Statement::bindNull(const char *name)
{
    check(sqlite3_bind_null(m_stmt, m_next++), name, 0);
    return *this;
}

Statement &Statement::bindPointer(void *pointer, const char *type)
{
    check(sqlite3_bind_pointer(m_stmt, m_next++, pointer, type, nullptr), type, 0);
    return *this;
}

// A value the engine refuses must never be stored as an empty one: a parameter whose bind
// failed is left NULL, and the statement would still run.
void Statement::check(int rc, const char *name, qsizetype bytes)
{
    if (rc == SQLITE_OK)
        return;
    if (rc == SQLITE_TOOBIG)
        throw DatabaseError(
            QCoreApplication::translate("Statement", "The %1 is too long to be stored: %2 bytes, where the memo database takes at most %3.")
                .arg(QString::fromUtf8(name))
                .arg(bytes)
                .arg(sqlite3_limit(m_database.handle(), SQLITE_LIMIT_LENGTH, -1)));
    throw DatabaseError(QString::fromUtf8(sqlite3_errstr(rc)));
}

void Statement::fail(int rc)
{
    if (rc == SQLITE_TOOBIG)
        throw DatabaseError(
            QCoreApplication::translate("Statement", "The row is too long to be stored: the memo database takes at most %1 bytes in one row.")
                .arg(sqlite3_limit(m_database.handle(), SQLITE_LIMIT_LENGTH, -1)));
    throw DatabaseError(QString::fromUtf8(sqlite3_errmsg(m_database.handle())));
}

bool Statement::nextRow()
{
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    // The last row read: the statement lets go of the file at once.
    sqlite3_reset(m_stmt);
    if (rc != SQLITE_DONE)
        fail(rc);
    return false;
}

void Statement::run()
{
    while (nextRow()) {
    }
}

int Statement::changes() const
{
    return sqlite3_changes(m_database.handle());
}

bool Statement::isNull(int column) const
{
    return sqlite3_column_type(m_stmt, column) == SQLITE_NULL;
}

QString Statement::text(int column) const
{
    switch (sqlite3_column_type(m_stmt, column)) {
    case SQLITE_NULL:
        return {};
    case SQLITE_INTEGER:
        return QString::number(sqlite3_column_int64(m_stmt, column));
    case SQLITE_FLOAT: {
        // As the engine itself writes the number.
        char buffer[64];
        sqlite3_snprintf(sizeof buffer, buffer, "%!.15g", sqlite3_column_double(m_stmt, column));
        return QString::fromLatin1(buffer);
    }
    default:
        return QString::fromUtf8(static_cast<const char *>(sqlite3_column_blob(m_stmt, column)),
                                 sqlite3_column_bytes(m_stmt, column));
    }
}

QByteArrayView Statement::textBytes(int column) const
{
    if (sqlite3_column_type(m_stmt, column) != SQLITE_TEXT)
        return {};
    // The pointer first: asking for it may convert the text, which changes its length.
    const char *text = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, column));
    return QByteArrayView(text, sqlite3_column_bytes(m_stmt, column));
}

TimeStamp Statement::time(int column) const
{
    return sqlite3_column_double(m_stmt, column); // NULL reads as 0
}

bool Statement::flag(int column) const
{
    switch (sqlite3_column_type(m_stmt, column)) {
    case SQLITE_NULL:
        return false;
    case SQLITE_TEXT: {
        // Older files may hold the words themselves.
        const QString word = text(column).trimmed();
        return word.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 || word.toLongLong() != 0;
    }
    default:
        return sqlite3_column_double(m_stmt, column) != 0;
    }
}

qint64 Statement::integer(int column) const
{
    return sqlite3_column_int64(m_stmt, column);
}
