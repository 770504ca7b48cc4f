#include "gui/MainWindow.h"
#include "gui/Application.h"
#include "gui/Program.h"
#include "core/ProgramFolder.h"
#include "desktop/AutoStart.h"
#include "desktop/SingleInstance.h"
#include "desktop/TerminationSignals.h"

int main(int argc, char **argv)
{
    Application application(argc, argv);
    const QString programFolder = resolveProgramFolder(application.arguments());

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
