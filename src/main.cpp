#include "gui/MainWindow.h"
#include "gui/Application.h"
#include "gui/Program.h"
#include "core/ProgramFolder.h"
#include "desktop/AutoStart.h"
#include "desktop/SingleInstance.h"

int main(int argc, char **argv)
{
    Application application(argc, argv);
    const QString programFolder = resolveProgramFolder(application.arguments());

    SingleInstance instance(programFolder);
    if (instance.activatePreviousInstance() || !instance.listen())
        return 0;
    adoptOldAutoStartEntry();

    Program program(programFolder);
    QObject::connect(&instance, &SingleInstance::activationRequested, &program.mainWindow(), &MainWindow::bringForward);
    program.mainWindow().show();
    return application.exec();
}
