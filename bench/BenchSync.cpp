// SPDX-License-Identifier: GPL-3.0-or-later
#include "BenchSync.h"
#include "BenchCli.h"
#include "BenchSupport.h"
#include "core/Database.h"
#include "core/MemoStore.h"
#include "core/sync/SyncRound.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>


void runSyncBenchmarks(const QString &folder, int count, const QStringList &names)
{
    if (!wanted(names, "sync-first") && !wanted(names, "sync-one"))
        return;
    QTemporaryDir dir;
    const QString shared = dir.filePath(QStringLiteral("shared"));
    const QString source = dir.filePath(QStringLiteral("source/"));
    const QString target = dir.filePath(QStringLiteral("target/"));
    QDir().mkpath(shared);
    QDir().mkpath(source);
    QFile::copy(folder + QStringLiteral("kvData.kvb"), source + QStringLiteral("kvData.kvb"));
    // The installation that has the memos puts them in the folder first.
    cliMs(source, {QStringLiteral("sync"), QStringLiteral("--folder"), shared});
    const double syncMs = cliMs(target, {QStringLiteral("sync"), QStringLiteral("--folder"), shared});
    const QString backup = dir.filePath(QStringLiteral("memos.kvx"));
    cliMs(source, {QStringLiteral("backup"), backup});
    const double importMs = cliMs(dir.filePath(QStringLiteral("import/")), {QStringLiteral("import"), backup});
    if (wanted(names, "sync-first")) {
        report("sync-first", count, syncMs, "ms");
        report("sync-first-import", count, importMs, "ms");
        report("sync-first-ratio-pct", count, 100.0 * syncMs / importMs, "%");
    }
    if (wanted(names, "sync-one")) {
        Database from, to;
        from.open(source + QStringLiteral("kvData.kvb"));
        to.open(target + QStringLiteral("kvData.kvb"));
        MemoStore store(from);
        const Memo memo = store.allMemos().at(size_t(count / 2));
        store.updateText(memo.mid, memo.content + QStringLiteral(" changed"), memo.editTime + 1);
        const Figures figures = measure([&] {
            runSyncRound(from, shared);
            runSyncRound(to, shared);
        });
        if (MemoStore(to).findMemo(memo.mid).value_or(Memo{}).content != memo.content + QStringLiteral(" changed"))
            std::fprintf(stderr, "sync-one: the change did not arrive\n");
        report("sync-one", count, figures);
    }
}
