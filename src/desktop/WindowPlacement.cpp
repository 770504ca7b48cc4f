// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/WindowPlacement.h"
#include "core/SettingsFile.h"
#include "desktop/DesktopErrors.h"
#include "desktop/WhenNotMinimized.h"
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QWindow>
#include <limits>

namespace {

const QString kMaximized = QStringLiteral("Maximized");
const QString kLeft = QStringLiteral("Left");
const QString kTop = QStringLiteral("Top");
const QString kRight = QStringLiteral("Right");
const QString kBottom = QStringLiteral("Bottom");
const QString kSaved = QStringLiteral("Saved");
// How long the window manager may take to frame a window that is shown.
constexpr int kFrameTries = 20;
constexpr int kFrameTryMs = 100;

bool isSizeable(const QWidget &form)
{
    return !(form.windowFlags() & Qt::MSWindowsFixedSizeDialogHint) && form.minimumSize() != form.maximumSize();
}

// The client rectangle the window returns to when it is neither maximised nor minimised.
QRect normalRect(const QWidget &form)
{
    const QRect normal = form.normalGeometry();
    return normal.isValid() ? normal : form.geometry();
}

bool isFramed(const QWidget &form)
{
    return form.frameGeometry() != form.geometry();
}

// The window manager's frame around the client rectangle: as the platform reports it once the
// window has been framed, else the style's idea of a title bar and border.
QMargins frameMargins(const QWidget &form)
{
    const QRect frame = form.frameGeometry();
    const QRect client = form.geometry();
    if (isFramed(form))
        return {client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
                frame.bottom() - client.bottom()};
    const int border = form.style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, &form);
    return {border, border + form.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &form), border, border};
}

// Places the client area of a window that is neither maximised nor minimised, through its
// native window too: Qt skips a rectangle it believes the window has already, and the window
// manager would then place a window that is shown again where it likes. A window about to be
// mapped is given its frame's place, which Qt never skips: after a first show placed by the
// window manager, Qt may never have told it a place at all.
void placeClient(QWidget &form, const QRect &client)
{
    form.setGeometry(client);
    QWindow *native = form.windowHandle();
    if (!native)
        return;
    if (native->isVisible()) {
        native->setGeometry(client);
        return;
    }
    const QMargins frame = frameMargins(form);
    native->setFramePosition(client.topLeft() - QPoint(frame.left(), frame.top()));
}

void setNormalRect(QWidget &form, const QRect &client)
{
    const Qt::WindowStates state = form.windowState();
    const Qt::WindowStates wide = Qt::WindowMaximized | Qt::WindowFullScreen;
    if (!(state & wide)) {
        placeClient(form, client);
        return;
    }
    // Qt offers no setter for the normal rectangle of a maximised window: step out, set it,
    // and step back in.
    form.setWindowState(state & ~wide);
    placeClient(form, client);
    form.setWindowState(state);
}

int toInt(qint64 value)
{
    // Halved, so that a corner plus a size still fits.
    return int(qBound(qint64(std::numeric_limits<int>::min() / 2), value, qint64(std::numeric_limits<int>::max() / 2)));
}

// The saved frame rectangle made usable: a corner on no screen (one that has been removed)
// goes to the primary screen, and a rectangle larger than its screen (a damaged file: a window
// of millions of pixels costs gigabytes to paint) is cut to the screen and moved onto it. One
// that fits is kept as it was put, even reaching past an edge.
QRect fitOnScreen(QRect rect)
{
    const QScreen *screen = QGuiApplication::screenAt(rect.topLeft());
    if (!screen) {
        screen = QGuiApplication::primaryScreen();
        if (!screen)
            return rect;
        rect.moveTopLeft(screen->availableGeometry().topLeft());
    }
    const QRect area = screen->availableGeometry();
    if (rect.width() <= area.width() && rect.height() <= area.height())
        return rect;
    rect.setSize(rect.size().boundedTo(area.size()));
    rect.moveTo(qBound(area.left(), rect.left(), area.right() + 1 - rect.width()),
                qBound(area.top(), rect.top(), area.bottom() + 1 - rect.height()));
    return rect;
}

} // namespace

