// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "desktop/TrayBackend.h"
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

// The picture beside a balloon's text; the values are the desktop's own.
enum class BalloonIcon { None, Information, Warning, Critical };

// One icon in the desktop's notification area for the window that owns it. The icon's clicks
// become events, a right press shows a menu at the cursor, balloons can be shown, the icon can
// cycle through a list of pictures, and the owner's close and minimise by the user hide it into
// the area instead.
//
// The owner is watched through an event filter on the widget, so the rules keep working when
// its native window is re-created. Nothing is hidden into an area that is not there: without
// one, close and minimise do what they always do, and the icon is added when the area appears.
class TrayIcon : public QObject {
    Q_OBJECT
public:
    // backend: nullptr for createTrayBackend().
    explicit TrayIcon(QWidget *owner, std::unique_ptr<TrayBackend> backend = nullptr);
    ~TrayIcon() override;

    // Call once the owner has set the properties: puts the icon into the area. Also runs by
    // itself when the event loop first comes round; a second call does nothing.
    void loaded();

    bool active() const { return m_active; }
    void setActive(bool value);
    bool animate() const { return m_animate; }
    void setAnimate(bool value);
    QString hint() const { return m_hint; }
    void setHint(const QString &value);
    QIcon icon() const { return m_icon; }
    void setIcon(const QIcon &value);
    const std::vector<QIcon> &images() const { return m_images; }
    void setImages(const std::vector<QIcon> &value); // an empty list means none
    int imageIndex() const { return m_imageIndex; }
    void setImageIndex(int value);
    int interval() const { return m_interval; }
    void setInterval(int value);
    QMenu *popupMenu() const { return m_popupMenu; }
    void setPopupMenu(QMenu *value) { m_popupMenu = value; }
    bool showHint() const { return m_showHint; }
    void setShowHint(bool value);

    bool closeToTray = true;
    bool hideOnRestore = false;
    bool minimizeToTray = false;
    bool restoreOnDoubleClick = true;

    // What the user did to the icon. Plain handlers rather than signals: what one raises is
    // shown in the error box, which a signal could not carry back.
    std::function<void(Qt::MouseButton button, Qt::KeyboardModifiers modifiers)> onClick;
    std::function<void(Qt::MouseButton button, Qt::KeyboardModifiers modifiers)> onDoubleClick;
    std::function<void()> onMinimize;
    std::function<void()> onRestore;
    std::function<void()> onBalloonHidden;
    std::function<void()> onBalloonTimedOut;
    std::function<void()> onBalloonClicked;

    // Brings the owner back from the area and to the front.
    void restore();
    // Asks the owner to minimise, as its minimise button does; runs when the event loop comes
    // round.
    void minimize();
    // The title is cut to 63 characters, the text to 255. Nothing is shown while the icon is
    // not in the area.
    void showBalloonHint(const QString &title, const QString &text, BalloonIcon icon, quint8 timeoutSeconds);

    bool inTray() const { return m_inTray; }
    QMenu *defaultMenu() const { return m_defaultMenu.get(); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void addToTray();
    void removeFromTray();
    void resetIcon();
    bool notifyModify(const QString &errorText);
    void click(Qt::MouseButton button);
    void doubleClick(Qt::MouseButton button);
    void showPopupMenu();
    void animationTick();
    void trayEvent(TrayBackend::Event event);
    void trayAvailabilityChanged(bool available);

    void ownerMinimized();
    bool canHideToTray() const;
    bool hideToTray();
    void showOwnerBack();
    void showError(const QString &text) const;
    QIcon shellIcon() const;
    QString shellTip() const;

    QPointer<QWidget> m_owner;
    std::unique_ptr<TrayBackend> m_backend;
    QPointer<QMenu> m_popupMenu;
    std::unique_ptr<QMenu> m_defaultMenu;
    QTimer *m_animationTimer = nullptr;
    // Held while the owner sits hidden in the area, so that closing some other window then
    // does not end the program.
    std::unique_ptr<QEventLoopLocker> m_keepRunning;

    bool m_active = true;
    bool m_animate = false;
    bool m_resumeAnimation = false;
    bool m_showHint = true;
    bool m_inTray = false;
    bool m_loaded = false;
    bool m_hiddenByTray = false;
    int m_imageIndex = 0;
    int m_interval = 250;
    int m_animationFrame = 0;
    int m_startHideCount = 0;
    QString m_hint;
    QIcon m_icon;
    QIcon m_currentIcon;
    std::vector<QIcon> m_images;
};

