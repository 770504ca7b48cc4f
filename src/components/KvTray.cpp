#include "components/KvTray.h"
#include "app/KvApplication.h"
#include "app/Prompts.h"
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

const QString kErrorCaption = QStringLiteral("Korvel TrayIcon Error");
constexpr int kTipLength = 127;
constexpr int kBalloonTitleLength = 63;
constexpr int kBalloonTextLength = 255;
constexpr int kDefaultAnimationMs = 200;

} // namespace

TKvCustomTrayIcon::TKvCustomTrayIcon(QWidget *owner, std::unique_ptr<KvTrayBackend> backend)
    : QObject(owner), FOwner(owner), FBackend(backend ? std::move(backend) : CreateTrayBackend()),
      FDefaultMenu(std::make_unique<QMenu>())
{
    FBackend->onEvent = [this](KvTrayBackend::Event event) { TrayEvent(event); };
    FBackend->onAvailabilityChanged = [this](bool available) { TrayAvailabilityChanged(available); };

    FDefaultMenu->addAction(QStringLiteral("&Close"), [] { QCoreApplication::exit(0); });
    FDefaultMenu->addAction(QStringLiteral("&Restore"), [this] { Restore(); });
    FPopupMenu = FDefaultMenu.get();

    if (FOwner)
        FOwner->installEventFilter(this);
    // Owners set the properties right after construction; the icon goes in once they are done.
    QMetaObject::invokeMethod(this, [this] { Loaded(); }, Qt::QueuedConnection);
}

TKvCustomTrayIcon::~TKvCustomTrayIcon()
{
    RemoveFromTray();
    FBackend->onEvent = nullptr;
    FBackend->onAvailabilityChanged = nullptr;
}

void TKvCustomTrayIcon::Loaded()
{
    if (FLoaded)
        return;
    FLoaded = true;
    if (FActive)
        AddToTray();
    if (!FIcon.isNull())
        SetIcon(FIcon);
    else if (!FImages.empty())
        SetImages(FImages);
}

// --- the icon in the area -------------------------------------------------------------------

void TKvCustomTrayIcon::AddToTray()
{
    if (FInTray)
        return;
    // No area yet: the icon goes in when it appears (TrayAvailabilityChanged).
    if (!FBackend->isAvailable())
        return;
    FInTray = FBackend->show(ShellIcon(), ShellTip());
    if (!FInTray)
        ShowError(QStringLiteral("AddToTray can not add icon to the tray"));
}

void TKvCustomTrayIcon::RemoveFromTray()
{
    if (!FInTray)
        return;
    FBackend->hide();
    FInTray = false;
}

void TKvCustomTrayIcon::ResetIcon()
{
    // Only an icon that is in the area can be changed there; an icon still waiting for the
    // area takes the change when it goes in.
    NotifyModify(QStringLiteral("ResetIcon Error"));
}

bool TKvCustomTrayIcon::NotifyModify(const QString &errorText)
{
    if (!FInTray)
        return false;
    if (FBackend->update(ShellIcon(), ShellTip()))
        return true;
    ShowError(errorText);
    return false;
}

QIcon TKvCustomTrayIcon::ShellIcon() const
{
    if (!FCurrentIcon.isNull())
        return FCurrentIcon;
    if (!QApplication::windowIcon().isNull())
        return QApplication::windowIcon();
    return QApplication::style()->standardIcon(QStyle::SP_ComputerIcon);
}

QString TKvCustomTrayIcon::ShellTip() const
{
    return FShowHint ? FHint.left(kTipLength) : QString();
}

void TKvCustomTrayIcon::ShowError(const QString &text) const
{
    Prompts().messageBox(kErrorCaption, text, MB_OK, KvBoxIcon::Error);
}

void TKvCustomTrayIcon::TrayAvailabilityChanged(bool available)
{
    if (available) {
        if (FLoaded && FActive)
            AddToTray();
        // A window minimised while there was no area goes into it now.
        if (FInTray && FOwner && FOwner->isVisible() && FOwner->isMinimized() && MinimizeToTray)
            HideToTray();
    } else {
        FInTray = false;
        ShowOwnerBack();
    }
}

// --- properties ------------------------------------------------------------------------------

void TKvCustomTrayIcon::SetActive(bool value)
{
    if (value) {
        AddToTray();
        FActive = true;
        // Animate may also have been switched on while inactive.
        if (FResumeAnimation || FAnimate) {
            FAnimate = false;
            SetAnimate(true);
        }
    } else {
        if (FAnimate) {
            SetAnimate(false);
            FResumeAnimation = true;
        }
        RemoveFromTray();
        FActive = false;
        ShowOwnerBack();
    }
}

