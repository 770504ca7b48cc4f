// SPDX-License-Identifier: GPL-3.0-or-later
// Benchmarks: jotwell-bench [NAME...] runs the named measurements (all when none is named)
// for 10,000 and 100,000 memos (or the --size N given) and prints "BENCH <name> <N> <value> <unit>" lines.
#include "BenchCli.h"
#include "BenchData.h"
#include "BenchExchange.h"
#include "BenchMemos.h"
#include "BenchStart.h"
#include "BenchSync.h"
#include "BenchSupport.h"
#include "gui/MainWindow.h"
#include "gui/Application.h"
#include "gui/Program.h"
#include "gui/MemoPane.h"
#include "treeview/MemoTree.h"
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>
#include <sqlite3.h>

namespace {

Figures scan(const QString &path)
{
    sqlite3 *db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    qint64 bytes = 0;
    const Figures figures = measure([&] {
        sqlite3_stmt *stmt = nullptr;
        sqlite3_prepare_v2(db, "select * from memos", -1, &stmt, nullptr);
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
                sqlite3_column_text(stmt, i);
                bytes += sqlite3_column_bytes(stmt, i);
            }
        }
        sqlite3_finalize(stmt);
    });
    sqlite3_close(db);
    return bytes > 0 ? figures : Figures{-1, -1};
}

void runSize(int count, const QStringList &names)
{
    QTemporaryDir dir;
    const QString folder = dir.path() + QLatin1Char('/');
    generateMemoFolder(folder, count);

    if (wanted(names, "scan"))
        report("scan", count, scan(folder + QStringLiteral("kvData.kvb")));
    // Fresh processes, before this one holds the database.
    runStartBenchmarks(folder, count, names);
    runSyncBenchmarks(folder, count, names);

    Program program(folder);
    MainWindow &mainWindow = program.mainWindow();
    mainWindow.resize(1000, 800);
    FirstTreePaint firstPaint(mainWindow);
    const Figures reload = measure([&] {
        // The first show builds the frame and posts the reload and the ready sort.
        mainWindow.show();
        while (!firstPaint.seen())
            QCoreApplication::processEvents();
    });
    if (wanted(names, "reload"))
        report("reload", count, reload);
    // Before the memo commands, which change the database.
    runExchangeBenchmarks(program, count, names);
    runCliBenchmarks(program, folder, count, names);
    runMemoBenchmarks(program, count, names);
}

// The figures are this program's output; Qt's notes on the offscreen platform (no window
// manager, no size hints) would bury them. The benchmarks report their own faults on stderr.
void keepQtQuiet(QtMsgType type, const QMessageLogContext &, const QString &text)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", qPrintable(text));
}

} // namespace

int main(int argc, char **argv)
{
    // First of all, so that the start benchmarks' child processes keep quiet too.
    qInstallMessageHandler(keepQtQuiet);
    if (runStartChild(argc, argv))
        return 0;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    Application application(argc, argv);
    QStringList names = application.arguments().mid(1);
    // --size N measures one data size only (for profiling).
    QList<int> sizes = {10000, 100000};
    const qsizetype sizeOption = names.indexOf(QStringLiteral("--size"));
    if (sizeOption >= 0 && sizeOption + 1 < names.size()) {
        sizes = {names[sizeOption + 1].toInt()};
        names.remove(sizeOption, 2);
    }
    for (int count : sizes)
        runSize(count, names);
    return 0;
}
