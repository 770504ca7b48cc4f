// The program itself on a real X server with a real notification area: its icon docks, the
// window hides into the tray while the program runs on, and the tray menu's Exit ends it.
#include "TestSupport.h"
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

namespace {

// A child process ended with the test.
struct Child : QProcess {
    ~Child() override
    {
        if (state() != NotRunning) {
            kill();
            waitForFinished(3000);
        }
    }
};

} // namespace

class DesktopTest : public QObject {
    Q_OBJECT
private slots:
    void trayLifeOfTheProgram();

private:
    QString run(const QStringList &arguments) { return run(QStringLiteral("xdotool"), arguments); }
    QString run(const QString &program, const QStringList &arguments)
    {
        QProcess tool;
        tool.setProcessEnvironment(FEnvironment);
        tool.start(program, arguments);
        tool.waitForFinished(5000);
        return QString::fromUtf8(tool.readAllStandardOutput()).trimmed();
    }
    // Whether the window shows on the screen: the middle of its list is the list's white,
    // where the empty screen is black. (Window states alone do not tell without a window manager.)
    bool windowShown()
    {
        const QString pixel = run(QStringLiteral("import"), {QStringLiteral("-window"), QStringLiteral("root"), QStringLiteral("-crop"),
                                                            QStringLiteral("1x1+100+200"), QStringLiteral("txt:-")});
        return !pixel.isEmpty() && !pixel.contains(QStringLiteral("black"));
    }
    QProcessEnvironment FEnvironment;
};

void DesktopTest::trayLifeOfTheProgram()
{
    if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty())
        QSKIP("Xvfb is not installed; the desktop test needs an X server");
    for (const char *tool : {"trayer", "xdotool", "import"})
        QVERIFY2(!QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty(),
                 qPrintable(QStringLiteral("%1 is missing (scripts/setup.sh installs it)").arg(QLatin1String(tool))));

    Child xvfb;
    xvfb.start(QStringLiteral("Xvfb"), QStringLiteral("-displayfd 1 -screen 0 800x600x24 -nolisten tcp").split(QLatin1Char(' ')));
    if (!xvfb.waitForStarted(5000) || !xvfb.waitForReadyRead(10000))
        QSKIP("Xvfb cannot start here");
    FEnvironment = QProcessEnvironment::systemEnvironment();
    FEnvironment.insert(QStringLiteral("DISPLAY"), QLatin1Char(':') + QString::fromUtf8(xvfb.readAllStandardOutput()).trimmed());
    FEnvironment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    FEnvironment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("disabled:"));

    Child trayer;
    trayer.setProcessEnvironment(FEnvironment);
    trayer.start(QStringLiteral("trayer"),
                 QStringLiteral("--edge bottom --align right --widthtype pixel --width 40 --heighttype pixel --height 40")
                     .split(QLatin1Char(' ')));
    QVERIFY(trayer.waitForStarted(5000));

    TestFolder folder;
    Child program;
    program.setProcessEnvironment(FEnvironment);
    program.start(QStringLiteral(JOTWELL_BINARY), {QStringLiteral("--data-dir"), folder.path()});
    QVERIFY(program.waitForStarted(5000));
    QTRY_VERIFY_WITH_TIMEOUT(windowShown(), 15000);

    // Ctrl+F12 in the list hides the window into the tray; the program keeps running.
    run({QStringLiteral("mousemove"), QStringLiteral("100"), QStringLiteral("200"), QStringLiteral("click"), QStringLiteral("1")});
    run({QStringLiteral("key"), QStringLiteral("ctrl+F12")});
    QTRY_VERIFY_WITH_TIMEOUT(!windowShown(), 10000);
    QTest::qWait(500);
    QCOMPARE(program.state(), QProcess::Running);

    // A left click on the docked icon brings the window back.
    const QString iconX = QStringLiteral("780"), iconY = QStringLiteral("580");
    for (int attempt = 0; attempt < 10 && !windowShown(); ++attempt) {
        run({QStringLiteral("mousemove"), iconX, iconY, QStringLiteral("click"), QStringLiteral("1")});
        QTest::qWait(500);
    }
    QVERIFY2(windowShown(), "the tray icon did not answer a click");

    // The tray menu's Exit ends the program.
    run({QStringLiteral("mousemove"), iconX, iconY, QStringLiteral("click"), QStringLiteral("3")});
    QTest::qWait(700);
    run({QStringLiteral("key"), QStringLiteral("x")});
    QVERIFY2(program.waitForFinished(10000), "the program did not end from the tray menu");
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
}

JOTWELL_TEST_MAIN(DesktopTest)
#include "tst_desktop_e2e.moc"
