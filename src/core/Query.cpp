#include "core/Query.h"
#include "core/Database.h"
#include "core/DatabaseError.h"
#include <cctype>
#include <sqlite3.h>

namespace {

// Statement text with its quoted values taken out and bound instead, so that statements
// that differ only in their values share one compiled statement.
struct BoundText {
    QByteArray sql;
    std::vector<QByteArray> values;
};

BoundText takeOutQuotedValues(const QString &text)
{
    BoundText bound;
    QString sql;
    sql.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != QLatin1Char('\'')) {
            sql += text[i];
            continue;
        }
        QString value;
        qsizetype j = i + 1;
        for (; j < text.size(); ++j) {
            if (text[j] == QLatin1Char('\'')) {
                if (j + 1 < text.size() && text[j + 1] == QLatin1Char('\'')) {
                    value += QLatin1Char('\'');
                    ++j;
                } else {
                    break;
                }
            } else {
                value += text[j];
            }
        }
        if (j >= text.size()) { // unterminated: left for the engine to reject
            sql += text.mid(i);
            break;
        }
        sql += QLatin1Char('?');
        bound.values.push_back(value.toUtf8());
        i = j;
    }
    bound.sql = sql.toUtf8();
    return bound;
}

// "select * from <table> ..." result sets can be appended to and edited. Editing needs the
// row's identity, so such statements are run with the hidden rowid as an extra first column.
// Returns the table name, or an empty text for any other statement.
QString selectAllTable(QByteArray &sql)
{
    const QList<QByteArray> words = sql.simplified().split(' ');
    if (words.size() < 4 || words[0].toLower() != "select" || words[1] != "*" || words[2].toLower() != "from")
        return {};
    QByteArray table = words[3];
    for (qsizetype i = 0; i < table.size(); ++i) {
        const char c = table[i];
        if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '_')) {
            table.truncate(i);
            break;
        }
    }
    if (table.isEmpty())
        return {};
    const qsizetype star = sql.indexOf('*');
    sql.replace(star, 1, "rowid, *");
    return QString::fromUtf8(table);
}

// A compiled statement borrowed from the connection for one use.
class Lease {
public:
    Lease(Database &connection, const QByteArray &sql)
        : m_connection(connection), m_stmt(connection.acquireStatement(sql)) {}
    ~Lease() { m_connection.releaseStatement(m_stmt); }
    Lease(const Lease &) = delete;
    Lease &operator=(const Lease &) = delete;
    sqlite3_stmt *get() const { return m_stmt; }

private:
    Database &m_connection;
    sqlite3_stmt *m_stmt;
};

// Text of a number as the engine itself gives it.
QString numberText(int type, qint64 integer, double real)
{
    if (type == SQLITE_INTEGER)
        return QString::number(integer);
    char buffer[64];
    sqlite3_snprintf(sizeof buffer, buffer, "%!.15g", real);
    return QString::fromLatin1(buffer);
}

} // namespace

Query::Query(Database &connection) : m_connection(connection) {}

Query::~Query()
{
    close();
}

void Query::close()
{
    if (m_stmt) {
        m_connection.releaseStatement(m_stmt);
        m_stmt = nullptr;
    }
    m_eof = true;
    m_statementOnNextRow = false;
    m_row.clear();
    m_hasRowId = false;
    m_table.clear();
    m_columns.clear();
    m_pending = Pending::None;
    m_changes.clear();
}

void Query::throwError(const QString &what) const
{
    throw DatabaseError(what.isEmpty() ? QString::fromUtf8(sqlite3_errmsg(m_connection.handle())) : what);
}

void Query::open()
{
    close();
    BoundText bound = takeOutQuotedValues(sql());
    m_table = selectAllTable(bound.sql);
    m_hasRowId = !m_table.isEmpty();
    m_stmt = m_connection.acquireStatement(bound.sql);
    bindAll(m_stmt, bound.values);
    const int first = m_hasRowId ? 1 : 0;
    const int count = sqlite3_column_count(m_stmt);
    for (int i = first; i < count; ++i)
        m_columns.emplace_back(sqlite3_column_name(m_stmt, i));
    lookAhead();
    step();
}

void Query::execSql()
{
    close();
    const BoundText bound = takeOutQuotedValues(sql());
    const Lease statement(m_connection, bound.sql);
    bindAll(statement.get(), bound.values);
    int rc;
    while ((rc = sqlite3_step(statement.get())) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE)
        throwError({});
}

