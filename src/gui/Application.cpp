// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/Application.h"
#include "gui/Prompts.h"
#include "core/Translations.h"

Application::Application(int &argc, char **argv) : QApplication(argc, argv)
{
    // No display name: Qt would append it to every window's caption, and the dialogs' captions
    // are exactly their own ("Options", "Tip").
    setApplicationName(kApplicationTitle);
    setDesktopFileName(kDesktopFileId);
    installTranslations(*this);
    setDesktopErrorHandler([](const QString &caption, const QString &text) {
        if (caption.isEmpty())
            showDefaultErrorBox(text);
        else
            prompts().messageBox(caption, text, BoxButtons::Ok, BoxIcon::Error);
    });
}

bool Application::event(QEvent *event)
{
    // The quit closes every window first; a refused close would cancel it.
    if (event->type() == QEvent::Quit)
        setApplicationEnding(true);
    const bool handled = QApplication::event(event);
    if (event->type() == QEvent::Quit && !event->isAccepted())
        setApplicationEnding(false);
    return handled;
}

void showDefaultErrorBox(const QString &message)
{
    prompts().messageBox(kApplicationTitle, errorBoxText(message), BoxButtons::Ok, BoxIcon::Error);
}
