// SPDX-License-Identifier: GPL-3.0-or-later
#include "BenchExchange.h"
#include "BenchSupport.h"
#include "gui/MainWindow.h"
#include "gui/Program.h"
#include "gui/Prompts.h"
#include "gui/ExchangeCommands.h"
#include "core/ExchangeContainer.h"
#include "core/XmlNavigator.h"
#include "core/Database.h"
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <sqlite3.h>
#include <zlib.h>

namespace {

double gzipMs(const QByteArray &text)
{
    QElapsedTimer timer;
    timer.start();
    uLongf size = compressBound(uLong(text.size()));
    QByteArray out(qsizetype(size), Qt::Uninitialized);
    compress2(reinterpret_cast<Bytef *>(out.data()), &size, reinterpret_cast<const Bytef *>(text.constData()),
              uLong(text.size()), 9);
    return elapsedMs(timer);
}

// The same rows as the backup holds, inserted by prepared statements in one transaction.
Figures insert(const QString &backup, const QString &folder)
{
    XmlNavigator xml;
    xml.loadFromFile(backup);
    struct Row {
        QByteArray mid, pid, content;
    };
    std::vector<Row> rows;
    for (pugi::xml_node memo : xml.findNode(QStringLiteral("korvel,memos")).children())
        rows.push_back({memo.attribute("mid").value(), memo.attribute("pid").value(), memo.attribute("content").value()});
    QDir().mkpath(folder);
    Database connection;
    connection.open(folder + QStringLiteral("kvData.kvb"));
    return measure([&] {
        connection.execute(QStringLiteral("begin"));
        sqlite3_stmt *stmt = nullptr;
        sqlite3_prepare_v2(connection.handle(),
                           "insert into memos (mid, pid, content, assignTime, createTime, editTime) values (?,?,?,?,?,?)",
                           -1, &stmt, nullptr);
        for (const Row &row : rows) {
            sqlite3_bind_text(stmt, 1, row.mid.constData(), int(row.mid.size()), SQLITE_STATIC);
            sqlite3_bind_text(stmt, 2, row.pid.constData(), int(row.pid.size()), SQLITE_STATIC);
            sqlite3_bind_text(stmt, 3, row.content.constData(), int(row.content.size()), SQLITE_STATIC);
            for (int column = 4; column <= 6; ++column)
                sqlite3_bind_double(stmt, column, 45000.5);
            sqlite3_step(stmt);
            sqlite3_reset(stmt);
        }
        sqlite3_finalize(stmt);
        connection.execute(QStringLiteral("commit"));
    });
}

template <typename Run>
Figures timed(Run run)
{
    return measure([&] {
            if (!run())
                std::fprintf(stderr, "the run did not reach its end\n");
    });
}

// Import of a file whose root holds ten empty elements per memo before its lists: every
// attribute read steps past them by name.
Figures sparseRead(int count, const QString &folder)
{
    QByteArray text = "<korvel app=\"Dayloom\">";
    for (int i = 0; i < 10 * count; ++i)
        text += "<e/>";
    text += "<tasks/><memos>";
    for (int i = 0; i < count; ++i)
        text += "<memo mid=\"{" + QByteArray::number(i) + "}\" pid=\"root\" content=\"memo " + QByteArray::number(i) +
                "\" assign-time=\"2009-03-03T10:00:00.000Z\" create-time=\"2009-03-03T10:00:00.000Z\""
                " edit-time=\"2009-03-03T10:00:00.000Z\"/>";
    text += "</memos></korvel>";
    const QString file = folder + QStringLiteral("sparse.kvx");
    QDir().mkpath(folder);
    ExchangeContainer::writeFile(file, text);
    BenchPrompts prompts(file);
    Program target(folder);
    return timed([&] { return target.exchangeCommands().importFile(); });
}

} // namespace

void runExchangeBenchmarks(Program &program, int count, const QStringList &names)
{
    const QStringList ours = {QStringLiteral("backup"), QStringLiteral("gzip"), QStringLiteral("restore"),
                              QStringLiteral("restore-all"), QStringLiteral("import"), QStringLiteral("insert"),
                              QStringLiteral("read-sparse")};
    bool any = false;
    for (const QString &name : ours)
        any = any || wanted(names, qPrintable(name));
    if (!any)
        return;

    QTemporaryDir dir;
    if (wanted(names, "read-sparse"))
        report("read-sparse", count, sparseRead(count, dir.filePath(QStringLiteral("sparse/"))));
    const QString backup = dir.filePath(QStringLiteral("backup.kvx"));
    BenchPrompts prompts(backup);
    const double backupMs = timed([&] { return program.exchangeCommands().backupDatabase(); }).wallMs;
    if (wanted(names, "backup")) {
        report("backup", count, backupMs, "ms");
        report("backup-file", count, double(QFileInfo(backup).size()) / 1024.0, "KiB");
    }
    if (wanted(names, "gzip"))
        report("gzip", count, gzipMs(ExchangeContainer::readFile(backup)), "ms");

    if (wanted(names, "restore") || wanted(names, "restore-all")) {
        const QString folder = dir.filePath(QStringLiteral("restore/"));
        Program target(folder);
        const Figures restore = timed([&] { return target.exchangeCommands().restoreDatabase(); });
        if (wanted(names, "restore"))
            report("restore", count, restore);
        if (prompts.questions != 0)
            std::fprintf(stderr, "restore into an empty database asked %d questions\n", prompts.questions);
        const Figures all = timed([&] { return target.exchangeCommands().restoreDatabase(); });
        if (wanted(names, "restore-all"))
            report("restore-all", count, all);
    }
    if (wanted(names, "import")) {
        Program target(dir.filePath(QStringLiteral("import/")));
        report("import", count, timed([&] { return target.exchangeCommands().importFile(); }));
    }
    if (wanted(names, "insert"))
        report("insert", count, insert(backup, dir.filePath(QStringLiteral("insert/"))));
}
