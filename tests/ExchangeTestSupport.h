// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Helpers of the exchange tests: an independent reader of exchange files, a fixed time zone,
// raw table access.
#include "FileSizeLimit.h"
#include "core/Database.h"
#include <QFile>
#include <QStringList>
#include <QXmlStreamReader>
#include <QtEndian>
#include <ctime>
#include <sqlite3.h>
#include <zlib.h>

struct XmlElement {
    QStringList names, values; // attributes in document order
    QString value(const char *name) const { return values.value(names.indexOf(QLatin1String(name)), "<missing>"); }
};
struct ExchangeFileContent {
    XmlElement root;
    QStringList sections; // the root's children, by name
    QList<XmlElement> memos, tasks;
    bool ok = false;
};

// Reads an exchange file as another program would: zlib's own decompression, Qt's XML reader.
inline ExchangeFileContent readExchangeFile(const QString &path)
{
    ExchangeFileContent content;
    QFile file(path);
    const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    if (bytes.size() < 10)
        return content;
    uLongf size = uLongf(qFromLittleEndian<qint64>(bytes.constData()));
    QByteArray text(qsizetype(size), Qt::Uninitialized);
    if (uncompress(reinterpret_cast<Bytef *>(text.data()), &size, reinterpret_cast<const Bytef *>(bytes.constData() + 8),
                   uLong(bytes.size() - 8)) != Z_OK)
        return content;
    QXmlStreamReader reader(text);
    for (int depth = 0; !reader.atEnd();) {
        reader.readNext();
        if (reader.isEndElement())
            --depth;
        if (!reader.isStartElement())
            continue;
        XmlElement element;
        for (const QXmlStreamAttribute &attribute : reader.attributes()) {
            element.names << attribute.name().toString();
            element.values << attribute.value().toString();
        }
        if (depth == 0)
            content.root = element;
        else if (depth == 1)
            content.sections << reader.name().toString();
        else if (depth == 2)
            (content.sections.last() == QLatin1String("memos") ? content.memos : content.tasks) << element;
        ++depth;
    }
    content.ok = !reader.hasError();
    return content;
}

// Sets the process's time zone (a POSIX TZ text such as "CST-8").
inline void setZone(const char *zone)
{
    qputenv("TZ", zone);
    tzset();
}

// Every row of a table, each column as text ("<null>" for none), in the table's column order;
// with the rowid first when asked, in rowid order.
inline QList<QStringList> tableRows(Database &connection, const char *table, bool withRowIds = false)
{
    sqlite3_stmt *stmt = nullptr;
    const QByteArray sql = withRowIds ? QByteArray("select rowid, * from ").append(table).append(" order by rowid")
                                      : QByteArray("select * from ").append(table);
    sqlite3_prepare_v2(connection.handle(), sql.constData(), -1, &stmt, nullptr);
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

// A task row with all thirteen columns; from the fourth on, numbers are stored as numbers.
inline void insertTaskRow(Database &connection, const QStringList &values)
{
    sqlite3_stmt *stmt = nullptr;
    sqlite3_prepare_v2(connection.handle(),
                       "insert into tasks (tid, pid, content, checkFlag, alarmFlag, dueFlag, textColor, backgroundColor,"
                       " createTime, editTime, checkTime, alarmTime, dueTime) values (?,?,?,?,?,?,?,?,?,?,?,?,?)",
                       -1, &stmt, nullptr);
    for (int i = 0; i < values.size(); ++i) {
        bool integer = false, number = false;
        const qint64 whole = values[i].toLongLong(&integer);
        const double real = values[i].toDouble(&number);
        if (values[i] == QLatin1String("<null>"))
            sqlite3_bind_null(stmt, i + 1);
        else if (i >= 3 && (integer || number))
            integer ? sqlite3_bind_int64(stmt, i + 1, whole) : sqlite3_bind_double(stmt, i + 1, real);
        else
            sqlite3_bind_text(stmt, i + 1, values[i].toUtf8().constData(), -1, SQLITE_TRANSIENT);
    }
    sqlite3_step(stmt);
    sqlite3_finalize(stmt);
}

inline QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
