#include "cli/CliOptions.h"
#include "cli/CliFailure.h"
#include <QCoreApplication>
#include <QHash>
#include <QSet>

namespace {

struct CommandShape {
    bool takesArgument;
    QSet<QString> options; // the options after the command; those ending in '=' take a value
};

const QHash<QString, CommandShape> &commandShapes()
{
    static const QHash<QString, CommandShape> shapes = {
        {QStringLiteral("add"), {true, {QStringLiteral("--under=")}}},
        {QStringLiteral("list"),
         {false,
          {QStringLiteral("--search="), QStringLiteral("--wide"), QStringLiteral("--ids"), QStringLiteral("--json")}}},
        {QStringLiteral("backup"), {true, {}}},
        {QStringLiteral("restore"), {true, {QStringLiteral("--replace=")}}},
        {QStringLiteral("import"), {true, {}}},
        {QStringLiteral("export"), {true, {QStringLiteral("--search="), QStringLiteral("--wide")}}},
        {QStringLiteral("report"), {true, {QStringLiteral("--search="), QStringLiteral("--wide")}}},
        {QStringLiteral("check"), {false, {}}},
        {QStringLiteral("sync"), {false, {QStringLiteral("--folder="), QStringLiteral("--status")}}},
    };
    return shapes;
}

// The option's value: "--name=value" or the next argument.
QString takeValue(const QStringList &arguments, qsizetype &i, const QString &name)
{
    const QString &argument = arguments[i];
    if (argument.startsWith(name + QLatin1Char('=')))
        return argument.mid(name.size() + 1);
    if (i + 1 >= arguments.size())
        throw UsageError(QCoreApplication::translate("Cli", "%1 needs a value").arg(name));
    return arguments[++i];
}

} // namespace

CliOptions CliOptions::parse(const QStringList &arguments)
{
    CliOptions options;
    qsizetype i = 1;
    // Options before the command.
    for (; i < arguments.size() && arguments[i].startsWith(QLatin1String("--")); ++i) {
        const QString &argument = arguments[i];
        if (argument == QLatin1String("--help") || argument == QLatin1String("--version")) {
            options.command = argument.mid(2);
            return options;
        }
        if (argument == QLatin1String("--data-dir") || argument.startsWith(QLatin1String("--data-dir="))) {
            options.dataDir = takeValue(arguments, i, QStringLiteral("--data-dir"));
            if (options.dataDir.isEmpty())
                throw UsageError(QCoreApplication::translate("Cli", "--data-dir needs a folder"));
            continue;
        }
        throw UsageError(QCoreApplication::translate("Cli", "unknown option %1").arg(argument));
    }
    if (i >= arguments.size())
        throw UsageError(QCoreApplication::translate("Cli", "no command given"));
    options.command = arguments[i++];
    const auto shape = commandShapes().find(options.command);
    if (shape == commandShapes().end())
        throw UsageError(QCoreApplication::translate("Cli", "unknown command %1").arg(options.command));

    bool hasArgument = false;
    bool optionsEnded = false;
    for (; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        // "--" ends the options, so that a memo text may begin with two dashes.
        if (argument == QLatin1String("--") && !optionsEnded) {
            optionsEnded = true;
            continue;
        }
        if (optionsEnded || !argument.startsWith(QLatin1String("--"))) {
            if (!shape->takesArgument || hasArgument)
                throw UsageError(QCoreApplication::translate("Cli", "unexpected argument %1").arg(argument));
            options.argument = argument;
            hasArgument = true;
            continue;
        }
        const QString name = argument.section(QLatin1Char('='), 0, 0);
        if (shape->options.contains(name)) {
            if (argument.contains(QLatin1Char('=')))
                throw UsageError(QCoreApplication::translate("Cli", "%1 takes no value").arg(name));
            if (name == QLatin1String("--wide"))
                options.wide = true;
            else if (name == QLatin1String("--ids"))
                options.ids = true;
            else if (name == QLatin1String("--status"))
                options.syncStatus = true;
            else
                options.json = true;
            continue;
        }
        if (!shape->options.contains(name + QLatin1Char('=')))
            throw UsageError(QCoreApplication::translate("Cli", "%1 takes no option %2").arg(options.command, argument));
        const QString value = takeValue(arguments, i, name);
        if (name == QLatin1String("--under")) {
            options.under = value;
        } else if (name == QLatin1String("--search")) {
            options.search = value;
            options.searching = true;
        } else if (name == QLatin1String("--folder")) {
            options.syncFolder = value;
        } else {
            options.replace = value;
        }
    }
    if (shape->takesArgument && !hasArgument)
        throw UsageError(QCoreApplication::translate("Cli", "%1 needs %2").arg(options.command,
                                                            options.command == QLatin1String("add")
                                                                ? QCoreApplication::translate("Cli", "the memo's text (or - for standard input)")
                                                                : QCoreApplication::translate("Cli", "a file name")));
    if (options.command == QLatin1String("restore")) {
        static const QStringList answers = {QStringLiteral("all"), QStringLiteral("none"), QStringLiteral("ask")};
        if (!answers.contains(options.replace))
            throw UsageError(QCoreApplication::translate("Cli", "restore needs --replace all, none or ask"));
    }
    if (options.command == QLatin1String("report") && !options.argument.endsWith(QLatin1String(".txt"), Qt::CaseInsensitive)
        && !options.argument.endsWith(QLatin1String(".html"), Qt::CaseInsensitive)
        && !options.argument.endsWith(QLatin1String(".htm"), Qt::CaseInsensitive))
        throw UsageError(QCoreApplication::translate("Cli", "a report file ends in .txt, .html or .htm"));
    return options;
}

QString cliUsage()
{
    return QStringLiteral(
        "Usage: jotwell-cli [--data-dir DIR] COMMAND [ARGS]\n"
        "\n"
        "Works on the memos of Korvel Jotwell, also while the program runs.\n"
        "\n"
        "Commands:\n"
        "  add TEXT [--under ID]          store a memo (TEXT - reads it from standard input);\n"
        "                                 prints its id\n"
        "  list [--search TEXT] [--wide] [--ids] [--json]\n"
        "                                 the memos as the program sorts them, one a line,\n"
        "                                 sub-memos indented\n"
        "  backup FILE.kvx                the whole database, as Database Backup writes it\n"
        "  restore FILE.kvx --replace all|none|ask\n"
        "                                 put a backup back; ask needs a terminal\n"
        "  import FILE.kvx                add the file's memos as new ones\n"
        "  export FILE.kvx [--search TEXT] [--wide]\n"
        "  report FILE.txt|FILE.html [--search TEXT] [--wide]\n"
        "  check                          the database's integrity, and every memo in sight\n"
        "  sync [--folder DIR] [--status] one round of sync with the other computers through DIR\n"
        "                                 (else [option] syncFolder in kvConf.ini); --status\n"
        "                                 tells how the last round went\n"
        "\n"
        "  --help, --version\n"
        "\n"
        "The data folder is DIR, else $JOTWELL_DATA_DIR, else the program's own.\n"
        "Exit status: 0 done, 1 failed (one line on standard error), 2 usage error.\n");
}
