// SPDX-License-Identifier: GPL-3.0-or-later
// Two real file-sync engines on this computer share a folder between two data folders, and
// jotwell-cli sync rounds carry memos across, as on a user's desktop and laptop.
#include "CoreTestSupport.h"
#include "core/Database.h"
#include "core/MemoStore.h"
#include "core/TimeStamp.h"
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTcpServer>
#include <QtTest>
#include <memory>

namespace {

const QString kFolderId = QStringLiteral("jotwell-memos");

quint16 freePort()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    return server.serverPort();
}

QString cli(const QString &dataDir, const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(JOTWELL_CLI_BINARY), QStringList{QStringLiteral("--data-dir"), dataDir} + arguments);
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// One engine with its own home, listening on 127.0.0.1 only: no discovery, relays, NAT
// traversal, upgrades or usage reports.
struct Engine {
    QString home, folder, dataDir, id;
    quint16 port = 0;
    std::unique_ptr<QProcess> process;
};

QString deviceXml(const Engine &engine)
{
    return QStringLiteral("<device id=\"%1\" name=\"%2\" compression=\"metadata\" introducer=\"false\">"
                          "<address>tcp://127.0.0.1:%3</address></device>\n")
        .arg(engine.id, engine.home.section(QLatin1Char('/'), -1))
        .arg(engine.port);
}

QString configXml(const Engine &self, const Engine &other, quint16 guiPort)
{
    return QStringLiteral("<configuration version=\"36\">\n"
                          "<folder id=\"%1\" label=\"memos\" path=\"%2\" type=\"sendreceive\" rescanIntervalS=\"2\""
                          " fsWatcherEnabled=\"true\" fsWatcherDelayS=\"1\">"
                          "<device id=\"%3\"></device><device id=\"%4\"></device></folder>\n"
                          "%5%6"
                          "<gui enabled=\"true\" tls=\"false\"><address>127.0.0.1:%7</address></gui>\n"
                          "<options><listenAddress>tcp://127.0.0.1:%8</listenAddress>"
                          "<globalAnnounceEnabled>false</globalAnnounceEnabled>"
                          "<localAnnounceEnabled>false</localAnnounceEnabled>"
                          "<relaysEnabled>false</relaysEnabled><natEnabled>false</natEnabled>"
                          "<autoUpgradeIntervalH>0</autoUpgradeIntervalH><urAccepted>-1</urAccepted>"
                          "<crashReportingEnabled>false</crashReportingEnabled>"
                          "<startBrowser>false</startBrowser></options>\n"
                          "</configuration>\n")
        .arg(kFolderId, self.folder, self.id, other.id, deviceXml(self), deviceXml(other))
        .arg(guiPort)
        .arg(self.port);
}

// Runs rounds on both sides until every computer lists every text, or the time is up.
bool settle(Engine &a, Engine &b, const QStringList &texts, int seconds)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < seconds * 1000) {
        bool everywhere = true;
        for (Engine *engine : {&a, &b}) {
            cli(engine->dataDir, {QStringLiteral("sync"), QStringLiteral("--folder"), engine->folder});
            const QString listed = cli(engine->dataDir, {QStringLiteral("list")});
            for (const QString &text : texts)
                everywhere = everywhere && listed.contains(text);
        }
        if (everywhere)
            return true;
        QTest::qWait(300);
    }
    return false;
}

void editMemo(const QString &dataDir, const QString &mid, const QString &text)
{
    Database database;
    database.open(dataDir + QStringLiteral("/kvData.kvb"));
    MemoStore(database).updateText(mid, text, dateTimeNow());
}

} // namespace

class TestSyncEngine : public QObject {
    Q_OBJECT
private slots:
    void memosTravelThroughTheEngine();
};

void TestSyncEngine::memosTravelThroughTheEngine()
{
    const QString binary = QStandardPaths::findExecutable(QStringLiteral("syncthing"));
    if (binary.isEmpty())
        QSKIP("syncthing is not installed (scripts/setup.sh installs it)");
    TestFolder root;
    Engine a, b;
    for (auto [engine, name] : {std::pair{&a, QStringLiteral("desktop")}, std::pair{&b, QStringLiteral("laptop")}}) {
        engine->home = root.file(name);
        engine->folder = root.file(name + QStringLiteral("-shared"));
        engine->dataDir = root.file(name + QStringLiteral("-data"));
        QDir().mkpath(engine->folder + QStringLiteral("/.stfolder"));
        QProcess generate;
        generate.start(binary, {QStringLiteral("generate"), QStringLiteral("--home=") + engine->home, QStringLiteral("--no-default-folder")});
        generate.waitForFinished(30000);
        const QRegularExpressionMatch match = QRegularExpression(QStringLiteral("Device ID: (\\S+)"))
                                                  .match(QString::fromUtf8(generate.readAllStandardOutput() + generate.readAllStandardError()));
        if (!match.hasMatch())
            QSKIP("syncthing could not make its keys");
        engine->id = match.captured(1);
        engine->port = freePort();
    }
    for (auto [self, other] : {std::pair{&a, &b}, std::pair{&b, &a}}) {
        QFile config(self->home + QStringLiteral("/config.xml"));
        QVERIFY(config.open(QIODevice::WriteOnly | QIODevice::Truncate));
        config.write(configXml(*self, *other, freePort()).toUtf8());
        config.close();
        self->process = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("STNOUPGRADE"), QStringLiteral("1"));
        self->process->setProcessEnvironment(environment);
        self->process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        self->process->setStandardOutputFile(QProcess::nullDevice());
        self->process->start(binary, {QStringLiteral("serve"), QStringLiteral("--home=") + self->home, QStringLiteral("--no-browser"),
                                      QStringLiteral("--no-restart")});
        if (!self->process->waitForStarted(10000))
            QSKIP("syncthing could not start");
    }
    auto stop = qScopeGuard([&] {
        for (Engine *engine : {&a, &b}) {
            engine->process->terminate();
            if (!engine->process->waitForFinished(5000))
                engine->process->kill();
        }
    });

    // A memo added on one computer arrives on the other.
    const QString mid = cli(a.dataDir, {QStringLiteral("add"), QStringLiteral("written on the desktop")}).trimmed();
    QVERIFY2(settle(a, b, {QStringLiteral("written on the desktop")}, 90), "the memo did not arrive");

    // Both change it while apart: both texts stay on both.
    editMemo(a.dataDir, mid, QStringLiteral("changed on the desktop"));
    editMemo(b.dataDir, mid, QStringLiteral("changed on the laptop"));
    QElapsedTimer arrival;
    arrival.start();
    QVERIFY2(settle(a, b, {QStringLiteral("changed on the desktop"), QStringLiteral("changed on the laptop")}, 60),
             "the two texts did not reach both computers");
    qInfo("both texts on both computers after %lld ms", arrival.elapsed());
    QCOMPARE(cli(a.dataDir, {QStringLiteral("list")}), cli(b.dataDir, {QStringLiteral("list")}));
}

QTEST_GUILESS_MAIN(TestSyncEngine)
#include "tst_sync_engine.moc"
