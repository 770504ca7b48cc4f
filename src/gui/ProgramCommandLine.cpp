// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/ProgramCommandLine.h"
#include "core/ProgramFolder.h"
#include "core/VersionInfo.h"
#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>

namespace {

// Qt's own options, which the application object takes from the command line after us.
QList<QCommandLineOption> toolkitOptions()
{
    QList<QCommandLineOption> options;
    for (const char *name : {"platform", "platformpluginpath", "platformtheme", "plugin", "display", "style", "stylesheet",
                             "session", "qwindowgeometry", "qwindowicon", "qwindowtitle"})
        options << QCommandLineOption(QString::fromLatin1(name), QString(), QStringLiteral("value"));
    for (const char *name : {"reverse", "widgetcount", "nograb", "dograb"})
        options << QCommandLineOption(QString::fromLatin1(name));
    for (QCommandLineOption &option : options)
        option.setFlags(QCommandLineOption::HiddenFromHelp);
    return options;
}

void print(FILE *stream, const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
}

} // namespace

std::optional<int> answerCommandLine(const QStringList &arguments, QString &programFolder)
{
    QCommandLineParser parser;
    // -platform and the like have one dash, as Qt's documentation writes them.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        QCoreApplication::translate("ProgramCommandLine", "Korvel Jotwell keeps short memos in a two-level list."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QCoreApplication::translate("ProgramCommandLine", "Show this help and end."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QCoreApplication::translate("ProgramCommandLine", "Show the version and end."));
    const QCommandLineOption dataDir = dataDirOption();
    parser.addOptions({help, version, dataDir});
    parser.addOptions(toolkitOptions());
    const QString usageLine = QCoreApplication::translate("ProgramCommandLine", "Usage: jotwell [--data-dir DIR]");

    QString wrong;
    if (!parser.parse(arguments))
        wrong = parser.errorText();
    else if (!parser.positionalArguments().isEmpty())
        wrong = QCoreApplication::translate("ProgramCommandLine", "unexpected argument %1").arg(parser.positionalArguments().constFirst());
    else if (parser.isSet(dataDir) && parser.value(dataDir).isEmpty())
        wrong = QCoreApplication::translate("ProgramFolder", "--data-dir needs a folder");
    if (!wrong.isEmpty()) {
        print(stderr, QStringLiteral("jotwell: %1\n%2\n").arg(wrong, usageLine));
        return 2;
    }
    if (parser.isSet(help)) {
        print(stdout, parser.helpText());
        return 0;
    }
    if (parser.isSet(version)) {
        print(stdout, QStringLiteral("jotwell %1\n").arg(VersionInfo().fileVersion()));
        return 0;
    }
    programFolder = resolveProgramFolder(parser.value(dataDir));
    return std::nullopt;
}
