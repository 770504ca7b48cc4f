#pragma once
#include "components/KvTrayBackend.h"
#include <QIcon>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class QEventLoopLocker;
class QTimer;

enum TKvBalloonIcon { biNone, biInfo, biWarning, biError };

using TKvTrayClickEvent = std::function<void(QObject *Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift)>;
using TKvTrayDblClickEvent =
    std::function<void(QObject *Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, bool &RestoreApp)>;
using TKvTrayNotifyEvent = std::function<void(QObject *Sender)>;

// One icon in the desktop's notification area for the window that owns it. The icon's clicks
// become events, a right press shows a menu at the cursor, balloons can be shown, the icon can
// cycle through a list of pictures, and the owner's close and minimise by the user hide it into
// the area instead.
//
// The owner is watched through an event filter on the widget, so the rules keep working when
// its native window is re-created. Nothing is hidden into an area that is not there: without
// one, close and minimise do what they always do, and the icon is added when the area appears.
class TKvCustomTrayIcon : public QObject {
    Q_OBJECT
public:
    // backend: nullptr for CreateTrayBackend().
    explicit TKvCustomTrayIcon(QWidget *owner, std::unique_ptr<KvTrayBackend> backend = nullptr);
    ~TKvCustomTrayIcon() override;

    // Call once the owner has set the properties: puts the icon into the area. Also runs by
    // itself when the event loop first comes round; a second call does nothing.
    void Loaded();

    bool Active() const { return FActive; }
    void SetActive(bool value);
    bool Animate() const { return FAnimate; }
    void SetAnimate(bool value);
    QString Hint() const { return FHint; }
    void SetHint(const QString &value);
    QIcon Icon() const { return FIcon; }
    void SetIcon(const QIcon &value);
    const std::vector<QIcon> &Images() const { return FImages; }
    void SetImages(const std::vector<QIcon> &value); // an empty list means none
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int value);
    int Interval() const { return FInterval; }
    void SetInterval(int value);
    QMenu *PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(QMenu *value) { FPopupMenu = value; }
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool value);

    bool CloseToTray = true;
    bool HideOnRestore = false;
    bool MinimizeToTray = false;

    TKvTrayClickEvent OnClick;
    TKvTrayDblClickEvent OnDblClick;
    TKvTrayNotifyEvent OnMinimize;
    TKvTrayNotifyEvent OnRestore;
    TKvTrayNotifyEvent OnBalloonHintHide;
    TKvTrayNotifyEvent OnBalloonHintClose;
    TKvTrayNotifyEvent OnBalloonHintClick;

    // Brings the owner back from the area and to the front.
    void Restore();
    // Asks the owner to minimise, as its minimise button does; runs when the event loop comes
    // round.
    void Minimize();
    // Title is cut to 63 characters, Text to 255. Nothing is shown while the icon is not in
    // the area.
    void ShowBalloonHint(const QString &Title, const QString &Text, TKvBalloonIcon IconKind, quint8 TimeoutSeconds);

    bool InTray() const { return FInTray; }
    QMenu *DefaultMenu() const { return FDefaultMenu.get(); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void AddToTray();
    void RemoveFromTray();
    void ResetIcon();
    bool NotifyModify(const QString &errorText);
    void Click(Qt::MouseButton button);
    void DblClick(Qt::MouseButton button);
    void ShowPopupMenu();
    void AnimationTick();
    void TrayEvent(KvTrayBackend::Event event);
    void TrayAvailabilityChanged(bool available);

    void OwnerMinimized();
    bool CanHideToTray() const;
    bool HideToTray();
    void ShowOwnerBack();
    void ShowError(const QString &text) const;
    QIcon ShellIcon() const;
    QString ShellTip() const;

    QPointer<QWidget> FOwner;
    std::unique_ptr<KvTrayBackend> FBackend;
    QPointer<QMenu> FPopupMenu;
    std::unique_ptr<QMenu> FDefaultMenu;
    QTimer *FAnimationTimer = nullptr;
    // Held while the owner sits hidden in the area, so that closing some other window then
    // does not end the program.
    std::unique_ptr<QEventLoopLocker> FKeepRunning;

    bool FActive = true;
    bool FAnimate = false;
    bool FResumeAnimation = false;
    bool FShowHint = true;
    bool FInTray = false;
    bool FLoaded = false;
    bool FHiddenByTray = false;
    int FImageIndex = 0;
    int FInterval = 250;
    int FAnimationFrame = 0;
    int FStartHideCount = 0;
    QString FHint;
    QIcon FIcon;
    QIcon FCurrentIcon;
    std::vector<QIcon> FImages;
};

class TKvTrayIcon : public TKvCustomTrayIcon {
    Q_OBJECT
public:
    using TKvCustomTrayIcon::TKvCustomTrayIcon;
};
