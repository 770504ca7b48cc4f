// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CliCommandLine.h"
#include "cli/CliCommands.h"
#include "cli/CliFailure.h"
#include "core/ProgramFolder.h"
#include <QCoreApplication>

namespace {

// A memo's text may begin with a dash; "-x" is then an option named x, which no command has.
QString typedOption(const QStringList &arguments, const QString &name)
{
    for (const QString &argument : arguments) {
        if (argument.startsWith(QLatin1Char('-'))
            && argument.mid(argument.startsWith(QLatin1String("--")) ? 2 : 1).section(QLatin1Char('='), 0, 0) == name)
            return argument;
    }
    return QStringLiteral("--") + name;
}

// Parses or throws UsageError; the unknown option is told with the text the caller gives.
void parseOrRefuse(QCommandLineParser &parser, const QStringList &arguments, const QString &unknownText)
{
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    if (parser.parse(arguments))
        return;
    if (!parser.unknownOptionNames().isEmpty())
        throw UsageError(unknownText.arg(typedOption(arguments, parser.unknownOptionNames().constFirst())));
    throw UsageError(parser.errorText());
}

} // namespace

CliCommandLine::CliCommandLine(const QStringList &arguments) : m_options(std::make_unique<QCommandLineParser>())
{
    QCommandLineParser tool;
    const QCommandLineOption help(QStringLiteral("help"));
    const QCommandLineOption version(QStringLiteral("version"));
    const QCommandLineOption dataDir = dataDirOption();
    tool.addOptions({help, version, dataDir});
    tool.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    parseOrRefuse(tool, arguments, QCoreApplication::translate("Cli", "unknown option %1"));
    m_help = tool.isSet(help);
    m_version = tool.isSet(version);
    if (m_help || m_version)
        return;
    m_dataDir = tool.value(dataDir);
    if (tool.isSet(dataDir) && m_dataDir.isEmpty())
        throw UsageError(QCoreApplication::translate("ProgramFolder", "--data-dir needs a folder"));
    QStringList rest = tool.positionalArguments();
    if (rest.isEmpty())
        throw UsageError(QCoreApplication::translate("Cli", "no command given"));
    m_command = findCliCommand(rest.constFirst());
    if (!m_command)
        throw UsageError(QCoreApplication::translate("Cli", "unknown command %1").arg(rest.constFirst()));

    const QString name = rest.takeFirst();
    for (const QString &option : m_command->options) {
        const bool takesValue = option.endsWith(QLatin1Char('='));
        m_options->addOption(takesValue ? QCommandLineOption(option.chopped(1), QString(), QStringLiteral("value"))
                                        : QCommandLineOption(option));
    }
    parseOrRefuse(*m_options, QStringList{arguments.constFirst()} + rest,
                  QCoreApplication::translate("Cli", "%1 takes no option %2").arg(name, QStringLiteral("%1")));
    m_arguments = m_options->positionalArguments();
    if (m_arguments.size() > m_command->arguments.size())
        throw UsageError(QCoreApplication::translate("Cli", "unexpected argument %1").arg(m_arguments[m_command->arguments.size()]));
    if (m_arguments.size() < m_command->arguments.size())
        throw UsageError(QCoreApplication::translate("Cli", "%1 needs %2")
                             .arg(name, QCoreApplication::translate("Cli", m_command->needs)));
    if (m_command->check)
        m_command->check(*this);
}

QString cliUsage()
{
    return QCoreApplication::translate("Cli",
        "Usage: jotwell-cli [--data-dir DIR] COMMAND [ARGS]\n"
        "\n"
        "Works on the memos of Korvel Jotwell, also while the program runs.\n"
        "\n"
        "Commands:\n"
        "  add TEXT [--under ID]          store a memo (TEXT - reads it from standard input);\n"
        "                                 prints its id\n"
        "  edit ID TEXT                   replace a memo's text (TEXT - reads standard input)\n"
        "  delete ID                      delete a memo with its sub-memos\n"
        "  move ID --under ID | --top     make a memo a sub-memo of another, or top-level\n"
        "  list [--search TEXT] [--wide] [--ids] [--json]\n"
        "                                 the memos as the program sorts them, one a line,\n"
        "                                 sub-memos indented\n"
        "  backup FILE.kvx                the whole database, as Database Backup writes it\n"
        "  restore FILE.kvx --replace all|none|ask\n"
        "                                 put a backup back; ask needs a terminal\n"
        "  import FILE.kvx                add the file's memos as new ones\n"
        "  export FILE.kvx [--search TEXT] [--wide]\n"
        "  report FILE.txt|FILE.html [--search TEXT] [--wide]\n"
        "                                 what Save All writes\n"
        "  check                          the database's integrity, and every memo in sight\n"
        "  sync [--folder DIR] [--status] one round of sync with the other computers through DIR\n"
        "                                 (else [option] syncFolder in %1); --status\n"
        "                                 tells how the last round went\n"
        "\n"
        "  --help, --version\n"
        "\n"
        "The data folder is DIR, else $JOTWELL_DATA_DIR, else the program's own.\n"
        "Exit status: 0 done, 1 failed (one line on standard error), 2 usage error.\n")
        .arg(settingsPath(QString())); // the settings file's name
}
