// SPDX-License-Identifier: GPL-3.0-or-later
// jotwell-cli: the memo store from scripts and terminals, on the core library alone.
#include "cli/CliCommands.h"
#include "cli/CliFailure.h"
#include "cli/CliCommandLine.h"
#include "core/ErrorText.h"
#include "core/Translations.h"
#include <QCoreApplication>
#include <cstdio>
#include <exception>

namespace {

void tell(const QString &line)
{
    std::fprintf(stderr, "jotwell-cli: %s\n", line.toLocal8Bit().constData());
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    installTranslations(application);
    try {
        return runCliCommand(CliCommandLine(application.arguments()));
    } catch (const UsageError &error) {
        tell(QString::fromUtf8(error.what()));
        std::fputs("Try 'jotwell-cli --help'.\n", stderr);
        return 2;
    } catch (const CliFailure &failure) {
        // The program's own texts, as its boxes show them, on one line.
        tell(QString::fromUtf8(failure.what()).replace(QLatin1Char('\n'), QLatin1Char(' ')));
        return 1;
    } catch (const std::exception &error) {
        // What the program's default error box shows, on one line.
        tell(errorBoxText(QString::fromUtf8(error.what())).replace(QLatin1Char('\n'), QLatin1Char(' ')));
        return 1;
    }
}
