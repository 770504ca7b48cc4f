#include "cli/CliCommands.h"
#include "cli/CliFailure.h"
#include "cli/CliOptions.h"
#include "cli/MemoListing.h"
#include "cli/ReplacePolicy.h"
#include "cli/SyncCommand.h"
#include "cli/TerminalProgress.h"
#include "core/Database.h"
#include "core/DatabaseBackup.h"
#include "core/ExchangeFile.h"
#include "core/ErrorText.h"
#include "core/ExchangeReader.h"
#include "core/MemoId.h"
#include "core/MemoSearch.h"
#include "core/MemoSettingsKeys.h"
#include "core/MemoStore.h"
#include "core/MemoText.h"
#include "core/ProgramFolder.h"
#include "core/Report.h"
#include "core/SettingsFile.h"
#include "core/Statement.h"
#include "core/VersionInfo.h"
#include "core/XmlNavigator.h"
#include <QCoreApplication>
#include <QFile>
#include <QSet>
#include <cstdio>
#include <optional>
#include <unistd.h>

namespace {

const QString kRoot = QStringLiteral("root");

void writeOut(const QByteArray &bytes)
{
    if (std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) != size_t(bytes.size()) || std::fflush(stdout) != 0)
        throw CliFailure(QCoreApplication::translate("Cli", "Unable to write to standard output"));
}

QString programVersion()
{
    return VersionInfo().getValue(2);
}

// The folder, its settings and its database, opened as the program opens them.
class DataFolder {
public:
    explicit DataFolder(const QString &dataDir)
    {
        QStringList arguments{QCoreApplication::applicationFilePath()};
        if (!dataDir.isEmpty())
            arguments << QStringLiteral("--data-dir") << dataDir;
        m_folder = resolveProgramFolder(arguments);
        createProgramFolder(m_folder);
        m_database.open(m_folder + QStringLiteral("kvData.kvb"));
    }
    Database &database() { return m_database; }
    MemoStore &store() { return m_store; }
    SettingsFile settings() const { return SettingsFile(m_folder + QStringLiteral("kvConf.ini")); }
    bool ascending() const
    {
        return SettingsFile(m_folder + QStringLiteral("kvConf.ini")).readBool(kMemoSection, kViewAscEn, true);
    }

private:
    QString m_folder;
    Database m_database;
    MemoStore m_store{m_database};
};

MemoListing filteredListing(DataFolder &folder, const CliOptions &options)
{
    MemoListing listing(folder.store(), folder.ascending());
    if (options.searching)
        listing.filter(searchTextOf(options.search), options.wide);
    return listing;
}

QString readStandardInput()
{
    QFile in;
    if (!in.open(stdin, QIODevice::ReadOnly))
        throw CliFailure(QCoreApplication::translate("Cli", "Unable to read standard input"));
    return QString::fromUtf8(in.readAll());
}

// The memo a new one goes under: the given memo, or the memo a given sub-memo belongs to (as
// adding a sub-memo on a selected sub-memo does in the program).
QString parentFor(MemoStore &store, const QString &id)
{
    std::optional<Memo> parent = store.findMemo(id);
    if (parent && parent->pid != kRoot)
        parent = store.findMemo(parent->pid);
    if (!parent)
        throw CliFailure(QCoreApplication::translate("Cli", "No memo has the id %1").arg(id));
    if (parent->pid != kRoot)
        throw CliFailure(QCoreApplication::translate("Cli", "The memo %1 is out of the program's sight; see the check command").arg(id));
    return parent->mid;
}

int addMemo(DataFolder &folder, const CliOptions &options)
{
    const QString typed = options.argument == QLatin1String("-") ? readStandardInput() : options.argument;
    Memo memo;
    // Stored as the program's editor stores it: CR LF line breaks, right-trimmed.
    memo.content = trimRightControls(Exchange::contentFromFile(typed));
    if (memo.content.isEmpty())
        throw CliFailure(QCoreApplication::translate("Cli", "The memo is empty; nothing was stored."));
    Transaction writing(folder.database(), Transaction::Lock::Immediate);
    memo.pid = options.under.isEmpty() ? kRoot : parentFor(folder.store(), options.under);
    memo.mid = newMemoId();
    memo.createTime = dateTimeNow();
    memo.assignTime = memo.createTime;
    memo.editTime = dateTimeNow();
    folder.store().insert(memo);
    writing.commit();
    writeOut(memo.mid.toUtf8() + '\n');
    return 0;
}

int listMemos(DataFolder &folder, const CliOptions &options)
{
    const MemoListing listing = filteredListing(folder, options);
    writeOut(options.json ? listing.json() : listing.text(options.ids));
    return 0;
}

int backupDatabase(DataFolder &folder, const CliOptions &options)
{
    TerminalProgress progress(QCoreApplication::translate("Cli", "Backing up the database..."));
    XmlNavigator xml;
    {
        // Memos and tasks from one moment, whatever another program writes meanwhile.
        const Transaction reading = folder.store().transaction();
        buildDatabaseBackup(xml, folder.store(), programVersion(), [&progress](qint64 done) { progress.step(done); });
    }
    try {
        xml.saveToFile(options.argument, [&progress](qint64 written) { progress.step(written); });
    } catch (const std::exception &) {
        throw CliFailure(QCoreApplication::translate("Cli", "File write failure!"));
    }
    return 0;
}

