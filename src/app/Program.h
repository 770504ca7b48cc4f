#pragma once
#include <memory>
#include <QString>

class TmainFm;
class TcommonDm;
class TIoDm;

// The program's windows and modules, created in their order: the main window first, then
// the modules that serve it.
class TProgram {
public:
    explicit TProgram(const QString &programFolder);
    ~TProgram();
    TmainFm &mainFm() const { return *FMainFm; }
    TIoDm &ioDm() const { return *FIoDm; }
    TcommonDm &commonDm() const { return *FCommonDm; }

private:
    std::unique_ptr<TmainFm> FMainFm;
    TIoDm *FIoDm;         // owned by the main window
    TcommonDm *FCommonDm; // owned by the main window
};
