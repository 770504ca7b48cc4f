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
