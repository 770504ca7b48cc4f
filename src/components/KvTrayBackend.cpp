#include "components/KvTrayBackend.h"
#include <QElapsedTimer>
#include <QSystemTrayIcon>
#include <QTimer>

namespace {

// Tray hosts often start after the programs of a session: ask often at first, then now and
// then, so that an icon appears once the area does and a lost area is noticed.
constexpr int kEarlyPollMs = 1000;
constexpr int kLatePollMs = 10000;
constexpr qint64 kEarlyPeriodMs = 120000;

class QtTrayBackend final : public KvTrayBackend {
public:
    QtTrayBackend() : FAvailable(QSystemTrayIcon::isSystemTrayAvailable())
    {
        QObject::connect(&FIcon, &QSystemTrayIcon::activated, &FIcon, [this](QSystemTrayIcon::ActivationReason reason) {
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
        QObject::connect(&FIcon, &QSystemTrayIcon::messageClicked, &FIcon, [this] { emitEvent(Event::BalloonClick); });
        QObject::connect(&FPoll, &QTimer::timeout, &FIcon, [this] { poll(); });
        FSince.start();
        FPoll.start(kEarlyPollMs);
    }

    bool isAvailable() const override { return FAvailable; }

    bool show(const QIcon &icon, const QString &toolTip) override
    {
        if (!FAvailable)
            return false;
        FIcon.setIcon(icon);
        FIcon.setToolTip(toolTip);
        FIcon.show();
        return true;
    }

    bool update(const QIcon &icon, const QString &toolTip) override
    {
        FIcon.setIcon(icon);
        FIcon.setToolTip(toolTip);
        return true;
    }

    void hide() override { FIcon.hide(); }

    void showMessage(const QString &title, const QString &text, int iconKind, int msecs) override
    {
        FIcon.showMessage(title, text, QSystemTrayIcon::MessageIcon(qBound(0, iconKind, 3)), msecs);
    }

private:
    void poll()
    {
        if (FSince.elapsed() > kEarlyPeriodMs)
            FPoll.setInterval(kLatePollMs);
        const bool available = QSystemTrayIcon::isSystemTrayAvailable();
        if (available == FAvailable)
            return;
        FAvailable = available;
        if (!available)
            FIcon.hide();
        emitAvailabilityChanged(available);
    }

    QSystemTrayIcon FIcon;
    QTimer FPoll;
    QElapsedTimer FSince;
    bool FAvailable;
};

KvTrayBackendFactory &factory()
{
    static KvTrayBackendFactory instance;
    return instance;
}

} // namespace

std::unique_ptr<KvTrayBackend> CreateTrayBackend()
{
    if (factory())
        return factory()();
    return std::make_unique<QtTrayBackend>();
}

void SetTrayBackendFactory(KvTrayBackendFactory newFactory)
{
    factory() = std::move(newFactory);
}
