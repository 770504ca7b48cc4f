#pragma once
#include <memory>
#include <QString>

class MainWindow;
class CommonActions;
class ExchangeCommands;

// The program's windows and modules, created in their order: the main window first, then
// the modules that serve it.
class Program {
public:
    explicit Program(const QString &programFolder);
    ~Program();
    MainWindow &mainWindow() const { return *m_mainWindow; }
    ExchangeCommands &exchangeCommands() const { return *m_exchangeCommands; }
    CommonActions &commonActions() const { return *m_commonActions; }

private:
    std::unique_ptr<MainWindow> m_mainWindow;
    ExchangeCommands *m_exchangeCommands;         // owned by the main window
    CommonActions *m_commonActions; // owned by the main window
};