void TKvCustomTrayIcon::SetAnimate(bool value)
{
    if (value == FAnimate)
        return;
    FAnimate = value;
    if (!FActive)
        return;
    FResumeAnimation = value;
    if (value) {
        if (!FAnimationTimer) {
            FAnimationTimer = new QTimer(this);
            connect(FAnimationTimer, &QTimer::timeout, this, [this] { AnimationTick(); });
        }
        if (FInterval == 0)
            FInterval = kDefaultAnimationMs;
        SetInterval(FInterval);
    } else {
        if (FAnimationTimer)
            FAnimationTimer->stop();
        if (!FIcon.isNull())
            FCurrentIcon = FIcon;
        else if (FImageIndex >= 0 && FImageIndex < int(FImages.size()))
            FCurrentIcon = FImages[FImageIndex];
        ResetIcon();
    }
    if (FAnimationTimer) {
        if (FAnimate)
            FAnimationTimer->start();
        else
            FAnimationTimer->stop();
    }
}

void TKvCustomTrayIcon::AnimationTick()
{
    if (FImages.empty() || !FInTray)
        return;
    // The list may have been replaced by a shorter one since the last tick.
    if (FAnimationFrame >= int(FImages.size()))
        FAnimationFrame = 0;
    FCurrentIcon = FImages[FAnimationFrame];
    ResetIcon();
    if (++FAnimationFrame > int(FImages.size()) - 1)
        FAnimationFrame = 0;
}

void TKvCustomTrayIcon::SetHint(const QString &value)
{
    if (value == FHint)
        return;
    FHint = value;
    if (FShowHint)
        NotifyModify(QStringLiteral("SetHint Error"));
}

void TKvCustomTrayIcon::SetShowHint(bool value)
{
    FShowHint = value;
    NotifyModify(QStringLiteral("SetShowHint Error"));
}

void TKvCustomTrayIcon::SetIcon(const QIcon &value)
{
    FIcon = value;
    FCurrentIcon = FIcon;
    ResetIcon();
}

void TKvCustomTrayIcon::SetImages(const std::vector<QIcon> &value)
{
    FImages = value;
    if (!FLoaded || !FIcon.isNull() || FImages.empty())
        return;
    if (FImageIndex >= 0 && FImageIndex < int(FImages.size()))
        FCurrentIcon = FImages[FImageIndex];
    ResetIcon();
}

void TKvCustomTrayIcon::SetImageIndex(int value)
{
    FImageIndex = value;
    if (!FInTray)
        return;
    if (FImages.empty()) {
        ShowError(QStringLiteral("SetImageIndex: No image list assigned"));
        return;
    }
    if (FImageIndex >= 0 && FImageIndex < int(FImages.size()))
        FCurrentIcon = FImages[FImageIndex];
    ResetIcon();
}

void TKvCustomTrayIcon::SetInterval(int value)
{
    FInterval = value;
    // A period of 0 would tick whenever the program is idle.
    if (FAnimationTimer)
        FAnimationTimer->setInterval(FInterval > 0 ? FInterval : kDefaultAnimationMs);
}

// --- clicks and balloons -----------------------------------------------------------------------

void TKvCustomTrayIcon::TrayEvent(KvTrayBackend::Event event)
{
    // Events arrive from the desktop's own channels; what a handler raises is reported here
    // rather than let through them.
    try {
        switch (event) {
        case KvTrayBackend::Event::LeftPress:
            Click(Qt::LeftButton);
            break;
        case KvTrayBackend::Event::LeftDoubleClick:
            DblClick(Qt::LeftButton);
            break;
        case KvTrayBackend::Event::RightPress:
            ShowPopupMenu();
            break;
        case KvTrayBackend::Event::MiddlePress:
            Click(Qt::MiddleButton);
            break;
        case KvTrayBackend::Event::BalloonClick:
            if (OnBalloonHintClick)
                OnBalloonHintClick(this);
            break;
        case KvTrayBackend::Event::BalloonHide:
            if (OnBalloonHintHide)
                OnBalloonHintHide(this);
            break;
        case KvTrayBackend::Event::BalloonTimeout:
            if (OnBalloonHintClose)
                OnBalloonHintClose(this);
            break;
        }
    } catch (const std::exception &error) {
        ShowDefaultErrorBox(QString::fromUtf8(error.what()));
    }
}

void TKvCustomTrayIcon::Click(Qt::MouseButton button)
{
    if (OnClick)
        OnClick(this, button, QGuiApplication::queryKeyboardModifiers());
}

void TKvCustomTrayIcon::DblClick(Qt::MouseButton button)
{
    bool restoreApp = true;
    if (OnDblClick)
        OnDblClick(this, button, QGuiApplication::queryKeyboardModifiers(), restoreApp);
    if (restoreApp)
        Restore();
}