int readExchangeFile(DataFolder &folder, const CliOptions &options, bool restore)
{
    TerminalProgress progress(QCoreApplication::translate("Cli", "Reading the file..."));
    XmlNavigator xml;
    try {
        xml.loadFromFile(options.argument, [&progress](qint64 done) { progress.step(done); });
    } catch (const std::exception &) {
        throw CliFailure(QCoreApplication::translate("Cli", "File read failure!"));
    }
    ExchangeReader::checkApp(xml);
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
    ReplacePolicy listener(options.replace, progress);
    ExchangeReader reader(folder.store(), xml, listener);
    progress.setLabel(restore ? QCoreApplication::translate("Cli", "Restoring the database...") : QCoreApplication::translate("Cli", "Importing..."),
                      xml.childCount(Exchange::MemoKind.listPath) + xml.childCount(Exchange::TaskKind.listPath));
    // Without questions the whole run is one transaction, its lock taken (or waited for) at
    // the start. Questions let the lock go while the user thinks, as in the program.
    std::optional<Transaction> writing;
    if (!listener.asks())
        writing.emplace(folder.database(), Transaction::Lock::Immediate);
    try {
        restore ? reader.restore() : reader.import();
    } catch (const std::exception &error) {
        // What was stored stays stored, as in the program.
        throw CliFailure(QCoreApplication::translate("Cli", "%1 %2 memos and %3 tasks were stored before the run ended.")
                             .arg(errorBoxText(QString::fromUtf8(error.what())))
                             .arg(reader.StoredMemos)
                             .arg(reader.StoredTasks));
    }
    if (writing)
        writing->commit();
    return 0;
}

int exportMemos(DataFolder &folder, const CliOptions &options)
{
    const MemoListing listing = filteredListing(folder, options);
    const MemoSelection selection = listing.selection();
    if (selection.empty())
        throw CliFailure(QCoreApplication::translate("Cli", "Please select a memo!"));
    XmlNavigator xml;
    buildSelectionExport(xml, selection, programVersion());
    try {
        xml.saveToFile(options.argument);
    } catch (const std::exception &) {
        throw CliFailure(QCoreApplication::translate("Cli", "File Write Failure !"));
    }
    return 0;
}

int writeReport(DataFolder &folder, const CliOptions &options)
{
    const MemoListing listing = filteredListing(folder, options);
    const ReportFooter footer{dateAndTimeText(QDateTime::currentDateTime(), false), programVersion()};
    const std::vector<ReportItem> items = reportItems(listing.selection());
    const bool html = !options.argument.endsWith(QLatin1String(".txt"), Qt::CaseInsensitive);
    if (!writeReportFile(html ? htmlReportLines(items, footer) : textReportLines(items, footer), options.argument))
        throw CliFailure(QCoreApplication::translate("Cli", "File write failure!"));
    return 0;
}

int checkDatabase(DataFolder &folder)
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
    const std::vector<Memo> memos = folder.store().allMemos();
    QSet<QString> topLevel;
    for (const Memo &memo : memos) {
        if (memo.pid == kRoot)
            topLevel.insert(memo.mid);
    }
    QStringList unseen;
    for (const Memo &memo : memos) {
        if (memo.pid != kRoot && !topLevel.contains(memo.pid))
            unseen << memo.mid;
    }
    if (!unseen.isEmpty())
        problems << QCoreApplication::translate("Cli", "%1 memos are out of the program's sight (under a missing "
                                                       "memo, under themselves or under a sub-memo): %2")
                        .arg(unseen.size())
                        .arg(unseen.join(QLatin1Char(' ')));
    for (const QString &problem : problems)
        std::fprintf(stderr, "jotwell-cli: %s\n", problem.toLocal8Bit().constData());
    return problems.isEmpty() ? 0 : 1;
}

} // namespace

int runCliCommand(const CliOptions &options)
{
    if (options.command == QLatin1String("help")) {
        writeOut(cliUsage().toUtf8());
        return 0;
    }
    if (options.command == QLatin1String("version")) {
        writeOut(QStringLiteral("jotwell-cli %1\n").arg(programVersion()).toUtf8());
        return 0;
    }
    if (options.replace == QLatin1String("ask") && isatty(STDIN_FILENO) != 1)
        throw UsageError(QCoreApplication::translate("Cli", "--replace ask needs a terminal on standard input; give all or none"));
    DataFolder folder(options.dataDir);
    const QString &command = options.command;
    if (command == QLatin1String("add"))
        return addMemo(folder, options);
    if (command == QLatin1String("list"))
        return listMemos(folder, options);
    if (command == QLatin1String("backup"))
        return backupDatabase(folder, options);
    if (command == QLatin1String("restore"))
        return readExchangeFile(folder, options, true);
    if (command == QLatin1String("import"))
        return readExchangeFile(folder, options, false);
    if (command == QLatin1String("export"))
        return exportMemos(folder, options);
    if (command == QLatin1String("report"))
        return writeReport(folder, options);
    if (command == QLatin1String("sync"))
        return runSyncCommand(folder.database(), folder.settings(), options.syncFolder, options.syncStatus);
    return checkDatabase(folder);
}
