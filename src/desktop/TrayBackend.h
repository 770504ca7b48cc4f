// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QIcon>
#include <QString>
#include <functional>
#include <memory>

// What the tray icon component needs from the desktop's notification area, kept narrow so that
// the component's rules can be driven without a desktop. The program's own backend sits on
// QSystemTrayIcon.
class TrayBackend {
public:
    enum class Event { LeftPress, LeftDoubleClick, RightPress, MiddlePress, BalloonClick, BalloonHide, BalloonTimeout };

    virtual ~TrayBackend() = default;

    // Whether the desktop has a notification area now. Many desktops start theirs after the
    // programs of a session, and some lose it for a moment when their panel restarts.
    virtual bool isAvailable() const = 0;
    // Puts the icon into the area, or changes it there; false when the area refused.
    virtual bool show(const QIcon &icon, const QString &toolTip) = 0;
    virtual bool update(const QIcon &icon, const QString &toolTip) = 0;
    virtual void hide() = 0;
    // iconKind: 0 none, 1 information, 2 warning, 3 error.
    virtual void showMessage(const QString &title, const QString &text, int iconKind, int msecs) = 0;

    // Set by the component that owns the backend.
    std::function<void(Event)> onEvent;
    std::function<void(bool available)> onAvailabilityChanged;

protected:
    void emitEvent(Event event) const
    {
        if (onEvent)
            onEvent(event);
    }
    void emitAvailabilityChanged(bool available) const
    {
        if (onAvailabilityChanged)
            onAvailabilityChanged(available);
    }
};

using TrayBackendFactory = std::function<std::unique_ptr<TrayBackend>()>;

// The backend for a new tray icon: the desktop's, unless a factory was put in (tests do, so
// that the program's own tray icon runs on a notification area they control).
std::unique_ptr<TrayBackend> createTrayBackend();
// An empty factory restores the desktop's backend.
void setTrayBackendFactory(TrayBackendFactory factory);
