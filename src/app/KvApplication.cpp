#include "app/KvApplication.h"
#include "app/Prompts.h"
#include <exception>

KvApplication::KvApplication(int &argc, char **argv) : QApplication(argc, argv)
{
    setApplicationName(kApplicationTitle);
    setApplicationDisplayName(kApplicationTitle);
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
