// jotwell-cli: the memo store from scripts and terminals, on the core library alone.
#include "cli/CliCommands.h"
#include "cli/CliFailure.h"
#include "cli/CliOptions.h"
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
        return runCliCommand(CliOptions::parse(application.arguments()));
    } catch (const UsageError &error) {
        tell(QString::fromUtf8(error.what()));
        std::fputs("Try 'jotwell-cli --help'.\n", stderr);
        return 2;
    } catch (const std::exception &error) {
        // The texts the program shows in its boxes, on one line.
        tell(errorBoxText(QString::fromUtf8(error.what())).replace(QLatin1Char('\n'), QLatin1Char(' ')));
        return 1;
    }
}
