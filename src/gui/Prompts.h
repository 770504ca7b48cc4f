// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <QStringList>
#include <functional>

class QDialog;
class QPrinter;

// The buttons a message box offers, and the one the user pressed (closing it is Cancel, or No
// where the box asks yes or no).
enum class BoxButtons { Ok, OkCancel, YesNo };
enum class BoxAnswer { Ok, Cancel, Yes, No };
enum class BoxIcon { None, Error, Warning };

// What a file dialog is asked for and what it answers. Each file type is listed as Qt's name
// filters are, its patterns in brackets: "HTML file (*.htm *.html)".
struct FileRequest {
    enum class Kind { Open, Save, Folder };
    Kind kind = Kind::Save;
    QString title;
    QStringList nameFilters;
    QString defaultExt; // without the dot; added to a typed name that has none
    QString fileName;   // the suggested name in, the chosen name out
    qsizetype chosenFilter = 0; // the file type offered first in, the one chosen out
};

// The one seam through which the program asks the user anything modal. The program installs
// a handler that shows real dialogs; tests install one that answers without a display.
class PromptHandler {
public:
    virtual ~PromptHandler() = default;
    virtual BoxAnswer messageBox(const QString &caption, const QString &text, BoxButtons buttons, BoxIcon icon) = 0;
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

BoxAnswer showBox(const QString &caption, const QString &text, BoxButtons buttons);
BoxAnswer askBox(const QString &text);     // "Ask", OK and Cancel
BoxAnswer errorBox(const QString &text);   // "Error", OK
BoxAnswer warningBox(const QString &text); // "Warning", OK
BoxAnswer tipBox(const QString &text);     // "Tip", OK
