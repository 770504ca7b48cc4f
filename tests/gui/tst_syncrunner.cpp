// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestSupport.h"
#include "core/Database.h"
#include "core/MemoStore.h"
#include "core/sync/SyncRound.h"
#include "gui/SyncRunner.h"
#include <QDir>
#include <QSignalSpy>
#include <QtTest>

using namespace std::chrono_literals;

namespace {

const QString kRoot = QStringLiteral("root");

// A data folder whose database the runner syncs, as the program's would be.
struct Computer {
    Computer() { database.open(data.file(QStringLiteral("kvData.kvb"))); }
    bool has(const QString &mid) { return MemoStore(database).findMemo(mid).has_value(); }
    TestFolder data;
    Database database;
};

} // namespace

class SyncRunnerTest : public QObject {
    Q_OBJECT
private slots:
    void changesTravelBothWays();
    void failuresAreRetried();
};

void SyncRunnerTest::changesTravelBothWays()
{
    TestFolder shared;
    Computer here, there;
    SyncRunner runner;
    runner.setIntervals(1h, 100ms);
    runner.setFolder(shared.path());
    runner.setDatabasePath(here.database.path());
    QTRY_VERIFY(runner.statusText().startsWith(QLatin1String("Synced at")));
    QVERIFY(runner.statusDetail().contains(QDir::toNativeSeparators(shared.path())));

    // A commit by another connection (the program's own) goes out without waiting for the period.
    insertMemoRow(here.database, QStringLiteral("{A}"), kRoot, QStringLiteral("typed here"));
    QTRY_VERIFY_WITH_TIMEOUT((runSyncRound(there.database, shared.path()), there.has(QStringLiteral("{A}"))), 5000);

    // What the other computer put into the folder comes in once the folder settles, and the
    // program hears of it; an open edit holds the merge off until it ends.
    bool editing = true;
    runner.setHoldOff([&editing] { return editing; });
    QSignalSpy arrived(&runner, &SyncRunner::changesArrived);
    insertMemoRow(there.database, QStringLiteral("{B}"), kRoot, QStringLiteral("typed there"));
    runSyncRound(there.database, shared.path());
    QTest::qWait(2500);
    QVERIFY(!here.has(QStringLiteral("{B}")));
    editing = false;
    QTRY_VERIFY_WITH_TIMEOUT(here.has(QStringLiteral("{B}")), 5000);
    QTRY_COMPARE(arrived.size(), 1);
}

void SyncRunnerTest::failuresAreRetried()
{
    TestFolder shared;
    Computer here;
    const QString missing = shared.file(QStringLiteral("later"));
    SyncRunner runner;
    runner.setIntervals(300ms, 100ms);
    runner.setFolder(missing);
    runner.setDatabasePath(here.database.path());
    QTRY_VERIFY(runner.statusText().startsWith(QLatin1String("Sync failed at")));
    QVERIFY(runner.statusDetail().contains(QLatin1String("does not exist")));
    QVERIFY(QDir().mkpath(missing));
    QTRY_VERIFY(runner.statusText().startsWith(QLatin1String("Synced at")));

    // A database the user's own long command holds is waited for, not reported as a failure.
    Database command;
    command.open(here.database.path());
    command.execute(QStringLiteral("begin immediate"));
    insertMemoRow(command, QStringLiteral("{A}"), kRoot, QStringLiteral("imported"));
    QTest::qWait(4000); // past the round's own wait for the lock
    QVERIFY(!runner.statusText().startsWith(QLatin1String("Sync failed")));
    command.execute(QStringLiteral("commit"));
    QTRY_VERIFY_WITH_TIMEOUT(!QDir(missing).entryList(QDir::Files).isEmpty(), 8000);
    QVERIFY(runner.statusText().startsWith(QLatin1String("Synced at")));
}

JOTWELL_TEST_MAIN(SyncRunnerTest)
#include "tst_syncrunner.moc"
