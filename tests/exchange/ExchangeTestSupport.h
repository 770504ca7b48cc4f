#pragma once
// Helpers of the exchange tests: an independent reader of exchange files, a fixed time zone,
// and raw table access.
#include "store/KvConnection.h"
#include "store/KvDbError.h"
#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>
#include <QStringList>
#include <QXmlStreamReader>
#include <QtEndian>
#include <ctime>
#include <sqlite3.h>
#include <utility>
#include <zlib.h>

struct XmlElement {
    QString name;
    QList<std::pair<QString, QString>> attributes; // in document order
    QString value(const QString &attribute) const;
    QStringList names() const;
};
struct ExchangeFileContent {
    XmlElement root;
    QStringList sections; // the root's children, by name
    QList<XmlElement> memos;
    QList<XmlElement> tasks;
    bool ok = false;
};

inline QString XmlElement::value(const QString &attribute) const
{
    for (const auto &[name, value] : attributes) {
        if (name == attribute)
            return value;
    }
    return QStringLiteral("<missing>");
}

inline QStringList XmlElement::names() const
{
    QStringList list;
    for (const auto &attribute : attributes)
        list << attribute.first;
    return list;
}

// Reads exchange files as another program would: zlib's own decompression and Qt's XML
// stream reader, nothing of the program's.
inline ExchangeFileContent ReadExchangeFile(const QString &path)
{
    ExchangeFileContent content;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return content;
    const QByteArray bytes = file.readAll();
    if (bytes.size() < 10)
        return content;
    const qint64 length = qFromLittleEndian<qint64>(bytes.constData());
    QByteArray text(qsizetype(length), Qt::Uninitialized);
    uLongf size = uLongf(length);
    if (uncompress(reinterpret_cast<Bytef *>(text.data()), &size, reinterpret_cast<const Bytef *>(bytes.constData() + 8),
                   uLong(bytes.size() - 8)) != Z_OK || size != uLongf(length))
        return content;

    QXmlStreamReader reader(text);
    int depth = 0;
    QString section;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement()) {
            XmlElement element{reader.name().toString(), {}};
            for (const QXmlStreamAttribute &attribute : reader.attributes())
                element.attributes.append({attribute.name().toString(), attribute.value().toString()});
            if (depth == 0) {
                content.root = element;
            } else if (depth == 1) {
                section = element.name;
                content.sections << section;
            } else if (depth == 2 && section == QLatin1String("memos")) {
                content.memos << element;
            } else if (depth == 2 && section == QLatin1String("tasks")) {
                content.tasks << element;
            }
            ++depth;
        } else if (reader.isEndElement()) {
            --depth;
        }
    }
    content.ok = !reader.hasError();
    return content;
}

// Sets the process's time zone (a POSIX TZ text such as "CST-8") for the rest of a test.
inline void SetZone(const char *zone)
{
    qputenv("TZ", zone);
    tzset();
}

// Every row of a table, each column as text ("<null>" for none), in the table's column order.
inline QList<QStringList> TableRows(KvConnection &connection, const char *table)
{
    sqlite3_stmt *stmt = nullptr;
    sqlite3_prepare_v2(connection.handle(), QByteArray("select * from ").append(table).constData(), -1, &stmt, nullptr);
    QList<QStringList> rows;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        QStringList row;
        for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
            const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(stmt, i));
            row << (text ? QString::fromUtf8(text) : QStringLiteral("<null>"));
        }
        rows << row;
    }
    sqlite3_finalize(stmt);
    return rows;
}

// Puts a task row with all thirteen columns straight into the database; "<null>" leaves one empty.
inline void InsertTaskRow(KvConnection &connection, const QStringList &values)
{
    sqlite3_stmt *stmt = nullptr;
    sqlite3_prepare_v2(connection.handle(),
                       "insert into tasks (tid, pid, content, checkFlag, alarmFlag, dueFlag, textColor, backgroundColor,"
                       " createTime, editTime, checkTime, alarmTime, dueTime) values (?,?,?,?,?,?,?,?,?,?,?,?,?)",
                       -1, &stmt, nullptr);
    for (int i = 0; i < values.size(); ++i) {
        bool integer = false, number = false;
        const qint64 whole = values[i].toLongLong(&integer);
        const double value = values[i].toDouble(&number);
        if (values[i] == QLatin1String("<null>"))
            sqlite3_bind_null(stmt, i + 1);
        else if (integer && i >= 3)
            sqlite3_bind_int64(stmt, i + 1, whole);
        else if (number && i >= 3)
            sqlite3_bind_double(stmt, i + 1, value);
        else
            sqlite3_bind_text(stmt, i + 1, values[i].toUtf8().constData(), -1, SQLITE_TRANSIENT);
    }
    const int rc = sqlite3_step(stmt);
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE)
        throw KvDbError(QString::fromUtf8(sqlite3_errmsg(connection.handle())));
}
