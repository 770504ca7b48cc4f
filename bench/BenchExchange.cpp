#include "BenchExchange.h"
#include "BenchSupport.h"
#include "app/Fm_Main.h"
#include "app/Program.h"
#include "app/Prompts.h"
#include "exchange/Dm_Io.h"
#include "exchange/KvContainer.h"
#include "exchange/pU_XmlTry.h"
#include "store/KvConnection.h"
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <sqlite3.h>
#include <zlib.h>

namespace {

double GzipMs(const QByteArray &text)
{
    QElapsedTimer timer;
    timer.start();
    uLongf size = compressBound(uLong(text.size()));
    QByteArray out(qsizetype(size), Qt::Uninitialized);
    compress2(reinterpret_cast<Bytef *>(out.data()), &size, reinterpret_cast<const Bytef *>(text.constData()),
              uLong(text.size()), 9);
    return ElapsedMs(timer);
}

// The same rows as the backup holds, inserted by prepared statements in one transaction.
double InsertMs(const QString &backup, const QString &folder)
{
    Txmltry xml;
    xml.LoadFromFile(backup);
    struct Row {
        QByteArray mid, pid, content;
    };
    std::vector<Row> rows;
    for (pugi::xml_node memo : xml.FindNode(QStringLiteral("korvel,memos")).children())
        rows.push_back({memo.attribute("mid").value(), memo.attribute("pid").value(), memo.attribute("content").value()});
    QDir().mkpath(folder);
    KvConnection connection;
    connection.open(folder + QStringLiteral("kvData.kvb"));
    QElapsedTimer timer;
    timer.start();
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
    return ElapsedMs(timer);
}

template <typename Run>
double TimedMs(Run run)
{
    QElapsedTimer timer;
    timer.start();
    if (!run())
        std::fprintf(stderr, "the run did not reach its end\n");
    return ElapsedMs(timer);
}

// Import of a file whose root holds ten empty elements per memo before its lists: every
// attribute read steps past them by name.
double SparseReadMs(int count, const QString &folder)
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
    KvContainer::WriteFile(file, text);
    BenchPrompts prompts(file);
    TProgram target(folder);
    return TimedMs([&] { return target.ioDm().ImportFile(); });
}

} // namespace

void RunExchangeBenchmarks(TProgram &program, int count, const QStringList &names)
{
    const QStringList ours = {QStringLiteral("backup"), QStringLiteral("gzip"), QStringLiteral("restore"),
                              QStringLiteral("restore-all"), QStringLiteral("import"), QStringLiteral("insert"),
                              QStringLiteral("read-sparse")};
    bool any = false;
    for (const QString &name : ours)
        any = any || Wanted(names, qPrintable(name));
    if (!any)
        return;

    QTemporaryDir dir;
    if (Wanted(names, "read-sparse"))
        Report("read-sparse", count, SparseReadMs(count, dir.filePath(QStringLiteral("sparse/"))), "ms");
    const QString backup = dir.filePath(QStringLiteral("backup.kvx"));
    BenchPrompts prompts(backup);
    const double backupMs = TimedMs([&] { return program.ioDm().BackupDatabase(); });
    if (Wanted(names, "backup")) {
        Report("backup", count, backupMs, "ms");
        Report("backup-file", count, double(QFileInfo(backup).size()) / 1024.0, "KiB");
    }
    if (Wanted(names, "gzip"))
        Report("gzip", count, GzipMs(KvContainer::ReadFile(backup)), "ms");

    if (Wanted(names, "restore") || Wanted(names, "restore-all")) {
        const QString folder = dir.filePath(QStringLiteral("restore/"));
        TProgram target(folder);
        const double restoreMs = TimedMs([&] { return target.ioDm().RestoreDatabase(); });
        if (Wanted(names, "restore"))
            Report("restore", count, restoreMs, "ms");
        if (prompts.questions != 0)
            std::fprintf(stderr, "restore into an empty database asked %d questions\n", prompts.questions);
        const double allMs = TimedMs([&] { return target.ioDm().RestoreDatabase(); });
        if (Wanted(names, "restore-all"))
            Report("restore-all", count, allMs, "ms");
    }
    if (Wanted(names, "import")) {
        TProgram target(dir.filePath(QStringLiteral("import/")));
        Report("import", count, TimedMs([&] { return target.ioDm().ImportFile(); }), "ms");
    }
    if (Wanted(names, "insert"))
        Report("insert", count, InsertMs(backup, dir.filePath(QStringLiteral("insert/"))), "ms");
}
