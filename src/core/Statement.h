// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/TimeStamp.h"
#include <QString>

class Database;
struct sqlite3_stmt;

// One prepared statement borrowed from the connection's cache for one use: values are bound
// by position, rows read by column index. It is reset (and so lets go of any read lock) when
// it goes out of scope. Binding or stepping throws DatabaseError.
class Statement {
public:
    // sql is a literal: the cache knows it by its address.
    Statement(Database &database, const char *sql);
    ~Statement();
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    // name says which value was refused in the too-long message.
    Statement &bind(const char *name, const QString &text);
    // UTF-8 that stays where it is until the statement has run: it is not copied.
    Statement &bind(const char *name, QByteArrayView utf8);
    Statement &bind(const char *name, TimeStamp value);
    Statement &bind(const char *name, bool value);
    Statement &bindInteger(const char *name, qint64 value);
    Statement &bindNull(const char *name);
    // A pointer that only a function of ours, knowing type, can read back.
    Statement &bindPointer(void *pointer, const char *type);

    bool nextRow(); // false once the rows are done
    void run();     // a statement that returns no rows
    int changes() const;

    // Empty (NULL) columns read as "", 0 and false.
    bool isNull(int column) const;
    QString text(int column) const;
    // A text column's UTF-8 as the engine holds it, until the next row; null for other types.
    QByteArrayView textBytes(int column) const;
    TimeStamp time(int column) const;
    bool flag(int column) const;
    qint64 integer(int column) const;

private:
    void check(int rc, const char *name, qsizetype bytes);
    [[noreturn]] void fail(int rc);

    Database &m_database;
    const char *m_sql;
    sqlite3_stmt *m_stmt;
    int m_next = 1;
};
