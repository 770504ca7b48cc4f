// SPDX-License-Identifier: GPL-3.0-or-later
#include "BenchCli.h"
#include "BenchSupport.h"
#include "gui/ExchangeCommands.h"
#include "gui/Program.h"
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>

namespace {

constexpr int kRuns = 3;

} // namespace

double cliMs(const QString &folder, const QStringList &arguments)
{
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer timer;
    timer.start();
    process.start(QCoreApplication::applicationDirPath() + QStringLiteral("/jotwell-cli"),
                  QStringList{QStringLiteral("--data-dir"), folder} + arguments);
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        std::fprintf(stderr, "jotwell-cli %s did not succeed\n", qPrintable(arguments.join(QLatin1Char(' '))));
    return elapsedMs(timer);
}

namespace {

double best(double sofar, double ms)
{
    return sofar < 0 ? ms : std::min(sofar, ms);
}

} // namespace

void runCliBenchmarks(Program &program, const QString &folder, int count, const QStringList &names)
{
    QTemporaryDir dir;
    if (wanted(names, "cli-backup")) {
        const QString file = dir.filePath(QStringLiteral("cli.kvx"));
        BenchPrompts prompts(dir.filePath(QStringLiteral("program.kvx")));
        // Turn about, so that a busy spell of the machine weighs on both alike.
        double programMs = -1, cliBackupMs = -1;
        for (int i = 0; i < kRuns; ++i) {
            QElapsedTimer timer;
            timer.start();
            program.exchangeCommands().backupDatabase();
            programMs = best(programMs, elapsedMs(timer));
            cliBackupMs = best(cliBackupMs, cliMs(folder, {QStringLiteral("backup"), file}));
        }
        report("cli-backup", count, cliBackupMs, "ms");
        report("cli-backup-program", count, programMs, "ms");
        report("cli-backup-ratio-pct", count, 100.0 * cliBackupMs / programMs, "%");
    }
    if (wanted(names, "cli-list")) {
        double listMs = -1;
        for (int i = 0; i < kRuns; ++i)
            listMs = best(listMs, cliMs(folder, {QStringLiteral("list")}));
        report("cli-list", count, listMs, "ms");
    }
}
