// SPDX-License-Identifier: GPL-3.0-or-later
#include "DesktopSession.h"
#include <array>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>
#include <QThread>

ChildProcess::~ChildProcess()
{
    if (state() != NotRunning) {
        terminate();
        if (!waitForFinished(2000)) {
            kill();
            waitForFinished(3000);
        }
    }
}

DesktopSession::DesktopSession(const Options &options)
{
    QStringList tools = {QStringLiteral("Xvfb"), QStringLiteral("xdotool"), QStringLiteral("xwininfo"), QStringLiteral("import")};
    if (options.windowManager)
        tools << QStringLiteral("openbox");
    if (options.tray)
        tools << QStringLiteral("trayer");
    for (const QString &tool : tools) {
        if (QStandardPaths::findExecutable(tool).isEmpty()) {
            m_skipReason = tool + QStringLiteral(" is not installed (scripts/setup.sh installs it)");
            return;
        }
    }

    auto xvfb = std::make_unique<ChildProcess>();
    xvfb->start(QStringLiteral("Xvfb"), {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                                         QStringLiteral("0"), options.screen, QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    if (!xvfb->waitForStarted(5000) || !xvfb->waitForReadyRead(10000)) {
        m_skipReason = QStringLiteral("Xvfb cannot start here");
        return;
    }
    m_environment = QProcessEnvironment::systemEnvironment();
    m_environment.insert(QStringLiteral("DISPLAY"), QLatin1Char(':') + QString::fromUtf8(xvfb->readAllStandardOutput()).trimmed());
    m_environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    m_environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("disabled:"));
    m_environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    m_children.push_back(std::move(xvfb));

    if (options.windowManager) {
        if (!startHelper(QStringLiteral("openbox"), {QStringLiteral("--sm-disable")}))
            return;
        // The window manager owns the screen once it has set its check window on the root.
        for (int i = 0; i < 50 && !run(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")})
                                        .contains(QLatin1String("window id")); ++i)
            QThread::msleep(100);
    }
    if (options.tray)
        startTray();
}

bool DesktopSession::startTray()
{
    if (!startHelper(QStringLiteral("trayer"), QStringLiteral("--edge bottom --align right --widthtype pixel --width 40 "
                                                              "--heighttype pixel --height 40")
                                                   .split(QLatin1Char(' '))))
        return false;
    // The area is there once its panel shows; a program started before it finds none, which
    // is a case of its own (withoutANotificationArea, minimisedStartWithALateTray).
    const QStringList panelSearch{QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--class"), QStringLiteral("trayer")};
    for (int i = 0; i < 50 && run(QStringLiteral("xdotool"), panelSearch).isEmpty(); ++i)
        QThread::msleep(100);
    return true;
}

bool DesktopSession::startHelper(const QString &program, const QStringList &arguments)
{
    auto child = std::make_unique<ChildProcess>();
    child->setProcessEnvironment(m_environment);
    child->start(program, arguments);
    if (!child->waitForStarted(5000)) {
        m_skipReason = program + QStringLiteral(" cannot start here");
        return false;
    }
    m_children.push_back(std::move(child));
    return true;
}

QString DesktopSession::run(const QString &program, const QStringList &arguments) const
{
    QProcess tool;
    tool.setProcessEnvironment(m_environment);
    tool.start(program, arguments);
    tool.waitForFinished(5000);
    return QString::fromUtf8(tool.readAllStandardOutput()).trimmed();
}

ChildProcess &DesktopSession::startProgram(const QStringList &arguments)
{
    auto program = std::make_unique<ChildProcess>();
    program->setProcessEnvironment(m_environment);
    program->start(QStringLiteral(JOTWELL_BINARY), arguments);
    program->waitForStarted(5000);
    m_children.push_back(std::move(program));
    return *m_children.back();
}

QStringList DesktopSession::viewableWindows(const QString &name) const
{
    // xdotool lists only viewable windows unless told otherwise.
    const QString ids = xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                                 QLatin1Char('^') + QRegularExpression::escape(name) + QLatin1Char('$')});
    return ids.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

bool DesktopSession::pixelIsBlack(int x, int y) const
{
    const QString pixel = run(QStringLiteral("import"), {QStringLiteral("-window"), QStringLiteral("root"), QStringLiteral("-crop"),
                                                        QStringLiteral("1x1+%1+%2").arg(x).arg(y), QStringLiteral("txt:-")});
    return pixel.isEmpty() || pixel.contains(QLatin1String("black"));
}

QStringList DesktopSession::windows(const QString &name) const
{
    const QString ids = xdotool({QStringLiteral("search"), QStringLiteral("--name"),
                                 QLatin1Char('^') + QRegularExpression::escape(name) + QLatin1Char('$')});
    return ids.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QStringList DesktopSession::taskbarWindows() const
{
    // "_NET_CLIENT_LIST(WINDOW): window id # 0x400007, 0x600003"
    const QString list = run(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("_NET_CLIENT_LIST")});
    QStringList ids;
    const QRegularExpression hex(QStringLiteral("0x[0-9a-f]+"));
    for (auto match = hex.globalMatch(list); match.hasNext();)
        ids << QString::number(match.next().captured().toULongLong(nullptr, 16));
    return ids;
}

namespace {

// x, y, width and height of a window's inside, from "X=10\nY=20\nWIDTH=371\nHEIGHT=480\n...".
std::array<int, 4> geometry(const DesktopSession &desktop, const QString &id)
{
    const QStringList lines =
        desktop.xdotool({QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), id}).split(QLatin1Char('\n'));
    std::array<int, 4> values = {};
    const char *keys[4] = {"X=", "Y=", "WIDTH=", "HEIGHT="};
    for (const QString &line : lines)
        for (size_t i = 0; i < values.size(); ++i)
            if (line.startsWith(QLatin1String(keys[i])))
                values[i] = line.mid(int(qstrlen(keys[i]))).toInt();
    return values;
}

} // namespace

QRect DesktopSession::innerRect(const QString &id) const
{
    const std::array<int, 4> inside = geometry(*this, id);
    return QRect(inside[0], inside[1], inside[2], inside[3]);
}

QRect DesktopSession::outerRect(const QString &id) const
{
    // "_NET_FRAME_EXTENTS(CARDINAL) = 1, 1, 20, 1": left, right, top, bottom
    const QString extents = run(QStringLiteral("xprop"), {QStringLiteral("-id"), id, QStringLiteral("_NET_FRAME_EXTENTS")});
    const QStringList numbers = extents.section(QLatin1Char('='), 1).split(QLatin1Char(','), Qt::SkipEmptyParts);
    if (numbers.size() != 4)
        return QRect();
    return innerRect(id).marginsAdded(QMargins(numbers[0].toInt(), numbers[2].toInt(), numbers[1].toInt(), numbers[3].toInt()));
}

QSize DesktopSession::outerSize(const QString &id) const
{
    return outerRect(id).size();
}

bool DesktopSession::windowPainted(const QString &id) const
{
    const std::array<int, 4> inside = geometry(*this, id);
    if (inside[2] <= 0 || inside[3] <= 0)
        return false;
    return !pixelIsBlack(inside[0] + inside[2] / 2, inside[1] + inside[3] / 2);
}

bool DesktopSession::clickTrayIconUntil(const std::function<bool()> &check) const
{
    const QString x = QString::number(kTrayIconX), y = QString::number(kTrayIconY);
    for (int attempt = 0; attempt < 10; ++attempt) {
        xdotool({QStringLiteral("mousemove"), x, y, QStringLiteral("click"), QStringLiteral("1")});
        for (int wait = 0; wait < 10; ++wait) {
            if (check())
                return true;
            QTest::qWait(100);
        }
    }
    return false;
}

void DesktopSession::pressKeys(const char *keys) const
{
    xdotool({QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("80"), QLatin1String(keys)});
    QTest::qWait(400);
}

void DesktopSession::typeText(const QString &text) const
{
    xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("30"), text});
    QTest::qWait(300);
}