void Query::bindAll(sqlite3_stmt *statement, const std::vector<QByteArray> &values) const
{
    for (size_t i = 0; i < values.size(); ++i)
        checkBind(sqlite3_bind_text(statement, int(i) + 1, values[i].constData(), int(values[i].size()), SQLITE_TRANSIENT),
                  statement, nullptr, values[i].size());
}

void Query::bindValue(sqlite3_stmt *statement, int index, const char *name, const QVariant &value) const
{
    if (!value.isValid() || value.isNull()) {
        checkBind(sqlite3_bind_null(statement, index), statement, name, 0);
        return;
    }
    switch (value.typeId()) {
    case QMetaType::Bool:
        checkBind(sqlite3_bind_int(statement, index, value.toBool() ? 1 : 0), statement, name, 0);
        break;
    case QMetaType::Double:
    case QMetaType::Float:
        checkBind(sqlite3_bind_double(statement, index, value.toDouble()), statement, name, 0);
        break;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        checkBind(sqlite3_bind_int64(statement, index, value.toLongLong()), statement, name, 0);
        break;
    default: {
        const QByteArray text = value.toString().toUtf8();
        checkBind(sqlite3_bind_text64(statement, index, text.constData(), sqlite3_uint64(text.size()), SQLITE_TRANSIENT,
                                      SQLITE_UTF8),
                  statement, name, text.size());
    }
    }
}

// A value the engine refuses must never be stored as an empty one: a parameter whose bind
// failed is left NULL, and the statement would still run.
void Query::checkBind(int rc, sqlite3_stmt *statement, const char *name, qsizetype bytes) const
{
    if (rc == SQLITE_OK)
        return;
    if (rc == SQLITE_TOOBIG)
        throwError(QStringLiteral("The %1 is too long to be stored: %2 bytes, where the memo database takes at most %3.")
                       .arg(name ? QString::fromUtf8(name) : QStringLiteral("value"))
                       .arg(bytes)
                       .arg(sqlite3_limit(sqlite3_db_handle(statement), SQLITE_LIMIT_LENGTH, -1)));
    throwError(QString::fromUtf8(sqlite3_errstr(rc)));
}

void Query::copyRow()
{
    const int count = sqlite3_column_count(m_stmt);
    m_row.resize(size_t(count));
    for (int i = 0; i < count; ++i) {
        Cell &cell = m_row[size_t(i)];
        cell.type = sqlite3_column_type(m_stmt, i);
        if (cell.type == SQLITE_TEXT || cell.type == SQLITE_BLOB) {
            // Copied before the numeric reads below, which may convert the engine's value.
            const auto *bytes = static_cast<const char *>(sqlite3_column_blob(m_stmt, i));
            cell.text.assign(bytes ? bytes : "", size_t(sqlite3_column_bytes(m_stmt, i)));
        }
        cell.integer = sqlite3_column_int64(m_stmt, i);
        cell.real = sqlite3_column_double(m_stmt, i);
    }
}

// Moves the statement onto the row after the current one; when there is none, the statement
// is reset at once, which ends its read transaction.
void Query::lookAhead()
{
    const int rc = sqlite3_step(m_stmt);
    m_statementOnNextRow = rc == SQLITE_ROW;
    if (m_statementOnNextRow)
        return;
    sqlite3_reset(m_stmt);
    if (rc != SQLITE_DONE) {
        const QString message = QString::fromUtf8(sqlite3_errmsg(m_connection.handle()));
        close();
        throw DatabaseError(message);
    }
}

void Query::step()
{
    m_eof = !m_statementOnNextRow;
    if (m_eof)
        return;
    copyRow();
    lookAhead();
}

void Query::first()
{
    if (!m_stmt)
        throwError(QStringLiteral("The query is not open."));
    sqlite3_reset(m_stmt);
    lookAhead();
    step();
}

void Query::next()
{
    if (m_stmt && !m_eof)
        step();
}

int Query::columnIndex(const char *name) const
{
    for (size_t i = 0; i < m_columns.size(); ++i) {
        if (qstricmp(m_columns[i].constData(), name) == 0)
            return int(i) + (m_hasRowId ? 1 : 0);
    }
    return -1;
}

int Query::requireColumn(const char *name) const
{
    if (!m_stmt)
        throwError(QStringLiteral("The query is not open."));
    const int index = columnIndex(name);
    if (index < 0)
        throwError(QStringLiteral("Field '%1' not found").arg(QString::fromUtf8(name)));
    if (m_eof)
        throwError(QStringLiteral("No current record for field '%1'").arg(QString::fromUtf8(name)));
    return index;
}

