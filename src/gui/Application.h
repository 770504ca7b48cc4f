#pragma once
#include "desktop/ApplicationEnding.h"
#include "desktop/DesktopErrors.h"
#include <QApplication>

// The application object. An error that no handler caught ends that handler only: it is
// shown in the default error box and the program goes on.
class Application : public QApplication {
    Q_OBJECT
public:
    Application(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;

protected:
    bool event(QEvent *event) override;
};

inline const QString kApplicationTitle = QStringLiteral("Korvel Jotwell");
// The id of the installed desktop entry; the window's class on X11 is kApplicationTitle.
inline const QString kDesktopFileId = QStringLiteral("org.korvel.Jotwell");

// The text of an error as the default error box shows it: a full stop is added when the
// last character's code is above that of the full stop.
QString errorBoxText(const QString &message);
void showDefaultErrorBox(const QString &message);