void TKvCustomTrayIcon::ShowPopupMenu()
{
    if (FPopupMenu)
        FPopupMenu->popup(QCursor::pos());
}

void TKvCustomTrayIcon::ShowBalloonHint(const QString &Title, const QString &Text, TKvBalloonIcon IconKind,
                                        quint8 TimeoutSeconds)
{
    if (!FInTray)
        return;
    FBackend->showMessage(Title.left(kBalloonTitleLength), Text.left(kBalloonTextLength), int(IconKind),
                          int(TimeoutSeconds) * 1000);
}

// --- the owner ---------------------------------------------------------------------------------

bool TKvCustomTrayIcon::CanHideToTray() const
{
    return FOwner && FActive && FBackend->isAvailable();
}

bool TKvCustomTrayIcon::HideToTray()
{
    if (!CanHideToTray())
        return false;
    AddToTray();
    if (!FInTray)
        return false;
    if (!FKeepRunning)
        FKeepRunning = std::make_unique<QEventLoopLocker>();
    FHiddenByTray = true;
    // A minimised window stays minimised while hidden: clearing the state maps the native
    // window again on X11, an unpainted frame the widget knows nothing of. Restore clears it.
    FOwner->hide();
    return true;
}

void TKvCustomTrayIcon::ShowOwnerBack()
{
    // The area went away (or the icon was switched off) with the window in it: put the window
    // where the user can reach it.
    if (FOwner && FHiddenByTray && !FOwner->isVisible())
        FOwner->showMinimized();
}

void TKvCustomTrayIcon::OwnerMinimized()
{
    if (OnMinimize)
        OnMinimize(this);
    if (!MinimizeToTray || !CanHideToTray())
        return;
    // Hiding a window while its state change is still being delivered confuses some window
    // managers; hide it once that is done.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (FOwner && FOwner->isVisible() && FOwner->isMinimized() && MinimizeToTray)
                HideToTray();
        },
        Qt::QueuedConnection);
}

void TKvCustomTrayIcon::Restore()
{
    if (OnRestore)
        OnRestore(this);
    if (FOwner) {
        if (FOwner->isMinimized())
            FOwner->setWindowState(FOwner->windowState() & ~Qt::WindowMinimized);
        FOwner->show();
        FOwner->raise();
        FOwner->activateWindow();
    }
    if (HideOnRestore)
        RemoveFromTray();
}

void TKvCustomTrayIcon::Minimize()
{
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (!FOwner)
                return;
            const bool intoTray = MinimizeToTray && CanHideToTray();
            if (FOwner->isVisible() && !intoTray) {
                // The owner filter takes it from here, as for the minimise button.
                FOwner->setWindowState(FOwner->windowState() | Qt::WindowMinimized);
                return;
            }
            // Straight into the area, without minimising first: a window manager that is still
            // iconifying the window when it is withdrawn may map it again.
            if (OnMinimize)
                OnMinimize(this);
            if (!intoTray)
                return;
            if (FOwner->isVisible())
                HideToTray();
            else
                AddToTray(); // already out of sight: the icon still goes in, as the button would have it
        },
        Qt::QueuedConnection);
}

bool TKvCustomTrayIcon::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != FOwner)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Close:
        // Only the user's close (title-bar button, window manager) goes into the area. A close
        // the program asks for, or the application's as it quits (the session's end), goes through.
        if (event->spontaneous() && CloseToTray && !qApp->isSavingSession() && !ApplicationEnding() && HideToTray()) {
            event->ignore();
            return true;
        }
        break;
    case QEvent::WindowStateChange: {
        const auto *change = static_cast<QWindowStateChangeEvent *>(event);
        if (FOwner->isMinimized() && !(change->oldState() & Qt::WindowMinimized) && FOwner->isVisible())
            OwnerMinimized();
        break;
    }
    case QEvent::Show:
        // Spontaneous shows come from the window manager (un-minimising); only the program's
        // own show brings the window back from the area.
        if (event->spontaneous())
            break;
        FHiddenByTray = false;
        if (FKeepRunning)
            QMetaObject::invokeMethod(
                this,
                [this] {
                    if (FOwner && FOwner->isVisible())
                        FKeepRunning.reset();
                },
                Qt::QueuedConnection);
        // A window that starts minimised goes straight into the area.
        if (FStartHideCount < 2) {
            FStartHideCount = 2;
            if (FOwner->isMinimized() && CanHideToTray())
                QMetaObject::invokeMethod(
                    this,
                    [this] {
                        if (FOwner && FOwner->isVisible() && FOwner->isMinimized())
                            HideToTray();
                    },
                    Qt::QueuedConnection);
        }
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
