#include "store/KvQuery.h"
#include "store/KvConnection.h"
#include "store/KvDbError.h"
#include <cctype>
#include <sqlite3.h>

namespace {

// Statement text with its quoted values taken out and bound instead, so that statements
// that differ only in their values share one compiled statement.
struct BoundText {
    QByteArray sql;
    std::vector<QByteArray> values;
};

BoundText TakeOutQuotedValues(const QString &text)
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
QString SelectAllTable(QByteArray &sql)
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
    Lease(KvConnection &connection, const QByteArray &sql)
        : FConnection(connection), FStmt(connection.acquireStatement(sql)) {}
    ~Lease() { FConnection.releaseStatement(FStmt); }
    Lease(const Lease &) = delete;
    Lease &operator=(const Lease &) = delete;
    sqlite3_stmt *get() const { return FStmt; }

private:
    KvConnection &FConnection;
    sqlite3_stmt *FStmt;
};

// Text of a number as the engine itself gives it.
QString NumberText(int type, qint64 integer, double real)
{
    if (type == SQLITE_INTEGER)
        return QString::number(integer);
    char buffer[64];
    sqlite3_snprintf(sizeof buffer, buffer, "%!.15g", real);
    return QString::fromLatin1(buffer);
}

} // namespace

KvQuery::KvQuery(KvConnection &connection) : FConnection(connection) {}

KvQuery::~KvQuery()
{
    close();
}

void KvQuery::close()
{
    if (FStmt) {
        FConnection.releaseStatement(FStmt);
        FStmt = nullptr;
    }
    FEof = true;
    FStatementOnNextRow = false;
    FRow.clear();
    FHasRowId = false;
    FTable.clear();
    FColumns.clear();
    FPending = Pending::None;
    FChanges.clear();
}

void KvQuery::throwError(const QString &what) const
{
    throw KvDbError(what.isEmpty() ? QString::fromUtf8(sqlite3_errmsg(FConnection.handle())) : what);
}

void KvQuery::open()
{
    close();
    BoundText bound = TakeOutQuotedValues(sql());
    FTable = SelectAllTable(bound.sql);
    FHasRowId = !FTable.isEmpty();
    FStmt = FConnection.acquireStatement(bound.sql);
    bindAll(FStmt, bound.values);
    const int first = FHasRowId ? 1 : 0;
    const int count = sqlite3_column_count(FStmt);
    for (int i = first; i < count; ++i)
        FColumns.emplace_back(sqlite3_column_name(FStmt, i));
    lookAhead();
    step();
}

void KvQuery::execSql()
{
    close();
    const BoundText bound = TakeOutQuotedValues(sql());
    const Lease statement(FConnection, bound.sql);
    bindAll(statement.get(), bound.values);
    int rc;
    while ((rc = sqlite3_step(statement.get())) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE)
        throwError({});
}

void KvQuery::bindAll(sqlite3_stmt *statement, const std::vector<QByteArray> &values) const
{
    for (size_t i = 0; i < values.size(); ++i)
        checkBind(sqlite3_bind_text(statement, int(i) + 1, values[i].constData(), int(values[i].size()), SQLITE_TRANSIENT),
                  statement, nullptr, values[i].size());
}

void KvQuery::bindValue(sqlite3_stmt *statement, int index, const char *name, const QVariant &value) const
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
void KvQuery::checkBind(int rc, sqlite3_stmt *statement, const char *name, qsizetype bytes) const
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

void KvQuery::copyRow()
{
    const int count = sqlite3_column_count(FStmt);
    FRow.resize(size_t(count));
    for (int i = 0; i < count; ++i) {
        Cell &cell = FRow[size_t(i)];
        cell.type = sqlite3_column_type(FStmt, i);
        if (cell.type == SQLITE_TEXT || cell.type == SQLITE_BLOB) {
            // Copied before the numeric reads below, which may convert the engine's value.
            const auto *bytes = static_cast<const char *>(sqlite3_column_blob(FStmt, i));
            cell.text.assign(bytes ? bytes : "", size_t(sqlite3_column_bytes(FStmt, i)));
        }
        cell.integer = sqlite3_column_int64(FStmt, i);
        cell.real = sqlite3_column_double(FStmt, i);
    }
}

// Moves the statement onto the row after the current one; when there is none, the statement
// is reset at once, which ends its read transaction.
void KvQuery::lookAhead()
{
    const int rc = sqlite3_step(FStmt);
    FStatementOnNextRow = rc == SQLITE_ROW;
    if (FStatementOnNextRow)
        return;
    sqlite3_reset(FStmt);
    if (rc != SQLITE_DONE) {
        const QString message = QString::fromUtf8(sqlite3_errmsg(FConnection.handle()));
        close();
        throw KvDbError(message);
    }
}

void KvQuery::step()
{
    FEof = !FStatementOnNextRow;
    if (FEof)
        return;
    copyRow();
    lookAhead();
}

