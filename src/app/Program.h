#pragma once
#include <memory>
#include <QString>

class TmainFm;
class TcommonDm;

// The program's windows and modules, created in their order: the main window first, then
// the modules that serve it.
class TProgram {
public:
    explicit TProgram(const QString &programFolder);
    ~TProgram();
    TmainFm &mainFm() const { return *FMainFm; }
    TcommonDm &commonDm() const { return *FCommonDm; }

private:
    std::unique_ptr<TmainFm> FMainFm;
    TcommonDm *FCommonDm; // owned by the main window
};
