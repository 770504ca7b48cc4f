// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "desktop/TrayBackend.h"
#include <QList>

// A notification area driven by the test: it can be missing, appear later or refuse, and it
// records what the tray icon asks of it.
class FakeTrayBackend : public TrayBackend {
public:
    struct Message {
        QString title, text;
        int iconKind, msecs;
    };
    bool available = true, refuseAdd = false, refuseModify = false;
    bool shown = false;
    QIcon icon;
    QString toolTip;
    int updates = 0;
    QList<qint64> iconHistory; // cacheKey of each icon sent by an update
    QList<Message> messages;

    bool isAvailable() const override { return available; }
    bool show(const QIcon &newIcon, const QString &tip) override
    {
        shown = available && !refuseAdd;
        if (shown)
            icon = newIcon, toolTip = tip;
        return shown;
    }
    bool update(const QIcon &newIcon, const QString &tip) override
    {
        ++updates;
        if (refuseModify)
            return false;
        iconHistory << newIcon.cacheKey();
        icon = newIcon, toolTip = tip;
        return true;
    }
    void hide() override { shown = false; }
    void showMessage(const QString &title, const QString &text, int iconKind, int msecs) override
    {
        messages.append({title, text, iconKind, msecs});
    }

    void press(Event event) { emitEvent(event); }
    void setAvailable(bool now)
    {
        available = now;
        shown = shown && now;
        emitAvailabilityChanged(now);
    }
};
