// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/WhenNotMinimized.h"
#include <QEvent>
#include <QPointer>
#include <QWidget>

namespace {

// Waits on the window for the end of its minimised state, runs the change once, and goes.
class PendingChange : public QObject {
public:
    PendingChange(QWidget &window, QObject *context, std::function<void()> change)
        : QObject(context), m_window(&window), m_change(std::move(change))
    {
        window.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_window && event->type() == QEvent::WindowStateChange && !m_window->isMinimized()) {
            m_window->removeEventFilter(this);
            // Once the state change has been delivered: the window is shown again by then
            // when it comes back from the notification area.
            QMetaObject::invokeMethod(
                this,
                [this] {
                    if (m_window)
                        m_change();
                    deleteLater();
                },
                Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QPointer<QWidget> m_window;
    std::function<void()> m_change;
};

} // namespace

void whenNotMinimized(QWidget &window, QObject *context, std::function<void()> change)
{
    if (window.isMinimized())
        new PendingChange(window, context, std::move(change));
    else
        change();
}
