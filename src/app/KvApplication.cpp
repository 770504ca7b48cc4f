#include "app/KvApplication.h"
#include "app/Prompts.h"
#include <exception>

KvApplication::KvApplication(int &argc, char **argv) : QApplication(argc, argv)
{
    // No display name: Qt would append it to every window's caption, and the dialogs' captions
    // are exactly their own ("Options", "Tip").
    setApplicationName(kApplicationTitle);
    setDesktopFileName(kDesktopFileId);
}

bool KvApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &error) {
        ShowDefaultErrorBox(QString::fromUtf8(error.what()));
    } catch (...) {
        ShowDefaultErrorBox(QStringLiteral("Unknown error"));
    }
    return false;
}

namespace {
bool gEnding = false;
}

bool KvApplication::event(QEvent *event)
{
    // The quit closes every window first; a refused close would cancel it.
    if (event->type() == QEvent::Quit)
        gEnding = true;
    const bool handled = QApplication::event(event);
    if (event->type() == QEvent::Quit && !event->isAccepted())
        gEnding = false;
    return handled;
}

bool ApplicationEnding()
{
    return gEnding;
}

QString ErrorBoxText(const QString &message)
{
    if (!message.isEmpty() && message.back().unicode() > u'.')
        return message + QLatin1Char('.');
    return message;
}

void ShowDefaultErrorBox(const QString &message)
{
    Prompts().messageBox(kApplicationTitle, ErrorBoxText(message), MB_OK, KvBoxIcon::Error);
}
