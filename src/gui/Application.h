// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "desktop/ApplicationEnding.h"
#include "desktop/DesktopErrors.h"
#include "core/ErrorText.h"
#include <QApplication>

// The application object: its name, translations and error boxes. Each command reports its
// own errors (gui/CommandErrors.h).
class Application : public QApplication {
    Q_OBJECT
public:
    Application(int &argc, char **argv);

protected:
    bool event(QEvent *event) override;
};

inline const QString kApplicationTitle = QStringLiteral("Korvel Jotwell");
// The id of the installed desktop entry; the window's class on X11 is kApplicationTitle.
inline const QString kDesktopFileId = QStringLiteral("org.korvel.Jotwell");

void showDefaultErrorBox(const QString &message);