QStringList Query::fieldNames() const
{
    QStringList names;
    for (const QByteArray &column : m_columns)
        names << QString::fromUtf8(column);
    return names;
}

QString Query::fieldAsString(const char *name) const
{
    const Cell &cell = m_row[size_t(requireColumn(name))];
    switch (cell.type) {
    case SQLITE_NULL:
        return {};
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
        return numberText(cell.type, cell.integer, cell.real);
    default:
        return QString::fromUtf8(cell.text.data(), qsizetype(cell.text.size()));
    }
}

bool Query::fieldAsBool(const char *name) const
{
    const Cell &cell = m_row[size_t(requireColumn(name))];
    switch (cell.type) {
    case SQLITE_NULL:
        return false;
    case SQLITE_TEXT: {
        const QString text = fieldAsString(name).trimmed();
        return text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 || text.toLongLong() != 0;
    }
    default:
        return cell.real != 0;
    }
}

TimeStamp Query::fieldAsDateTime(const char *name) const
{
    const Cell &cell = m_row[size_t(requireColumn(name))];
    return cell.type == SQLITE_NULL ? 0.0 : cell.real;
}

qint64 Query::fieldAsInteger(const char *name) const
{
    const Cell &cell = m_row[size_t(requireColumn(name))];
    return cell.type == SQLITE_NULL ? 0 : cell.integer;
}

void Query::append()
{
    if (!m_stmt || !m_hasRowId)
        throwError(QStringLiteral("Rows can only be appended to an open \"select * from\" result."));
    m_pending = Pending::Append;
    m_changes.clear();
}

void Query::edit()
{
    if (!m_stmt || !m_hasRowId || m_eof)
        throwError(QStringLiteral("There is no current record to edit."));
    m_editRowId = m_row.front().integer;
    m_pending = Pending::Edit;
    m_changes.clear();
}

void Query::setField(const char *name, const QVariant &value)
{
    if (m_pending == Pending::None)
        throwError(QStringLiteral("The query is not in append or edit mode."));
    if (columnIndex(name) < 0)
        throwError(QStringLiteral("Field '%1' not found").arg(QString::fromUtf8(name)));
    for (auto &change : m_changes) {
        if (qstricmp(change.first.constData(), name) == 0) {
            change.second = value;
            return;
        }
    }
    m_changes.emplace_back(QByteArray(name), value);
}

void Query::post()
{
    if (m_pending == Pending::None)
        throwError(QStringLiteral("The query is not in append or edit mode."));
    QByteArray text;
    if (m_pending == Pending::Append) {
        QByteArray columns, marks;
        for (const auto &change : m_changes) {
            columns += (columns.isEmpty() ? "" : ",") + change.first;
            marks += marks.isEmpty() ? "?" : ",?";
        }
        text = "insert into " + m_table.toUtf8()
               + (m_changes.empty() ? QByteArray(" default values") : " (" + columns + ") values (" + marks + ")");
    } else {
        QByteArray assignments;
        for (const auto &change : m_changes)
            assignments += (assignments.isEmpty() ? "" : ",") + change.first + "=?";
        if (m_changes.empty()) {
            m_pending = Pending::None;
            return;
        }
        text = "update " + m_table.toUtf8() + " set " + assignments + " where rowid=?";
    }
    const Lease statement(m_connection, text);
    const auto changes = std::move(m_changes);
    const Pending pending = m_pending;
    m_pending = Pending::None;
    m_changes.clear();
    int index = 1;
    for (const auto &change : changes)
        bindValue(statement.get(), index++, change.first.constData(), change.second);
    if (pending == Pending::Edit)
        checkBind(sqlite3_bind_int64(statement.get(), index, m_editRowId), statement.get(), "rowid", 0);
    const int rc = sqlite3_step(statement.get());
    if (rc == SQLITE_TOOBIG)
        throwError(QStringLiteral("The row is too long to be stored: the memo database takes at most %1 bytes in one row.")
                       .arg(sqlite3_limit(m_connection.handle(), SQLITE_LIMIT_LENGTH, -1)));
    if (rc != SQLITE_DONE)
        throwError({});
}

void openSql(Query &query, const QString &statement)
{
    query.close();
    query.clearSql();
    query.addSql(statement);
    query.open();
}

void execSql(Query &query, const QString &statement)
{
    query.close();
    query.clearSql();
    query.addSql(statement);
    query.execSql();
}