void KvQuery::first()
{
    if (!FStmt)
        throwError(QStringLiteral("The query is not open."));
    sqlite3_reset(FStmt);
    lookAhead();
    step();
}

void KvQuery::next()
{
    if (FStmt && !FEof)
        step();
}

int KvQuery::columnIndex(const char *name) const
{
    for (size_t i = 0; i < FColumns.size(); ++i) {
        if (qstricmp(FColumns[i].constData(), name) == 0)
            return int(i) + (FHasRowId ? 1 : 0);
    }
    return -1;
}

int KvQuery::requireColumn(const char *name) const
{
    if (!FStmt)
        throwError(QStringLiteral("The query is not open."));
    const int index = columnIndex(name);
    if (index < 0)
        throwError(QStringLiteral("Field '%1' not found").arg(QString::fromUtf8(name)));
    if (FEof)
        throwError(QStringLiteral("No current record for field '%1'").arg(QString::fromUtf8(name)));
    return index;
}

QStringList KvQuery::fieldNames() const
{
    QStringList names;
    for (const QByteArray &column : FColumns)
        names << QString::fromUtf8(column);
    return names;
}

QString KvQuery::fieldAsString(const char *name) const
{
    const Cell &cell = FRow[size_t(requireColumn(name))];
    switch (cell.type) {
    case SQLITE_NULL:
        return {};
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
        return NumberText(cell.type, cell.integer, cell.real);
    default:
        return QString::fromUtf8(cell.text.data(), qsizetype(cell.text.size()));
    }
}

bool KvQuery::fieldAsBool(const char *name) const
{
    const Cell &cell = FRow[size_t(requireColumn(name))];
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

TDateTime KvQuery::fieldAsDateTime(const char *name) const
{
    const Cell &cell = FRow[size_t(requireColumn(name))];
    return cell.type == SQLITE_NULL ? 0.0 : cell.real;
}

qint64 KvQuery::fieldAsInteger(const char *name) const
{
    const Cell &cell = FRow[size_t(requireColumn(name))];
    return cell.type == SQLITE_NULL ? 0 : cell.integer;
}

void KvQuery::append()
{
    if (!FStmt || !FHasRowId)
        throwError(QStringLiteral("Rows can only be appended to an open \"select * from\" result."));
    FPending = Pending::Append;
    FChanges.clear();
}

void KvQuery::edit()
{
    if (!FStmt || !FHasRowId || FEof)
        throwError(QStringLiteral("There is no current record to edit."));
    FEditRowId = FRow.front().integer;
    FPending = Pending::Edit;
    FChanges.clear();
}

void KvQuery::setField(const char *name, const QVariant &value)
{
    if (FPending == Pending::None)
        throwError(QStringLiteral("The query is not in append or edit mode."));
    if (columnIndex(name) < 0)
        throwError(QStringLiteral("Field '%1' not found").arg(QString::fromUtf8(name)));
    for (auto &change : FChanges) {
        if (qstricmp(change.first.constData(), name) == 0) {
            change.second = value;
            return;
        }
    }
    FChanges.emplace_back(QByteArray(name), value);
}

void KvQuery::post()
{
    if (FPending == Pending::None)
        throwError(QStringLiteral("The query is not in append or edit mode."));
    QByteArray text;
    if (FPending == Pending::Append) {
        QByteArray columns, marks;
        for (const auto &change : FChanges) {
            columns += (columns.isEmpty() ? "" : ",") + change.first;
            marks += marks.isEmpty() ? "?" : ",?";
        }
        text = "insert into " + FTable.toUtf8()
               + (FChanges.empty() ? QByteArray(" default values") : " (" + columns + ") values (" + marks + ")");
    } else {
        QByteArray assignments;
        for (const auto &change : FChanges)
            assignments += (assignments.isEmpty() ? "" : ",") + change.first + "=?";
        if (FChanges.empty()) {
            FPending = Pending::None;
            return;
        }
        text = "update " + FTable.toUtf8() + " set " + assignments + " where rowid=?";
    }
    const Lease statement(FConnection, text);
    const auto changes = std::move(FChanges);
    const Pending pending = FPending;
    FPending = Pending::None;
    FChanges.clear();
    int index = 1;
    for (const auto &change : changes)
        bindValue(statement.get(), index++, change.first.constData(), change.second);
    if (pending == Pending::Edit)
        checkBind(sqlite3_bind_int64(statement.get(), index, FEditRowId), statement.get(), "rowid", 0);
    const int rc = sqlite3_step(statement.get());
    if (rc == SQLITE_TOOBIG)
        throwError(QStringLiteral("The row is too long to be stored: the memo database takes at most %1 bytes in one row.")
                       .arg(sqlite3_limit(FConnection.handle(), SQLITE_LIMIT_LENGTH, -1)));
    if (rc != SQLITE_DONE)
        throwError({});
}
