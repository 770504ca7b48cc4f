#include "components/KvAccessibleNames.h"
#include <QAction>
#include <QToolButton>

void NameIconButtons(QWidget *container)
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
