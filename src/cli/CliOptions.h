#pragma once
#include <QString>
#include <QStringList>

// The command line of jotwell-cli, checked: a usage error throws UsageError.
struct CliOptions {
    QString dataDir;   // empty: found as the program finds it
    QString command;   // add, list, backup, restore, import, export, report, check, sync, help, version
    QString argument;  // the text or file the command takes
    QString under;     // add --under
    QString search;    // --search, as typed
    bool searching = false;
    bool wide = false;
    bool ids = false;
    bool json = false;
    QString replace; // restore --replace: all, none or ask
    QString syncFolder; // sync --folder
    bool syncStatus = false;

    static CliOptions parse(const QStringList &arguments);
};

// The text --help prints.
QString cliUsage();
