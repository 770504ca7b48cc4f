// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/MainWindow.h"
#include "gui/Application.h"
#include "gui/Program.h"
#include "gui/ProgramCommandLine.h"
#include "core/Translations.h"
#include "desktop/AutoStart.h"
#include "desktop/SingleInstance.h"
#include "desktop/TerminationSignals.h"

int main(int argc, char **argv)
{
    QString programFolder;
    {
        // --help, --version and a wrong command line are answered without a display.
        QCoreApplication terminal(argc, argv);
        installTranslations(terminal);
        if (const std::optional<int> status = answerCommandLine(terminal.arguments(), programFolder))
            return *status;
    }
    Application application(argc, argv);

    SingleInstance instance(programFolder);
    if (instance.activatePreviousInstance() || !instance.listen())
        return 0;
    adoptOldAutoStartEntry();
    // Taken from here on: a signal during the start is answered once the event loop runs.
    TerminationSignals termination;

    Program program(programFolder);
    QObject::connect(&instance, &SingleInstance::activationRequested, &program.mainWindow(), &MainWindow::bringForward);
    QObject::connect(&termination, &TerminationSignals::requested, &program.mainWindow(), &MainWindow::exitProgram);
    program.mainWindow().show();
    termination.start();
    return application.exec();
}
