// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CliCommands.h"
#include "cli/CliCommandLine.h"
#include "cli/CliDataFolder.h"
#include <QCoreApplication>

namespace {

const char *const kText = QT_TRANSLATE_NOOP("Cli", "the memo's text (or - for standard input)");
const char *const kIdAndText = QT_TRANSLATE_NOOP("Cli", "a memo's id and its text (or - for standard input)");
const char *const kId = QT_TRANSLATE_NOOP("Cli", "a memo's id");
const char *const kFile = QT_TRANSLATE_NOOP("Cli", "a file name");

const QList<CliCommand> &commands()
{
    using S = QStringList;
    const QString search = QStringLiteral("search=");
    const QString wide = QStringLiteral("wide");
    static const QList<CliCommand> table = {
        {QStringLiteral("add"), S{QStringLiteral("TEXT")}, kText, S{QStringLiteral("under=")}, nullptr, addMemo},
        {QStringLiteral("edit"), S{QStringLiteral("ID"), QStringLiteral("TEXT")}, kIdAndText, S{}, nullptr, editMemo},
        {QStringLiteral("delete"), S{QStringLiteral("ID")}, kId, S{}, nullptr, deleteMemo},
        {QStringLiteral("move"), S{QStringLiteral("ID")}, kId, S{QStringLiteral("under="), QStringLiteral("top")}, checkMoveTarget,
         moveMemo},
        {QStringLiteral("list"), S{}, nullptr, S{search, wide, QStringLiteral("ids"), QStringLiteral("json")}, nullptr, listMemos},
        {QStringLiteral("backup"), S{QStringLiteral("FILE")}, kFile, S{}, nullptr, backupDatabase},
        {QStringLiteral("restore"), S{QStringLiteral("FILE")}, kFile, S{QStringLiteral("replace=")}, checkReplaceAnswer,
         restoreDatabase},
        {QStringLiteral("import"), S{QStringLiteral("FILE")}, kFile, S{}, nullptr, importMemos},
        {QStringLiteral("export"), S{QStringLiteral("FILE")}, kFile, S{search, wide}, nullptr, exportMemos},
        {QStringLiteral("report"), S{QStringLiteral("FILE")}, kFile, S{search, wide}, checkReportName, writeReport},
        {QStringLiteral("check"), S{}, nullptr, S{}, nullptr, checkDatabase},
        {QStringLiteral("sync"), S{}, nullptr, S{QStringLiteral("folder="), QStringLiteral("status")}, nullptr, syncMemos},
    };
    return table;
}

} // namespace

const CliCommand *findCliCommand(const QString &name)
{
    for (const CliCommand &command : commands()) {
        if (command.name == name)
            return &command;
    }
    return nullptr;
}

int runCliCommand(const CliCommandLine &commandLine)
{
    if (commandLine.wantsHelp()) {
        writeOut(cliUsage().toUtf8());
        return 0;
    }
    if (commandLine.wantsVersion()) {
        writeOut(QStringLiteral("jotwell-cli %1\n").arg(programVersion()).toUtf8());
        return 0;
    }
    CliDataFolder folder(commandLine.dataDir());
    return commandLine.command().run(folder, commandLine);
}
