// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QProcess>
#include <QProcessEnvironment>
#include <QRect>
#include <QSize>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

// A child process ended with the test.
struct ChildProcess : QProcess {
    ~ChildProcess() override;
};

// A private X server for end-to-end tests, with a window manager and a notification area when
// asked, as on a user's desktop. Tests call skipReason() first and QSKIP with it when not empty.
class DesktopSession {
public:
    struct Options {
        bool windowManager = true; // openbox
        bool tray = true;          // trayer, docked at the bottom right corner
        QString screen = QStringLiteral("800x600x24");
    };
    explicit DesktopSession(const Options &options);
    DesktopSession() : DesktopSession(Options{}) {}

    // The notification area of a session that starts without one (Options::tray false), as
    // when a login starts the panel after the programs; false when it cannot start.
    bool startTray();
    // Why the session could not start (a missing tool, an X server that does not come up).
    QString skipReason() const { return m_skipReason; }
    QProcessEnvironment environment() const { return m_environment; }

    // Runs a tool on the display and returns what it printed, trimmed.
    QString run(const QString &program, const QStringList &arguments) const;
    QString xdotool(const QStringList &arguments) const { return run(QStringLiteral("xdotool"), arguments); }
    // Starts the program on the display; it is ended with the session at the latest.
    ChildProcess &startProgram(const QStringList &arguments);
    // Keys pressed and text typed as a user does, with time for the program to follow.
    void pressKeys(const char *keys) const;
    void typeText(const QString &text) const;
    // How many viewable windows the process has (a window and the tray icon's count two).
    int visibleWindowCount(qint64 processId) const;

    // The ids of the viewable top-level windows whose name is this text.
    QStringList viewableWindows(const QString &name) const;
    // The ids of every window of that name, viewable or not.
    QStringList windows(const QString &name) const;
    // The windows the window manager lists for the taskbar (_NET_CLIENT_LIST), as xdotool ids.
    QStringList taskbarWindows() const;
    // The window's inside on the screen.
    QRect innerRect(const QString &id) const;
    // The window's rectangle and size with the frame the window manager put around it.
    QRect outerRect(const QString &id) const;
    QSize outerSize(const QString &id) const;
    // Whether the middle of the window is painted, not left black.
    bool windowPainted(const QString &id) const;
    // Clicks the docked tray icon until check() holds (the icon may still be docking); false
    // when it never does.
    bool clickTrayIconUntil(const std::function<bool()> &check) const;
    // Whether the screen pixel at x, y is black, as an unpainted window or the bare screen is.
    bool pixelIsBlack(int x, int y) const;
    // Where the tray icon docks.
    static constexpr int kTrayIconX = 780, kTrayIconY = 580;

private:
    bool startHelper(const QString &program, const QStringList &arguments);

    QString m_skipReason;
    QProcessEnvironment m_environment;
    std::vector<std::unique_ptr<ChildProcess>> m_children; // the X server first, ended last
};

// The program on the desktop, started on a data folder, as a user works it.
struct RunningProgram {
    RunningProgram(DesktopSession &desktop, const QString &folder);
    // The one window of the program that is on the screen, painted, once it is there.
    bool windowUp(int timeoutMs = 15000);
    // Lets the start finish: the list loads and takes the focus once, which would bring back a
    // window minimised at that moment.
    void settle() const;
    bool nothingOnScreen() const;
    QString describeShown() const;
    bool inTaskbar() const;
    // The program's viewable windows: a box adds one.
    int windowCount() const { return desktop.visibleWindowCount(process->processId()); }
    // Focus into the list, or into the search box, as a click on it gives.
    void clickList() const;
    void clickSearchBox() const;
    // Keys in turn, as "alt+f c".
    void keys(const QString &keys) const;
    // Exit in the tray menu, once: the program may ask before it ends.
    void chooseExitInTrayMenu() const;
    // Exit in the tray menu until the program has ended (the icon may still be docking);
    // whether it ended well.
    bool exitFromTrayMenu() const;

    DesktopSession &desktop;
    ChildProcess *process;
    QString window;
};
