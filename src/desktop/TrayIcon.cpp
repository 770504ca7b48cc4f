// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/TrayIcon.h"
#include "desktop/ApplicationEnding.h"
#include "desktop/DesktopErrors.h"
#include <QApplication>
#include <QCursor>
#include <QEventLoopLocker>
#include <QMenu>
#include <QStyle>
#include <QTimer>
#include <QWidget>
#include <QWindowStateChangeEvent>
#include <exception>

namespace {

const char *const kErrorCaption = QT_TRANSLATE_NOOP("TrayIcon", "Korvel TrayIcon Error");
constexpr int kTipLength = 127;
constexpr int kBalloonTitleLength = 63;
constexpr int kBalloonTextLength = 255;
constexpr int kDefaultAnimationMs = 200;

} // namespace

TrayIcon::TrayIcon(QWidget *owner, std::unique_ptr<TrayBackend> backend)
    : QObject(owner), m_owner(owner), m_backend(backend ? std::move(backend) : createTrayBackend()),
      m_defaultMenu(std::make_unique<QMenu>())
{
    m_backend->onEvent = [this](TrayBackend::Event event) { trayEvent(event); };
    m_backend->onAvailabilityChanged = [this](bool available) { trayAvailabilityChanged(available); };

    m_defaultMenu->addAction(tr("&Close"), [] { QCoreApplication::exit(0); });
    m_defaultMenu->addAction(tr("&Restore"), [this] { restore(); });
    m_popupMenu = m_defaultMenu.get();

    if (m_owner)
        m_owner->installEventFilter(this);
    // Owners set the properties right after construction; the icon goes in once they are done.
    QMetaObject::invokeMethod(this, [this] { loaded(); }, Qt::QueuedConnection);
}

TrayIcon::~TrayIcon()
{
    removeFromTray();
    m_backend->onEvent = nullptr;
    m_backend->onAvailabilityChanged = nullptr;
}

void TrayIcon::loaded()
{
    if (m_loaded)
        return;
    m_loaded = true;
    if (m_active)
        addToTray();
    if (!m_icon.isNull())
        setIcon(m_icon);
    else if (!m_images.empty())
        setImages(m_images);
}

// --- the icon in the area -------------------------------------------------------------------

void TrayIcon::addToTray()
{
    if (m_inTray)
        return;
    // No area yet: the icon goes in when it appears (trayAvailabilityChanged).
    if (!m_backend->isAvailable())
        return;
    m_inTray = m_backend->show(shellIcon(), shellTip());
    if (!m_inTray)
        showError(tr("AddToTray can not add icon to the tray"));
}

void TrayIcon::removeFromTray()
{
    if (!m_inTray)
        return;
    m_backend->hide();
    m_inTray = false;
}

void TrayIcon::resetIcon()
{
    // Only an icon that is in the area can be changed there; an icon still waiting for the
    // area takes the change when it goes in.
    notifyModify(tr("ResetIcon Error"));
}

bool TrayIcon::notifyModify(const QString &errorText)
{
    if (!m_inTray)
        return false;
    if (m_backend->update(shellIcon(), shellTip()))
        return true;
    showError(errorText);
    return false;
}

QIcon TrayIcon::shellIcon() const
{
    if (!m_currentIcon.isNull())
        return m_currentIcon;
    if (!QApplication::windowIcon().isNull())
        return QApplication::windowIcon();
    return QApplication::style()->standardIcon(QStyle::SP_ComputerIcon);
}

QString TrayIcon::shellTip() const
{
    return m_showHint ? m_hint.left(kTipLength) : QString();
}

void TrayIcon::showError(const QString &text) const
{
    reportDesktopError(tr(kErrorCaption), text);
}

void TrayIcon::trayAvailabilityChanged(bool available)
{
    if (available) {
        if (m_loaded && m_active)
            addToTray();
        // A window minimised while there was no area goes into it now.
        if (m_inTray && m_owner && m_owner->isVisible() && m_owner->isMinimized() && minimizeToTray)
            hideToTray();
    } else {
        m_inTray = false;
        showOwnerBack();
    }
}

// --- properties ------------------------------------------------------------------------------

void TrayIcon::setActive(bool value)
{
    if (value) {
        addToTray();
        m_active = true;
        // Animate may also have been switched on while inactive.
        if (m_resumeAnimation || m_animate) {
            m_animate = false;
            setAnimate(true);
        }
    } else {
        if (m_animate) {
            setAnimate(false);
            m_resumeAnimation = true;
        }
        removeFromTray();
        m_active = false;
        showOwnerBack();
    }
}

