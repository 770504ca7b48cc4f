// SPDX-License-Identifier: GPL-3.0-or-later
#include "BenchStart.h"
#include "BenchSupport.h"
#include "gui/Application.h"
#include "gui/MainWindow.h"
#include "gui/Program.h"
#include "desktop/SingleInstance.h"
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QToolBar>
#include <QVBoxLayout>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstring>
#include <vector>

namespace {

const char *const kChildOption = "--start-child";

// A field of /proc/self/status in KiB ("VmRSS", "VmHWM").
qint64 statusKib(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field) && line.size() > qsizetype(std::strlen(field)) && line[qsizetype(std::strlen(field))] == ':')
            return line.mid(qsizetype(std::strlen(field)) + 1).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

// Prints "painted" at once; with rest, also the memory once the program has idled a while.
void tellPainted(bool rest)
{
    std::printf("painted\n");
    std::fflush(stdout);
    if (!rest)
        return;
    QTimer::singleShot(1000, [] {
        std::printf("%lld %lld\n", statusKib("VmRSS"), statusKib("VmHWM"));
        std::fflush(stdout);
        QCoreApplication::quit();
    });
    QCoreApplication::exec();
}

// Started as the program's main() starts, up to the first paint of the loaded memo tree.
int programChild(int argc, char **argv, const QString &folder, bool rest)
{
    Application application(argc, argv);
    SingleInstance instance(folder);
    if (instance.activatePreviousInstance() || !instance.listen())
        return 1;
    Program program(folder);
    FirstTreePaint firstPaint(program.mainWindow());
    program.mainWindow().show();
    while (!firstPaint.seen())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    tellPainted(rest);
    return 0;
}

class PaintSeen : public QWidget {
public:
    bool seen = false;

protected:
    void paintEvent(QPaintEvent *) override { seen = true; }
};

// A plain window, or with widgets (a menu bar with a menu, a tool bar, a line of text and a
// box to type in): what Qt itself costs for a window that shows text and menus.
int bareChild(int argc, char **argv, bool widgets)
{
    QApplication application(argc, argv);
    QMainWindow window;
    auto *central = new PaintSeen;
    window.setCentralWidget(central);
    if (widgets) {
        window.menuBar()->addMenu(QStringLiteral("&File"))->addAction(QStringLiteral("E&xit"));
        window.addToolBar(QStringLiteral("tools"))->addAction(QStringLiteral("Add"));
        auto *layout = new QVBoxLayout(central);
        layout->addWidget(new QLabel(QStringLiteral("Double click to add a Memo!")));
        layout->addWidget(new QLineEdit(QStringLiteral("  Search...")));
    }
    window.resize(371, 480);
    window.show();
    while (!central->seen)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    tellPainted(false);
    return 0;
}

// Runs a child and returns the milliseconds to its "painted" line, and any later line.
double runChild(const QStringList &arguments, QByteArray *after = nullptr)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer timer;
    timer.start();
    child.start(QCoreApplication::applicationFilePath(), QStringList{QLatin1String(kChildOption)} + arguments);
    double ms = -1;
    while (child.waitForReadyRead(30000)) {
        while (child.canReadLine()) {
            const QByteArray line = child.readLine().trimmed();
            if (line == "painted")
                ms = elapsedMs(timer);
            else if (after)
                *after = line;
        }
    }
    child.waitForFinished(30000);
    return ms;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

} // namespace

bool runStartChild(int argc, char **argv)
{
    if (argc < 3 || std::strcmp(argv[1], kChildOption) != 0)
        return false;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int childArgc = 1; // the program sees no arguments of its own
    if (std::strcmp(argv[2], "bare") == 0 || std::strcmp(argv[2], "widgets") == 0)
        std::exit(bareChild(childArgc, argv, std::strcmp(argv[2], "widgets") == 0));
    const bool rest = std::strcmp(argv[2], "rest") == 0;
    std::exit(programChild(childArgc, argv, QString::fromLocal8Bit(argv[3]), rest));
}

void runStartBenchmarks(const QString &folder, int count, const QStringList &names)
{
    if (wanted(names, "start")) {
        QTemporaryDir empty;
        const QString emptyFolder = empty.path() + QLatin1Char('/');
        runChild({QStringLiteral("program"), emptyFolder}); // makes the database; not counted
        std::vector<double> program, bare, widgets;
        for (int run = 0; run < 9; ++run) {
            bare.push_back(runChild({QStringLiteral("bare")}));
            widgets.push_back(runChild({QStringLiteral("widgets")}));
            program.push_back(runChild({QStringLiteral("program"), emptyFolder}));
        }
        report("start", 0, median(program), "ms");
        report("start-bare", 0, median(bare), "ms");
        report("start-bare-widgets", 0, median(widgets), "ms");
        report("start-ratio-x100", 0, 100 * median(program) / median(bare), "");
    }
    if (wanted(names, "rss")) {
        QByteArray memory;
        runChild({QStringLiteral("rest"), folder}, &memory);
        const QList<QByteArray> kib = memory.split(' ');
        report("rss", count, kib.value(0).toDouble() / 1024.0, "MB");
        report("peak-rss", count, kib.value(1).toDouble() / 1024.0, "MB");
    }
}
