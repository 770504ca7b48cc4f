#include "components/KvFormState.h"
#include "app/KvIniFile.h"
#include "app/Prompts.h"
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <limits>

namespace {

const QString kMaximized = QStringLiteral("Maximized");
const QString kLeft = QStringLiteral("Left");
const QString kTop = QStringLiteral("Top");
const QString kRight = QStringLiteral("Right");
const QString kBottom = QStringLiteral("Bottom");
const QString kSaved = QStringLiteral("Saved");

bool IsSizeable(const QWidget &form)
{
    return !(form.windowFlags() & Qt::MSWindowsFixedSizeDialogHint) && form.minimumSize() != form.maximumSize();
}

// The rectangle the window returns to when it is neither maximised nor minimised.
QRect NormalRect(const QWidget &form)
{
    const QRect normal = form.normalGeometry();
    return normal.isValid() ? normal : form.geometry();
}

void SetNormalRect(QWidget &form, const QRect &rect)
{
    const Qt::WindowStates state = form.windowState();
    const Qt::WindowStates wide = Qt::WindowMaximized | Qt::WindowFullScreen;
    if (!(state & wide)) {
        form.setGeometry(rect);
        return;
    }
    // Qt offers no setter for the normal rectangle of a maximised window: step out, set it,
    // and step back in.
    form.setWindowState(state & ~wide);
    form.setGeometry(rect);
    form.setWindowState(state);
}

int ToInt(qint64 value)
{
    // Halved, so that a corner plus a size still fits.
    return int(qBound(qint64(std::numeric_limits<int>::min() / 2), value, qint64(std::numeric_limits<int>::max() / 2)));
}

// The window manager's frame around the client rectangle: as the platform reports it once the
// window has been framed, else the style's idea of a title bar and border.
QMargins FrameMargins(const QWidget &form)
{
    const QRect frame = form.frameGeometry();
    const QRect client = form.geometry();
    if (frame != client)
        return {client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
                frame.bottom() - client.bottom()};
    const int border = form.style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, &form);
    return {border, border + form.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &form), border, border};
}

// The saved rectangle made usable: a corner on no screen (one that has been removed) goes to
// the primary screen, and a rectangle larger than its screen (a damaged file: a window of
// millions of pixels costs gigabytes to paint) is cut to fit the screen with its frame and
// moved onto it. One that fits is kept as it was put, even reaching past an edge.
QRect FitOnScreen(QRect rect, const QMargins &frame)
{
    const QScreen *screen = QGuiApplication::screenAt(rect.topLeft());
    if (!screen) {
        screen = QGuiApplication::primaryScreen();
        if (!screen)
            return rect;
        rect.moveTopLeft(screen->availableGeometry().topLeft());
    }
    const QRect area = screen->availableGeometry().marginsRemoved(frame);
    if (rect.width() <= area.width() && rect.height() <= area.height())
        return rect;
    rect.setSize(rect.size().boundedTo(area.size()));
    rect.moveTo(qBound(area.left(), rect.left(), area.right() + 1 - rect.width()),
                qBound(area.top(), rect.top(), area.bottom() + 1 - rect.height()));
    return rect;
}

} // namespace

TKvFormState::TKvFormState(QWidget *owner) : QObject(owner), FOwner(owner)
{
    HookOwner();
}

TKvFormState::~TKvFormState()
{
    UnhookOwner();
}

QWidget *TKvFormState::OwnerForm() const
{
    return FOwner && FOwner->isWindow() ? FOwner.data() : nullptr;
}

void TKvFormState::HookOwner()
{
    if (FHooked || !FOwner)
        return;
    FOwner->installEventFilter(this);
    FHooked = true;
}

void TKvFormState::UnhookOwner()
{
    if (!FHooked)
        return;
    if (FOwner)
        FOwner->removeEventFilter(this);
    FHooked = false;
}

bool TKvFormState::eventFilter(QObject *watched, QEvent *event)
{
    // Only the program's own show and close count: the window manager also sends spontaneous
    // shows when a minimised window comes back, and moving it then would undo the user's
    // placement since the last save.
    if (watched == FOwner && OwnerForm() && !event->spontaneous() && event->type() == QEvent::Show)
        RestoreState();
    else if (watched == FOwner && OwnerForm() && event->type() == QEvent::Close)
        SaveState();
    return QObject::eventFilter(watched, event);
}

void TKvFormState::SaveState()
{
    if (!Enabled)
        return;
    QWidget *form = OwnerForm();
    if (!form)
        return;
    const QRect rect = NormalRect(*form);
    KvIniAction action; // one box for the placement, not one per key
    const KvIniFile ini(IniPath);
    ini.writeBool(Section, kMaximized, form->windowState() & Qt::WindowMaximized);
    ini.writeInteger(Section, kLeft, rect.left());
    ini.writeInteger(Section, kTop, rect.top());
    if (IsSizeable(*form)) {
        ini.writeInteger(Section, kRight, rect.left() + rect.width());
        ini.writeInteger(Section, kBottom, rect.top() + rect.height());
    }
    ini.writeBool(Section, kSaved, true);
    if (action.failed())
        Prompts().messageBox(QStringLiteral("Error"), action.failure(), MB_OK, KvBoxIcon::Error);
    if (OnSaveState)
        OnSaveState(this);
}

void TKvFormState::RestoreState()
{
    if (!Enabled)
        return;
    QWidget *form = OwnerForm();
    if (!form)
        return;
    const KvIniFile ini(IniPath);
    const QRect current = NormalRect(*form);
    const int left = ToInt(ini.readInteger(Section, kLeft, current.left()));
    const int top = ToInt(ini.readInteger(Section, kTop, current.top()));
    QRect rect(left, top, current.width(), current.height());
    if (IsSizeable(*form)) {
        const int right = ToInt(ini.readInteger(Section, kRight, qint64(left) + current.width()));
        const int bottom = ToInt(ini.readInteger(Section, kBottom, qint64(top) + current.height()));
        // A damaged file must not shrink the window to nothing.
        if (right > left && bottom > top)
            rect.setSize(QSize(right - left, bottom - top));
    }
    SetNormalRect(*form, FitOnScreen(rect, FrameMargins(*form)));
    if (ini.readBool(Section, kMaximized, false))
        form->setWindowState(form->windowState() | Qt::WindowMaximized);
    if (OnRestoreState)
        OnRestoreState(this);
}
