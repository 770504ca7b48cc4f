// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/AccessibleNames.h"
#include <QAction>
#include <QToolButton>

void nameIconButtons(QWidget *container)
{
    for (QToolButton *button : container->findChildren<QToolButton *>()) {
        QAction *action = button->defaultAction();
        if (!action)
            continue;
        // QAction::toolTip falls back on the text without its mnemonic.
        const auto name = [button, action] { button->setAccessibleName(action->toolTip()); };
        name();
        QObject::connect(action, &QAction::changed, button, name);
    }
}
