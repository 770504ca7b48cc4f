// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/TrayBackend.h"
#include <QElapsedTimer>
#include <QSystemTrayIcon>
#include <QTimer>
#include <utility>

namespace {

// Tray hosts often start after the programs of a session: ask often at first, then now and
// then, so that an icon appears once the area does and a lost area is noticed.
constexpr int kEarlyPollMs = 1000;
constexpr int kLatePollMs = 10000;
constexpr qint64 kEarlyPeriodMs = 120000;

class QtTrayBackend final : public TrayBackend {
public:
    QtTrayBackend() : m_available(QSystemTrayIcon::isSystemTrayAvailable())
    {
        QObject::connect(&m_icon, &QSystemTrayIcon::activated, &m_icon, [this](QSystemTrayIcon::ActivationReason reason) {
            m_balloonClickPending = false;
            switch (reason) {
            case QSystemTrayIcon::Trigger:
                emitEvent(Event::LeftPress);
                break;
            case QSystemTrayIcon::DoubleClick:
                emitEvent(Event::LeftDoubleClick);
                break;
            case QSystemTrayIcon::Context:
                emitEvent(Event::RightPress);
                break;
            case QSystemTrayIcon::MiddleClick:
                emitEvent(Event::MiddlePress);
                break;
            case QSystemTrayIcon::Unknown:
                break;
            }
        });
        // A press on the icon while a balloon shows is also told as a click on the balloon, just
        // before the icon's own activation: a right press would open the window under the menu.
        // Only a click that no activation follows is the balloon's.
        QObject::connect(&m_icon, &QSystemTrayIcon::messageClicked, &m_icon, [this] {
            m_balloonClickPending = true;
            QMetaObject::invokeMethod(
                &m_icon,
                [this] {
                    if (std::exchange(m_balloonClickPending, false))
                        emitEvent(Event::BalloonClick);
                },
                Qt::QueuedConnection);
        });
        QObject::connect(&m_poll, &QTimer::timeout, &m_icon, [this] { poll(); });
        m_since.start();
        m_poll.start(kEarlyPollMs);
    }

    bool isAvailable() const override { return m_available; }

    bool show(const QIcon &icon, const QString &toolTip) override
    {
        if (!m_available)
            return false;
        m_icon.setIcon(icon);
        m_icon.setToolTip(toolTip);
        m_icon.show();
        return true;
    }

    bool update(const QIcon &icon, const QString &toolTip) override
    {
        m_icon.setIcon(icon);
        m_icon.setToolTip(toolTip);
        return true;
    }

    void hide() override { m_icon.hide(); }

    void showMessage(const QString &title, const QString &text, int iconKind, int msecs) override
    {
        m_icon.showMessage(title, text, QSystemTrayIcon::MessageIcon(qBound(0, iconKind, 3)), msecs);
    }

private:
    void poll()
    {
        if (m_since.elapsed() > kEarlyPeriodMs)
            m_poll.setInterval(kLatePollMs);
        const bool available = QSystemTrayIcon::isSystemTrayAvailable();
        if (available == m_available)
            return;
        m_available = available;
        if (!available)
            m_icon.hide();
        emitAvailabilityChanged(available);
    }

    QSystemTrayIcon m_icon;
    QTimer m_poll;
    QElapsedTimer m_since;
    bool m_available;
    bool m_balloonClickPending = false;
};

TrayBackendFactory &factory()
{
    static TrayBackendFactory instance;
    return instance;
}

} // namespace

std::unique_ptr<TrayBackend> createTrayBackend()
{
    if (factory())
        return factory()();
    return std::make_unique<QtTrayBackend>();
}

void setTrayBackendFactory(TrayBackendFactory newFactory)
{
    factory() = std::move(newFactory);
}
