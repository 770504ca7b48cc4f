#pragma once
#include <QString>

// Button sets and answers of message boxes, with the platform's classic numbers so that
// callers can compare answers the usual way.
enum KvBoxFlags { MB_OK = 0, MB_OKCANCEL = 1, MB_YESNOCANCEL = 3, MB_YESNO = 4 };
enum KvBoxAnswer { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };
enum class KvBoxIcon { None, Error, Warning };

// The one seam through which the program asks the user anything modal. The program installs
// a handler that shows real dialogs; tests install one that answers without a display.
class KvPromptHandler {
public:
    virtual ~KvPromptHandler() = default;
    virtual int messageBox(const QString &caption, const QString &text, int flags, KvBoxIcon icon) = 0;
};

KvPromptHandler &Prompts();
// Installs handler (not owned); nullptr restores the dialogs.
void SetPromptHandler(KvPromptHandler *handler);
