// SPDX-License-Identifier: GPL-3.0-or-later
// The tray icon on a real X server with a real notification area (trayer), started after the
// program as happens in many sessions.
#include "TestSupport.h"
#include "desktop/TrayIcon.h"
#include <QMainWindow>
#include <QProcess>
#include <QStandardPaths>
#include <QTextStream>
#include <QTimer>
#include <QtTest>

namespace {

// The program side: an owner window with its tray icon, telling on stdout what happens.
int runOwner(int argc, char **argv)
{
    QApplication application(argc, argv);
    QMainWindow owner;
    auto *icon = new TrayIcon(&owner);
    QTextStream out(stdout);
    icon->onClick = [&](Qt::MouseButton button, Qt::KeyboardModifiers) {
        out << "click " << int(button) << Qt::endl;
    };
    QObject::connect(icon->defaultMenu(), &QMenu::aboutToShow, [&] { out << "menu" << Qt::endl; });
    icon->loaded();
    owner.show();
    out << (icon->inTray() ? "in tray" : "no tray") << Qt::endl;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (icon->inTray()) {
            out << "in tray" << Qt::endl;
            watch.stop();
        }
    });
    watch.start(50);
    return application.exec();
}

// A child process that is ended with the test.
struct Child : QProcess {
    ~Child() override
    {
        if (state() != NotRunning) {
            kill();
            waitForFinished(3000);
        }
    }
    bool waitForLine(const QString &line, int msecs)
    {
        QElapsedTimer timer;
        timer.start();
        while (!m_output.contains(line + QLatin1Char('\n'))) {
            if (timer.elapsed() > msecs || state() == NotRunning)
                return false;
            waitForReadyRead(100);
            m_output += QString::fromUtf8(readAllStandardOutput());
        }
        return true;
    }
    QString m_output;
};

} // namespace

class TrayDesktopTest : public QObject {
    Q_OBJECT
private slots:
    void iconArrivesWithALateAreaAndTakesClicks();
};

void TrayDesktopTest::iconArrivesWithALateAreaAndTakesClicks()
{
    if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty())
        QSKIP("Xvfb is not installed; the desktop test needs an X server");
    for (const char *tool : {"trayer", "xdotool"})
        QVERIFY2(!QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty(),
                 qPrintable(QStringLiteral("%1 is missing (scripts/setup.sh installs it)").arg(QLatin1String(tool))));

    Child xvfb;
    xvfb.start(QStringLiteral("Xvfb"), QStringLiteral("-displayfd 1 -screen 0 640x480x24 -nolisten tcp").split(QLatin1Char(' ')));
    if (!xvfb.waitForStarted(5000) || !xvfb.waitForReadyRead(10000))
        QSKIP("Xvfb cannot start here");
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), QLatin1Char(':') + QString::fromUtf8(xvfb.readAllStandardOutput()).trimmed());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    // Keep to the X11 notification area even where a session bus offers another kind.
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("disabled:"));

    Child owner;
    QProcessEnvironment ownerEnvironment = environment;
    ownerEnvironment.insert(QStringLiteral("JOTWELL_TRAY_OWNER"), QStringLiteral("1"));
    owner.setProcessEnvironment(ownerEnvironment);
    owner.start(QCoreApplication::applicationFilePath(), {});
    QVERIFY2(owner.waitForLine(QStringLiteral("no tray"), 10000), qPrintable(owner.m_output));

    // The area starts after the program, in the top-left corner.
    Child trayer;
    trayer.setProcessEnvironment(environment);
    trayer.start(QStringLiteral("trayer"),
                 QStringLiteral("--edge top --align left --widthtype pixel --width 40 --heighttype pixel --height 40")
                     .split(QLatin1Char(' ')));
    QVERIFY2(owner.waitForLine(QStringLiteral("in tray"), 15000), qPrintable(owner.m_output));

    const auto click = [&](const char *button) {
        QProcess xdotool;
        xdotool.setProcessEnvironment(environment);
        xdotool.start(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QStringLiteral("20"), QStringLiteral("20"),
                                                  QStringLiteral("click"), QString::fromLatin1(button)});
        xdotool.waitForFinished(5000);
    };
    // The icon may take a moment to be docked once it is shown.
    bool clicked = false;
    for (int attempt = 0; attempt < 10 && !clicked; ++attempt) {
        click("1");
        clicked = owner.waitForLine(QStringLiteral("click 1"), 1000);
    }
    QVERIFY2(clicked, qPrintable(owner.m_output));
    click("3");
    QVERIFY2(owner.waitForLine(QStringLiteral("menu"), 5000), qPrintable(owner.m_output));
}

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsSet("JOTWELL_TRAY_OWNER"))
        return runOwner(argc, argv);
    Application application(argc, argv);
    TrayDesktopTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_trayicon_desktop.moc"