int DesktopSession::visibleWindowCount(qint64 processId) const
{
    const QString ids = xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
                                 QString::number(processId)});
    return ids.isEmpty() ? 0 : int(ids.split(QLatin1Char('\n')).size());
}

namespace {

const QString kTitle = QStringLiteral("Korvel Jotwell");

QString arg(int value)
{
    return QString::number(value);
}

} // namespace

RunningProgram::RunningProgram(DesktopSession &desktop, const QString &folder)
    : desktop(desktop), process(&desktop.startProgram({QStringLiteral("--data-dir"), folder}))
{
}

bool RunningProgram::windowUp(int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeoutMs) {
        const QStringList shown = desktop.viewableWindows(kTitle);
        if (shown.size() == 1 && desktop.windowPainted(shown[0])) {
            window = shown[0];
            return true;
        }
        QTest::qWait(100);
    }
    return false;
}

void RunningProgram::settle() const
{
    QTest::qWait(1000);
}

bool RunningProgram::nothingOnScreen() const
{
    return desktop.viewableWindows(kTitle).isEmpty();
}

QString RunningProgram::describeShown() const
{
    QString text = QStringLiteral("left on the screen:");
    for (const QString &id : desktop.viewableWindows(kTitle))
        text += QLatin1Char('\n') + desktop.run(QStringLiteral("xprop"), {QStringLiteral("-id"), id, QStringLiteral("WM_STATE")});
    return text;
}

bool RunningProgram::inTaskbar() const
{
    return desktop.taskbarWindows().contains(window);
}

void RunningProgram::clickList() const
{
    // The window manager may take a moment to let a window it has just mapped have the focus.
    for (int attempt = 0; attempt < 10; ++attempt) {
        desktop.xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), window});
        desktop.xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), window, arg(150), arg(200),
                         QStringLiteral("click"), QStringLiteral("1")});
        if (desktop.xdotool({QStringLiteral("getactivewindow")}) == window)
            return;
        QTest::qWait(200);
    }
}

void RunningProgram::clickSearchBox() const
{
    clickList();
    // The box fills the bar above the status bar, at the bottom of the window.
    desktop.xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), window, arg(150),
                     arg(desktop.innerRect(window).height() - 35), QStringLiteral("click"), QStringLiteral("1")});
    QTest::qWait(300);
}

void RunningProgram::keys(const QString &keys) const
{
    desktop.xdotool(QStringList{QStringLiteral("key"), QStringLiteral("--delay"), arg(60)} + keys.split(QLatin1Char(' ')));
}

void RunningProgram::chooseExitInTrayMenu() const
{
    desktop.xdotool({QStringLiteral("mousemove"), arg(DesktopSession::kTrayIconX), arg(DesktopSession::kTrayIconY),
                     QStringLiteral("click"), QStringLiteral("3")});
    QTest::qWait(700);
    desktop.xdotool({QStringLiteral("key"), QStringLiteral("x")});
}

bool RunningProgram::exitFromTrayMenu() const
{
    for (int attempt = 0; attempt < 5 && process->state() == QProcess::Running; ++attempt) {
        chooseExitInTrayMenu();
        process->waitForFinished(2000);
    }
    return process->state() == QProcess::NotRunning && process->exitStatus() == QProcess::NormalExit
           && process->exitCode() == 0;
}
