// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QCommandLineParser>
#include <QString>
#include <QStringList>
#include <memory>

struct CliCommand;

// The command line of jotwell-cli, checked against the command table: a usage error throws
// UsageError. The options before the command are the tool's own (--data-dir, --help,
// --version); those after it are the command's, in any order, "--" ending them.
class CliCommandLine {
public:
    explicit CliCommandLine(const QStringList &arguments);

    bool wantsHelp() const { return m_help; }
    bool wantsVersion() const { return m_version; }
    QString dataDir() const { return m_dataDir; } // empty: found as the program finds it
    const CliCommand &command() const { return *m_command; }

    // The command's arguments in their order (an id, a text, a file name).
    QString argument(int index) const { return m_arguments.value(index); }
    // An option of the command, by its long name without dashes.
    bool isSet(const QString &option) const { return m_options->isSet(option); }
    QString value(const QString &option) const { return m_options->value(option); }

private:
    bool m_help = false;
    bool m_version = false;
    QString m_dataDir;
    const CliCommand *m_command = nullptr;
    QStringList m_arguments;
    std::unique_ptr<QCommandLineParser> m_options;
};

// The text --help prints.
QString cliUsage();
