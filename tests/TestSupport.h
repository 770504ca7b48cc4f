// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "CoreTestSupport.h"
#include "gui/Application.h"
#include "desktop/DesktopShell.h"
#include "gui/Prompts.h"
#include <QList>
#include <QAction>
#include <QObject>
#include <QStringList>
#include <functional>
#include <QString>
#include <QTemporaryDir>
#include <QUrl>

// Answers message boxes without a display and remembers what was asked.
class ScriptedPrompts : public PromptHandler {
public:
    struct Box {
        QString caption;
        QString text;
        BoxButtons buttons;
        BoxIcon icon;
    };
    ScriptedPrompts() { setPromptHandler(this); }
    ~ScriptedPrompts() override { setPromptHandler(nullptr); }

    BoxAnswer messageBox(const QString &caption, const QString &text, BoxButtons buttons, BoxIcon icon) override;
    bool fileDialog(FileRequest &request) override;
    int execDialog(QDialog &dialog) override;
    bool printDialog(QPrinter &printer) override;

    QList<Box> shown;
    QList<BoxAnswer> answers; // taken in turn; Ok when none is left

    QList<FileRequest> fileRequests;
    QStringList fileAnswers;      // taken in turn; an empty name (or none left) cancels
    QList<qsizetype> fileFilterAnswers; // taken in turn; the request's own choice when none is left

    // Dialogs are shown (so their set-up runs), inspected by `onDialog` when set, and answered
    // by a click on the button that the next of dialogButtons names; a name that no button has
    // (or none left) closes the dialog by its close box.
    std::function<void(QDialog &)> onDialog;
    QStringList dialogButtons;

    // Print dialogs: cancelled when empty, else the printer writes a PDF to this file.
    QString printToPdf;

    QString lastText() const { return shown.isEmpty() ? QString() : shown.last().text; }
};

// Takes the place of the desktop for web pages and mail links, and remembers what was opened.
class RecordingShell : public ShellHandler {
public:
    RecordingShell() { setShellHandler(this); }
    ~RecordingShell() override { setShellHandler(nullptr); }
    bool openUrl(const QUrl &url) override
    {
        opened << url.toString();
        return true;
    }
    QStringList opened;
};

class Program;
class MainWindow;
class MemoPane;
class MemoPaneWatch;
class TreeNode;
class QPlainTextEdit;

// The program started on a test folder, shown, with its list loaded and ready.
class StartedProgram {
public:
    explicit StartedProgram(const QString &folder);
    ~StartedProgram();
    MainWindow &mainWindow() const;
    MemoPane &frame() const;

private:
    Program *m_program;
};

// The node of the memo with this id, or nullptr.
TreeNode *findMemo(MemoPane &frame, const QString &mid);
// The tree's in-place editor once the posted message has opened it; nullptr when it never opens.
QPlainTextEdit *openEditor(MemoPane &frame);
// Marks node for editing as F2 does: commands wait until the edit ends; the editor opens once
// events are processed. commitOpenEdit() ends a mark whose editor has not opened as a cancel.
void markForEditing(MemoPane &frame, TreeNode *node);
// A look of the watch as its timer starts one, waited for until the list has taken it in.
void lookNow(MemoPaneWatch &watch);
// What the user does to the pane's own controls.
void enterSearchBox(MemoPane &frame);
void clickSearchButton(MemoPane &frame);
void clickTip(MemoPane &frame);
// An exchange file in folder holding one memo, written by the program's own export; empty when
// the export failed.
QString exportOneMemo(const TestFolder &folder);
// Every memo text stored in the folder's database, sorted, read past the program.
QStringList storedMemoTexts(const QString &folder);
// Every memo as "parent's text>text|+" (expanded) or "|-", sorted: the rows stored in the
// folder's database, or the nodes of the list. Texts stand for ids, so that fresh ids compare.
QStringList storedShape(const QString &folder);
QStringList shownShape(MemoPane &frame);
// The expandFlag stored for a memo, read past the program; -1 when there is no such row.
int storedExpandFlag(MainWindow &mainWindow, const QString &mid);

// Runs a test class under the program's own application object, with its translations and
// error boxes as in the program.
#define JOTWELL_TEST_MAIN(TestClass)                                                                        \
    int main(int argc, char **argv)                                                                         \
    {                                                                                                       \
        Application application(argc, argv);                                                              \
        TestClass test;                                                                                     \
        return QTest::qExec(&test, argc, argv);                                                             \
    }

// A child of owner by its object name: an action, menu or widget the owner keeps to itself.
// Ends the test program when there is none, since every caller would crash on it anyway.
template <typename T = QObject>
T *findNamed(const QObject &owner, const char *name)
{
    T *found = owner.findChild<T *>(QLatin1String(name));
    if (!found)
        qFatal("%s has no child named %s", owner.metaObject()->className(), name);
    return found;
}

inline QAction *findAction(const QObject &owner, const char *name)
{
    return findNamed<QAction>(owner, name);
}
