#include "app/Program.h"
#include "app/Dm_Common.h"
#include "app/Fm_Main.h"

TProgram::TProgram(const QString &programFolder)
    : FMainFm(std::make_unique<TmainFm>(programFolder)), FCommonDm(new TcommonDm(FMainFm.get()))
{
    FMainFm->setCommonDm(FCommonDm);
}

TProgram::~TProgram() = default;
