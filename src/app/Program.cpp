#include "app/Program.h"
#include "app/Dm_Common.h"
#include "app/Fm_Main.h"
#include "exchange/Dm_Io.h"

TProgram::TProgram(const QString &programFolder)
    : FMainFm(std::make_unique<TmainFm>(programFolder)), FIoDm(new TIoDm(FMainFm.get())),
      FCommonDm(new TcommonDm(FMainFm.get()))
{
    FMainFm->setIoDm(FIoDm);
    FMainFm->setCommonDm(FCommonDm);
}

TProgram::~TProgram() = default;
