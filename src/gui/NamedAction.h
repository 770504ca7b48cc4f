// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QAction>

// An action owned by owner and named, so that it can be found by its name (the tests do).
inline QAction *makeNamedAction(QObject *owner, const char *name, const QString &caption)
{
    auto *action = new QAction(caption, owner);
    action->setObjectName(QLatin1String(name));
    return action;
}
