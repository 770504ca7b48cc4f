// SPDX-License-Identifier: GPL-3.0-or-later
// The commands that write or read files: backup, restore, import, export, report, check.
#include "cli/CliCommands.h"
#include "cli/CliCommandLine.h"
#include "cli/CliDataFolder.h"
#include "cli/CliFailure.h"
#include "cli/MemoListing.h"
#include "cli/ReplacePolicy.h"
#include "cli/SyncCommand.h"
#include "cli/TerminalProgress.h"
#include "core/DatabaseBackup.h"
#include "core/ExchangeFile.h"
#include "core/ExchangeReader.h"
#include "core/MemoLevels.h"
#include "core/MemoText.h"
#include "core/Report.h"
#include "core/Statement.h"
#include "core/XmlNavigator.h"
#include <QCoreApplication>
#include <QSet>
#include <cstdio>
#include <optional>
#include <unistd.h>

namespace {

int readExchangeFile(CliDataFolder &folder, const CliCommandLine &line, bool restore)
{
    TerminalProgress progress(QCoreApplication::translate("Cli", "Reading the file..."));
    XmlNavigator xml;
    try {
        xml.loadFromFile(line.argument(0), [&progress](qint64 done) { progress.step(done); });
    } catch (const std::exception &) {
        throw CliFailure(QCoreApplication::translate("Cli", "File read failure!"));
    }
    try {
        ExchangeReader::checkApp(xml);
    } catch (const std::exception &error) {
        throw CliFailure(QString::fromUtf8(error.what()));
    }
    // The first record lacking an attribute is told; the run goes on, as it does in the
    // program when the user does not stop it.
    xml.onMissingAttribute = [&progress, told = false](const QString &text) mutable {
        if (told)
            return;
        told = true;
        progress.restartClock();
        std::fprintf(stderr, "jotwell-cli: %s (further records lacking attributes are not told)\n",
                     text.toLocal8Bit().constData());
    };
    ReplacePolicy listener(restore ? line.value(QStringLiteral("replace")) : QStringLiteral("none"), progress);
    ExchangeReader reader(folder.store(), xml, listener);
    progress.setLabel(restore ? QCoreApplication::translate("Cli", "Restoring the database...") : QCoreApplication::translate("Cli", "Importing..."),
                      xml.childCount(Exchange::MemoKind.listPath) + xml.childCount(Exchange::TaskKind.listPath));
    // Without questions the whole run is one transaction, its lock taken (or waited for) at
    // the start. Questions let the lock go while the user thinks, as in the program.
    std::optional<Transaction> writing;
    if (!listener.asks())
        writing.emplace(folder.database(), Transaction::Lock::Immediate);
    const auto work = [&reader, restore] { restore ? reader.restore() : reader.import(); };
    try {
        writing ? reader.runWhole(*writing, work) : work();
    } catch (const std::exception &error) {
        // What was stored stays stored, as in the program.
        throw CliFailure(QString::fromUtf8(error.what()) + QLatin1Char(' ') + reader.storedSoFar().trimmed());
    }
    return 0;
}

} // namespace

int backupDatabase(CliDataFolder &folder, const CliCommandLine &line)
{
    TerminalProgress progress(QCoreApplication::translate("Cli", "Backing up the database..."));
    XmlNavigator xml;
    {
        // Memos and tasks from one moment, whatever another program writes meanwhile.
        const Transaction reading = folder.store().transaction();
        buildDatabaseBackup(xml, folder.store(), programVersion(), [&progress](qint64 done) { progress.step(done); });
    }
    try {
        xml.saveToFile(line.argument(0), [&progress](qint64 written) { progress.step(written); });
    } catch (const std::exception &) {
        throw CliFailure(QCoreApplication::translate("Cli", "File write failure!"));
    }
    return 0;
}

int restoreDatabase(CliDataFolder &folder, const CliCommandLine &line)
{
    return readExchangeFile(folder, line, true);
}

int importMemos(CliDataFolder &folder, const CliCommandLine &line)
{
    return readExchangeFile(folder, line, false);
}

int exportMemos(CliDataFolder &folder, const CliCommandLine &line)
{
    const MemoListing listing = filteredListing(folder, line);
    const MemoSelection selection = listing.selection();
    if (selection.empty())
        throw CliFailure(QCoreApplication::translate("Cli", "Please select a memo!"));
    XmlNavigator xml;
    buildSelectionExport(xml, selection, programVersion());
    try {
        xml.saveToFile(line.argument(0));
    } catch (const std::exception &) {
        throw CliFailure(QCoreApplication::translate("Cli", "File Write Failure !"));
    }
    return 0;
}

int writeReport(CliDataFolder &folder, const CliCommandLine &line)
{
    const MemoListing listing = filteredListing(folder, line);
    const ReportFooter footer{dateAndTimeText(QDateTime::currentDateTime(), false), programVersion()};
    const std::vector<ReportItem> items = reportItems(listing.visibleMemos());
    const QString &fileName = line.argument(0);
    const bool html = !fileName.endsWith(QLatin1String(".txt"), Qt::CaseInsensitive);
    if (!writeReportFile(html ? htmlReportLines(items, footer) : textReportLines(items, footer), fileName))
        throw CliFailure(QCoreApplication::translate("Cli", "File write failure!"));
    return 0;
}

int checkDatabase(CliDataFolder &folder, const CliCommandLine &)
{
    QStringList problems;
    {
        Statement integrity(folder.database(), "pragma integrity_check");
        QStringList findings;
        while (integrity.nextRow())
            findings << integrity.text(0);
        if (findings != QStringList{QStringLiteral("ok")})
            problems << QCoreApplication::translate("Cli", "The memo database is damaged: %1").arg(findings.join(QStringLiteral("; ")));
    }
    // The program shows top-level memos and their sub-memos; anything else is out of sight.
    const QStringList unseen = MemoLevels::outOfSight(folder.store().allMemos());
    if (!unseen.isEmpty())
        problems << QCoreApplication::translate("Cli", "%1 memos are out of the program's sight (under a missing "
                       "memo, under themselves or under a sub-memo): %2")
                        .arg(unseen.size())
                        .arg(unseen.join(QLatin1Char(' ')));
    for (const QString &problem : problems)
        std::fprintf(stderr, "jotwell-cli: %s\n", problem.toLocal8Bit().constData());
    return problems.isEmpty() ? 0 : 1;
}

void checkReplaceAnswer(const CliCommandLine &line)
{
    static const QStringList answers = {QStringLiteral("all"), QStringLiteral("none"), QStringLiteral("ask")};
    const QString answer = line.value(QStringLiteral("replace"));
    if (!answers.contains(answer))
        throw UsageError(QCoreApplication::translate("Cli", "restore needs --replace all, none or ask"));
    if (answer == QLatin1String("ask") && isatty(STDIN_FILENO) != 1)
        throw UsageError(QCoreApplication::translate("Cli", "--replace ask needs a terminal on standard input; give all or none"));
}

void checkReportName(const CliCommandLine &line)
{
    const QString &name = line.argument(0);
    for (const char *extension : {".txt", ".html", ".htm"}) {
        if (name.endsWith(QLatin1String(extension), Qt::CaseInsensitive))
            return;
    }
    throw UsageError(QCoreApplication::translate("Cli", "a report file ends in .txt, .html or .htm"));
}

int syncMemos(CliDataFolder &folder, const CliCommandLine &line)
{
    return runSyncCommand(folder.database(), folder.settings(), line.value(QStringLiteral("folder")),
                          line.isSet(QStringLiteral("status")));
}
