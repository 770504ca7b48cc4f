#include "app/Fm_Main.h"
#include "app/KvApplication.h"
#include "app/Program.h"
#include "app/ProgramFolder.h"
#include "app/SingleInstance.h"

int main(int argc, char **argv)
{
    KvApplication application(argc, argv);
    const QString programFolder = ResolveProgramFolder(application.arguments());

    KvSingleInstance instance(programFolder);
    if (instance.ActivatePreviousInstance() || !instance.listen())
        return 0;

    TProgram program(programFolder);
    QObject::connect(&instance, &KvSingleInstance::activationRequested, &program.mainFm(), &TmainFm::BringForward);
    program.mainFm().show();
    return application.exec();
}