void WindowPlacement::fitFrameOnceFramed(const QSize &frameSize, const QSize &guessed, int triesLeft)
{
    // The user may have resized the window by then; some platforms never frame.
    if (!m_owner || normalRect(*m_owner).size() != guessed || triesLeft <= 0) {
        m_unfittedFrameSize = QSize();
        return;
    }
    if (m_owner->isMinimized()) {
        whenNotMinimized(*m_owner, this, [this, frameSize, guessed] { fitFrameOnceFramed(frameSize, guessed, kFrameTries); });
        return;
    }
    if (!isFramed(*m_owner)) {
        QTimer::singleShot(kFrameTryMs, this, [this, frameSize, guessed, triesLeft] {
            fitFrameOnceFramed(frameSize, guessed, triesLeft - 1);
        });
        return;
    }
    m_unfittedFrameSize = QSize();
    setNormalRect(*m_owner, QRect(normalRect(*m_owner).topLeft(), frameSize.shrunkBy(frameMargins(*m_owner))));
}

WindowPlacement::WindowPlacement(QWidget *owner) : QObject(owner), m_owner(owner)
{
    hookOwner();
}

WindowPlacement::~WindowPlacement()
{
    unhookOwner();
}

QWidget *WindowPlacement::ownerForm() const
{
    return m_owner && m_owner->isWindow() ? m_owner.data() : nullptr;
}

void WindowPlacement::hookOwner()
{
    if (m_hooked || !m_owner)
        return;
    m_owner->installEventFilter(this);
    m_hooked = true;
}

void WindowPlacement::unhookOwner()
{
    if (!m_hooked)
        return;
    if (m_owner)
        m_owner->removeEventFilter(this);
    m_hooked = false;
}

bool WindowPlacement::eventFilter(QObject *watched, QEvent *event)
{
    // Only the program's own show and close count: the window manager also sends spontaneous
    // shows when a minimised window comes back, and moving it then would undo the user's
    // placement since the last save.
    if (watched == m_owner && ownerForm() && !event->spontaneous() && event->type() == QEvent::Show)
        restoreState();
    else if (watched == m_owner && ownerForm() && event->type() == QEvent::Close)
        saveState();
    return QObject::eventFilter(watched, event);
}

void WindowPlacement::saveState()
{
    if (!enabled)
        return;
    QWidget *form = ownerForm();
    if (!form)
        return;
    QRect rect = normalRect(*form).marginsAdded(frameMargins(*form));
    // A size restored to a window that has not been fitted to its frame yet (a minimised one
    // waits to be back) is kept as it was: the client's size is only a guess until then.
    if (m_unfittedFrameSize.isValid())
        rect.setSize(m_unfittedFrameSize);
    SettingsAction action; // one box for the placement, not one per key
    const SettingsFile ini(iniPath);
    ini.writeBool(section, kMaximized, form->windowState() & Qt::WindowMaximized);
    ini.writeInteger(section, kLeft, rect.left());
    ini.writeInteger(section, kTop, rect.top());
    if (isSizeable(*form)) {
        ini.writeInteger(section, kRight, rect.left() + rect.width());
        ini.writeInteger(section, kBottom, rect.top() + rect.height());
    }
    ini.writeBool(section, kSaved, true);
    if (action.failed())
        reportDesktopError(tr("Error"), action.failure());
    emit stateSaved();
}

void WindowPlacement::restoreState()
{
    if (!enabled)
        return;
    QWidget *form = ownerForm();
    if (!form)
        return;
    const SettingsFile ini(iniPath);
    const QMargins frame = frameMargins(*form);
    const QRect current = normalRect(*form).marginsAdded(frame);
    const int left = toInt(ini.readInteger(section, kLeft, current.left()));
    const int top = toInt(ini.readInteger(section, kTop, current.top()));
    QRect rect(left, top, current.width(), current.height());
    if (isSizeable(*form)) {
        const int right = toInt(ini.readInteger(section, kRight, qint64(left) + current.width()));
        const int bottom = toInt(ini.readInteger(section, kBottom, qint64(top) + current.height()));
        // A damaged file must not shrink the window to nothing.
        if (right > left && bottom > top)
            rect.setSize(QSize(right - left, bottom - top));
    }
    rect = fitOnScreen(rect);
    const QRect client = rect.marginsRemoved(frame);
    if (isFramed(*form) || form->isMaximized()) {
        setNormalRect(*form, client);
    } else if (!ini.readString(section, kLeft).isEmpty() || !ini.readString(section, kTop).isEmpty()) {
        // Not framed yet, so the frame's size is a guess: the frame is put in place by the
        // window manager, and the size follows once the frame is known. Without a stored
        // place the window manager places the window.
        form->resize(client.size());
        form->move(rect.topLeft());
        if (form->windowHandle())
            form->windowHandle()->setFramePosition(rect.topLeft());
        m_unfittedFrameSize = rect.size();
        fitFrameOnceFramed(rect.size(), client.size(), kFrameTries);
    }
    if (ini.readBool(section, kMaximized, false))
        form->setWindowState(form->windowState() | Qt::WindowMaximized);
    emit stateRestored();
}