void TrayIcon::setAnimate(bool value)
{
    if (value == m_animate)
        return;
    m_animate = value;
    if (!m_active)
        return;
    m_resumeAnimation = value;
    if (value) {
        if (!m_animationTimer) {
            m_animationTimer = new QTimer(this);
            connect(m_animationTimer, &QTimer::timeout, this, [this] { animationTick(); });
        }
        if (m_interval == 0)
            m_interval = kDefaultAnimationMs;
        setInterval(m_interval);
    } else {
        if (m_animationTimer)
            m_animationTimer->stop();
        if (!m_icon.isNull())
            m_currentIcon = m_icon;
        else if (m_imageIndex >= 0 && m_imageIndex < int(m_images.size()))
            m_currentIcon = m_images[m_imageIndex];
        resetIcon();
    }
    if (m_animationTimer) {
        if (m_animate)
            m_animationTimer->start();
        else
            m_animationTimer->stop();
    }
}

void TrayIcon::animationTick()
{
    if (m_images.empty() || !m_inTray)
        return;
    // The list may have been replaced by a shorter one since the last tick.
    if (m_animationFrame >= int(m_images.size()))
        m_animationFrame = 0;
    m_currentIcon = m_images[m_animationFrame];
    resetIcon();
    if (++m_animationFrame > int(m_images.size()) - 1)
        m_animationFrame = 0;
}

void TrayIcon::setHint(const QString &value)
{
    if (value == m_hint)
        return;
    m_hint = value;
    if (m_showHint)
        notifyModify(tr("SetHint Error"));
}

void TrayIcon::setShowHint(bool value)
{
    m_showHint = value;
    notifyModify(tr("SetShowHint Error"));
}

void TrayIcon::setIcon(const QIcon &value)
{
    m_icon = value;
    m_currentIcon = m_icon;
    resetIcon();
}

void TrayIcon::setImages(const std::vector<QIcon> &value)
{
    m_images = value;
    if (!m_loaded || !m_icon.isNull() || m_images.empty())
        return;
    if (m_imageIndex >= 0 && m_imageIndex < int(m_images.size()))
        m_currentIcon = m_images[m_imageIndex];
    resetIcon();
}

void TrayIcon::setImageIndex(int value)
{
    m_imageIndex = value;
    if (!m_inTray)
        return;
    if (m_images.empty()) {
        showError(tr("SetImageIndex: No image list assigned"));
        return;
    }
    if (m_imageIndex >= 0 && m_imageIndex < int(m_images.size()))
        m_currentIcon = m_images[m_imageIndex];
    resetIcon();
}

void TrayIcon::setInterval(int value)
{
    m_interval = value;
    // A period of 0 would tick whenever the program is idle.
    if (m_animationTimer)
        m_animationTimer->setInterval(m_interval > 0 ? m_interval : kDefaultAnimationMs);
}

// --- clicks and balloons -----------------------------------------------------------------------

void TrayIcon::trayEvent(TrayBackend::Event event)
{
    // Events arrive from the desktop's own channels; what a handler raises is reported here
    // rather than let through them.
    try {
        switch (event) {
        case TrayBackend::Event::LeftPress:
            click(Qt::LeftButton);
            break;
        case TrayBackend::Event::LeftDoubleClick:
            doubleClick(Qt::LeftButton);
            break;
        case TrayBackend::Event::RightPress:
            showPopupMenu();
            break;
        case TrayBackend::Event::MiddlePress:
            click(Qt::MiddleButton);
            break;
        case TrayBackend::Event::BalloonClick:
            if (onBalloonClicked)
                onBalloonClicked();
            break;
        case TrayBackend::Event::BalloonHide:
            if (onBalloonHidden)
                onBalloonHidden();
            break;
        case TrayBackend::Event::BalloonTimeout:
            if (onBalloonTimedOut)
                onBalloonTimedOut();
            break;
        }
    } catch (const std::exception &error) {
        reportDesktopError(QString(), QString::fromUtf8(error.what()));
    }
}

void TrayIcon::click(Qt::MouseButton button)
{
    if (onClick)
        onClick(button, QGuiApplication::queryKeyboardModifiers());
}

void TrayIcon::doubleClick(Qt::MouseButton button)
{
    if (onDoubleClick)
        onDoubleClick(button, QGuiApplication::queryKeyboardModifiers());
    if (restoreOnDoubleClick)
        restore();
}

