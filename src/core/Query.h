#pragma once
#include "core/TimeStamp.h"
#include <QString>
#include <QStringList>
#include <QVariant>
#include <string>
#include <vector>

class Database;
struct sqlite3_stmt;

// A query object over the memo database: statement text in, a forward result set out whose
// columns are read by name. empty (NULL) columns read as "", false, the zero date-time, 0.
// New rows are appended to an open result set and existing rows edited through it; post
// writes the row at once.
//
// The current row is a copy, and the statement is reset as soon as its last row has been
// read: a result set standing on its last (or only) row holds no read lock, so other
// programs can write the file while this one keeps a query open.
class Query {
public:
    explicit Query(Database &connection);
    ~Query();
    Query(const Query &) = delete;
    Query &operator=(const Query &) = delete;

    void close();
    void clearSql() { m_sql.clear(); }
    void addSql(const QString &line) { m_sql.append(line); }
    QString sql() const { return m_sql.join(QLatin1Char('\n')); }

    void open();    // runs the statement and stands on the first row
    void execSql(); // runs the statement, which returns no rows
    bool isActive() const { return m_stmt != nullptr; }

    bool eof() const { return m_eof; }
    void first();
    void next();

    QString fieldAsString(const char *name) const;
    bool fieldAsBool(const char *name) const;
    TimeStamp fieldAsDateTime(const char *name) const;
    qint64 fieldAsInteger(const char *name) const;
    bool hasField(const char *name) const { return columnIndex(name) >= 0; }
    QStringList fieldNames() const;

    void append();                                  // start a new row
    void edit();                                    // start changing the current row
    void setField(const char *name, const QVariant &value);
    void post();                                    // insert or update at once

private:
    enum class Pending { None, Append, Edit };
    int columnIndex(const char *name) const;
    int requireColumn(const char *name) const;
    void step();
    void copyRow();
    void lookAhead();
    void bindAll(sqlite3_stmt *statement, const std::vector<QByteArray> &values) const;
    void bindValue(sqlite3_stmt *statement, int index, const char *name, const QVariant &value) const;
    void checkBind(int rc, sqlite3_stmt *statement, const char *name, qsizetype bytes) const;
    void throwError(const QString &what) const;

    // One column of the current row as the engine gave it.
    struct Cell {
        int type = 0;
        qint64 integer = 0;
        double real = 0;
        std::string text;
    };

    Database &m_connection;
    QStringList m_sql;
    sqlite3_stmt *m_stmt = nullptr;
    bool m_eof = true;
    bool m_statementOnNextRow = false; // false: the statement is reset, no rows remain
    std::vector<Cell> m_row;
    bool m_hasRowId = false;
    QString m_table;
    std::vector<QByteArray> m_columns;
    Pending m_pending = Pending::None;
    qint64 m_editRowId = 0;
    std::vector<std::pair<QByteArray, QVariant>> m_changes;
};

// Runs one statement that returns rows; the query stands on the first row.
void openSql(Query &query, const QString &statement);
// Runs one statement that returns no rows.
void execSql(Query &query, const QString &statement);
