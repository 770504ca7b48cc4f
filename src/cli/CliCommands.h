// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <QStringList>

class CliCommandLine;
class CliDataFolder;

// One command of jotwell-cli. A new command is a row of the table (CliCommands.cpp) and its
// function.
struct CliCommand {
    QString name;
    QStringList arguments;   // the names of its arguments, all required
    const char *needs;       // what a missing argument is called in the usage error
    QStringList options;     // long names; those ending in '=' take a value
    void (*check)(const CliCommandLine &); // a usage check beyond the table's (throws UsageError), or null
    int (*run)(CliDataFolder &, const CliCommandLine &); // returns the exit status
};

// The command of that name, or null.
const CliCommand *findCliCommand(const QString &name);

// Opens the data folder as the program does (creating it and the database on a first run,
// nothing else) and runs the command. Throws CliFailure, UsageError or the core's errors;
// returns the exit status otherwise.
int runCliCommand(const CliCommandLine &commandLine);

// The commands' functions. Those that change memos follow the program's rules: texts stored as
// its editor stores them, two levels, the edit time of a changed text. Those that write or read
// files do what the program's command of the same name does, and fail with its texts.
int addMemo(CliDataFolder &folder, const CliCommandLine &line);
int editMemo(CliDataFolder &folder, const CliCommandLine &line);
int deleteMemo(CliDataFolder &folder, const CliCommandLine &line);
int moveMemo(CliDataFolder &folder, const CliCommandLine &line);
int listMemos(CliDataFolder &folder, const CliCommandLine &line);
int backupDatabase(CliDataFolder &folder, const CliCommandLine &line);
int restoreDatabase(CliDataFolder &folder, const CliCommandLine &line);
int importMemos(CliDataFolder &folder, const CliCommandLine &line);
int exportMemos(CliDataFolder &folder, const CliCommandLine &line);
int writeReport(CliDataFolder &folder, const CliCommandLine &line);
int checkDatabase(CliDataFolder &folder, const CliCommandLine &line);
int syncMemos(CliDataFolder &folder, const CliCommandLine &line);

// Usage checks beyond the table's.
void checkMoveTarget(const CliCommandLine &line);    // --under or --top
void checkReplaceAnswer(const CliCommandLine &line); // all, none or ask (on a terminal)
void checkReportName(const CliCommandLine &line);    // .txt, .html or .htm
