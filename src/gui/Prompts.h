#pragma once
#include <QString>
#include <functional>

class QDialog;
class QPrinter;

// Button sets and answers of message boxes, with the platform's classic numbers so that
// callers can compare answers the usual way.
enum BoxButtons { MB_OK = 0, MB_OKCANCEL = 1, MB_YESNOCANCEL = 3, MB_YESNO = 4 };
enum BoxAnswer { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };
enum class BoxIcon { None, Error, Warning };

// What a file dialog is asked for and what it answers. The filter is a list of
// "description|patterns" pairs joined by "|", e.g. "Text file (*.txt)|*.txt|All (*.*)|*.*";
// filterIndex counts the pairs from 1.
struct FileRequest {
    enum class Kind { Open, Save };
    Kind kind = Kind::Save;
    QString title;
    QString filter;
    QString defaultExt; // without the dot; added to a typed name that has none
    QString fileName;   // the suggested name in, the chosen name out
    int filterIndex = 1;
};

// The one seam through which the program asks the user anything modal. The program installs
// a handler that shows real dialogs; tests install one that answers without a display.
class PromptHandler {
public:
    virtual ~PromptHandler() = default;
    virtual int messageBox(const QString &caption, const QString &text, int flags, BoxIcon icon) = 0;
    // False when the user cancelled.
    virtual bool fileDialog(FileRequest &request) = 0;
    // Runs a dialog of the program's own modally and returns its result (QDialog::DialogCode
    // or the value passed to done()).
    virtual int execDialog(QDialog &dialog) = 0;
    // Lets the user choose and set up a printer; false when cancelled.
    virtual bool printDialog(QPrinter &printer) = 0;
};

// Every call runs the before-prompt hook first, then the installed handler.
PromptHandler &prompts();
// Installs handler (not owned); nullptr restores the dialogs.
void setPromptHandler(PromptHandler *handler);
// Runs before any box or dialog opens: whatever the user has open (an edit) is settled first,
// so that a modal loop never runs with it. An empty hook removes it.
void setBeforePromptHook(std::function<void()> hook);

int showBox(const QString &caption, const QString &text, int flags);
int askBox(const QString &text);     // "Ask", OK and Cancel
int errorBox(const QString &text);   // "Error", OK
int warningBox(const QString &text); // "Warning", OK
int tipBox(const QString &text);     // "Tip", OK