void TrayIcon::showPopupMenu()
{
    if (m_popupMenu)
        m_popupMenu->popup(QCursor::pos());
}

void TrayIcon::showBalloonHint(const QString &title, const QString &text, BalloonIcon icon, quint8 timeoutSeconds)
{
    if (!m_inTray)
        return;
    m_backend->showMessage(title.left(kBalloonTitleLength), text.left(kBalloonTextLength), int(icon),
                           int(timeoutSeconds) * 1000);
}

// --- the owner ---------------------------------------------------------------------------------

bool TrayIcon::canHideToTray() const
{
    return m_owner && m_active && m_backend->isAvailable();
}

bool TrayIcon::hideToTray()
{
    if (!canHideToTray())
        return false;
    addToTray();
    if (!m_inTray)
        return false;
    if (!m_keepRunning)
        m_keepRunning = std::make_unique<QEventLoopLocker>();
    m_hiddenByTray = true;
    // A minimised window stays minimised while hidden: clearing the state maps the native
    // window again on X11, an unpainted frame the widget knows nothing of. Restore clears it.
    m_owner->hide();
    return true;
}

void TrayIcon::showOwnerBack()
{
    // The area went away (or the icon was switched off) with the window in it: put the window
    // where the user can reach it.
    if (m_owner && m_hiddenByTray && !m_owner->isVisible())
        m_owner->showMinimized();
}

void TrayIcon::ownerMinimized()
{
    if (onMinimize)
        onMinimize();
    if (!minimizeToTray || !canHideToTray())
        return;
    // Hiding a window while its state change is still being delivered confuses some window
    // managers; hide it once that is done.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (m_owner && m_owner->isVisible() && m_owner->isMinimized() && minimizeToTray)
                hideToTray();
        },
        Qt::QueuedConnection);
}

void TrayIcon::restore()
{
    if (onRestore)
        onRestore();
    if (m_owner) {
        if (m_owner->isMinimized())
            m_owner->setWindowState(m_owner->windowState() & ~Qt::WindowMinimized);
        m_owner->show();
        m_owner->raise();
        m_owner->activateWindow();
    }
    if (hideOnRestore)
        removeFromTray();
}

void TrayIcon::minimize()
{
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (!m_owner)
                return;
            const bool intoTray = minimizeToTray && canHideToTray();
            if (m_owner->isVisible() && !intoTray) {
                // The owner filter takes it from here, as for the minimise button.
                m_owner->setWindowState(m_owner->windowState() | Qt::WindowMinimized);
                return;
            }
            // Straight into the area, without minimising first: a window manager that is still
            // iconifying the window when it is withdrawn may map it again.
            if (onMinimize)
                onMinimize();
            if (!intoTray)
                return;
            if (m_owner->isVisible())
                hideToTray();
            else
                addToTray(); // already out of sight: the icon still goes in, as the button would have it
        },
        Qt::QueuedConnection);
}

bool TrayIcon::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_owner)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Close:
        // Only the user's close (title-bar button, window manager) goes into the area. A close
        // the program asks for, or the application's as it quits (the session's end), goes through.
        if (event->spontaneous() && closeToTray && !qApp->isSavingSession() && !applicationEnding() && hideToTray()) {
            event->ignore();
            return true;
        }
        break;
    case QEvent::WindowStateChange: {
        const auto *change = static_cast<QWindowStateChangeEvent *>(event);
        if (m_owner->isMinimized() && !(change->oldState() & Qt::WindowMinimized) && m_owner->isVisible())
            ownerMinimized();
        break;
    }
    case QEvent::Show:
        // Spontaneous shows come from the window manager (un-minimising); only the program's
        // own show brings the window back from the area.
        if (event->spontaneous())
            break;
        m_hiddenByTray = false;
        if (m_keepRunning)
            QMetaObject::invokeMethod(
                this,
                [this] {
                    if (m_owner && m_owner->isVisible())
                        m_keepRunning.reset();
                },
                Qt::QueuedConnection);
        // A window that starts minimised goes straight into the area.
        if (m_startHideCount < 2) {
            m_startHideCount = 2;
            if (m_owner->isMinimized() && canHideToTray())
                QMetaObject::invokeMethod(
                    this,
                    [this] {
                        if (m_owner && m_owner->isVisible() && m_owner->isMinimized())
                            hideToTray();
                    },
                    Qt::QueuedConnection);
        }
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
