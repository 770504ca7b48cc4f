// SPDX-License-Identifier: GPL-3.0-or-later
#include "CoreTestSupport.h"
#include "core/Database.h"
#include "core/MemoStore.h"
#include "core/MemoId.h"
#include "core/Statement.h"
#include "core/sync/SyncError.h"
#include "core/sync/SyncMerge.h"
#include "core/sync/SyncRound.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSet>
#include <QtTest>
#include <atomic>
#include <exception>
#include <memory>
#include <sqlite3.h>
#include <thread>

namespace {

const QString kRoot = QStringLiteral("root");

// One computer: its data folder, its database, and its view of the shared folder, which the
// test fills as a sync engine would (late, in pieces, twice, out of order).
struct Replica {
    explicit Replica(qint64 clockOffset) : clockOffset(clockOffset)
    {
        QDir().mkpath(folder());
        database.open(data.file(QStringLiteral("kvData.kvb")));
        // Throwaway databases: waiting for the disk on every commit only slows the test.
        database.execute(QStringLiteral("pragma synchronous=off"));
    }
    QString folder() const { return data.file(QStringLiteral("sync")); }
    void round()
    {
        setSyncClockOffset(clockOffset);
        runSyncRound(database, folder());
    }
    QString content(const QString &mid) { return store.findMemo(mid).value_or(Memo{}).content; }

    TestFolder data;
    Database database;
    MemoStore store{database};
    qint64 clockOffset;
};

QString withoutMarks(QString text)
{
    while (text.startsWith(kConflictMark))
        text.remove(0, kConflictMark.size());
    return text;
}

QStringList rowsOf(MemoStore &store)
{
    QStringList rows;
    for (const Memo &memo : store.allMemos())
        rows << QStringLiteral("%1|%2|%3|%4|%5|%6").arg(memo.mid, memo.pid, memo.content).arg(memo.expandFlag).arg(memo.createTime).arg(memo.editTime);
    rows.sort();
    return rows;
}

// Copies what `from` holds of other installations' files and its own into `to`; a journal
// may arrive cut at any byte.
void deliver(const Replica &from, Replica &to, QRandomGenerator &random, bool whole)
{
    const QDir source(from.folder());
    const QString own = syncStatus(to.database).installation;
    for (const QString &name : source.entryList(QDir::Files)) {
        // An engine never writes over a reader's own files.
        if (!own.isEmpty() && name.startsWith(own))
            continue;
        QFile file(source.filePath(name));
        file.open(QIODevice::ReadOnly);
        QByteArray bytes = file.readAll();
        if (!whole && name.endsWith(QLatin1String(".journal")) && random.bounded(3) == 0)
            bytes.truncate(random.bounded(bytes.size() + 1));
        QFile target(QDir(to.folder()).filePath(name));
        target.open(QIODevice::WriteOnly | QIODevice::Truncate);
        target.write(bytes);
    }
}

class History {
public:
    explicit History(quint32 seed) : random(seed) {}

    QRandomGenerator random;
    // The computers on which someone replaced or deleted a text while looking at it. An undo
    // takes back only its own computer's delete: another's stands.
    QHash<QString, QSet<int>> killers;
    QStringList committed;

    QString newText(int replica)
    {
        const QString text = QStringLiteral("r%1 text %2%3").arg(replica).arg(committed.size()).arg(random.bounded(4) == 0 ? QStringLiteral("\r\nit's two lines") : QString());
        committed << text;
        return text;
    }
    void kill(const QString &text, int replica) { killers[withoutMarks(text)] << replica; }
    void revive(const QString &text, int replica) { killers[withoutMarks(text)].remove(replica); }
};

Memo newMemo(const QString &pid, const QString &content)
{
    Memo memo;
    memo.mid = newMemoId();
    memo.pid = pid;
    memo.content = content;
    memo.createTime = memo.assignTime = memo.editTime = dateTimeNow();
    return memo;
}

// One thing a user (or the program, or an import) does on one computer.
void act(Replica &replica, int index, History &history, std::vector<MemoRow> &removed)
{
    QRandomGenerator &random = history.random;
    MemoStore &store = replica.store;
    const std::vector<Memo> memos = store.allMemos();
    std::vector<Memo> topLevel;
    for (const Memo &memo : memos) {
        if (memo.pid == kRoot)
            topLevel.push_back(memo);
    }
    const int choice = memos.empty() ? 0 : int(random.bounded(9));
    const Memo picked = memos.empty() ? Memo{} : memos[random.bounded(int(memos.size()))];
    switch (choice) {
    case 0:
        store.insert(newMemo(kRoot, history.newText(index)));
        break;
    case 1:
        if (!topLevel.empty())
            store.insert(newMemo(topLevel[random.bounded(int(topLevel.size()))].mid, history.newText(index)));
        break;
    case 2:
    case 3:
        history.kill(picked.content, index);
        store.updateText(picked.mid, history.newText(index), dateTimeNow());
        break;
    case 4:
        store.move(picked.mid, random.bounded(2) == 0 || topLevel.empty() ? kRoot : topLevel[random.bounded(int(topLevel.size()))].mid);
        break;
    case 5: {
        std::vector<MemoRow> rows = store.removeWithSubMemos(picked.mid);
        for (const MemoRow &row : rows)
            history.kill(row.memo.content, index);
        removed.insert(removed.end(), rows.begin(), rows.end());
        break;
    }
    case 6:
        // Undo of a delete: the rows come back as they were. As in the program, a row that
        // came back meanwhile from elsewhere ends the undo history.
        if (!removed.empty()) {
            const MemoRow row = removed.back();
            removed.pop_back();
            if (!store.findMemo(row.memo.mid)) {
                store.putBack(row);
                history.revive(row.memo.content, index);
            }
        }
        break;
    case 7: {
        // An import: several memos in one batch.
        Transaction batch = store.transaction();
        for (int i = 0; i < 5; ++i)
            store.insert(newMemo(kRoot, history.newText(index)));
        batch.commit();
        break;
    }
    default:
        store.setExpanded(picked.mid, !picked.expandFlag);
        break;
    }
}

void checkInSight(MemoStore &store)
{
    QSet<QString> topLevel;
    const std::vector<Memo> memos = store.allMemos();
    for (const Memo &memo : memos) {
        if (memo.pid == kRoot)
            topLevel << memo.mid;
    }
    for (const Memo &memo : memos)
        QVERIFY2(memo.pid == kRoot || topLevel.contains(memo.pid), qPrintable(memo.content));
}

void runHistory(quint32 seed)
{
    History history(seed);
    QRandomGenerator &random = history.random;
    constexpr qint64 kDay = 24 * 3600 * 1000;
    std::vector<std::unique_ptr<Replica>> replicas;
    for (qint64 offset : {qint64(0), kDay, -kDay})
        replicas.push_back(std::make_unique<Replica>(offset));
    std::vector<std::vector<MemoRow>> removed(replicas.size());
    for (int step = 0; step < 120; ++step) {
        // A partition: the third computer is cut off for a stretch.
        const bool partitioned = (step / 30) % 2 == 1;
        const int roll = int(random.bounded(10));
        const int at = int(random.bounded(int(replicas.size())));
        if (roll < 6) {
            act(*replicas[at], at, history, removed[at]);
        } else if (roll < 8) {
            replicas[at]->round();
        } else {
            const int to = int(random.bounded(int(replicas.size())));
            if (at != to && !(partitioned && (at == 2 || to == 2)))
                deliver(*replicas[at], *replicas[to], random, false);
        }
    }
    // Everyone meets at last: two passes of rounds and whole deliveries settle everything.
    for (int pass = 0; pass < 3; ++pass) {
        for (auto &from : replicas) {
            from->round();
            for (auto &to : replicas) {
                if (from != to)
                    deliver(*from, *to, random, true);
            }
        }
    }
    for (auto &replica : replicas)
        replica->round();
    const QStringList rows = rowsOf(replicas[0]->store);
    for (size_t i = 1; i < replicas.size(); ++i)
        QCOMPARE(rowsOf(replicas[i]->store), rows);
    checkInSight(replicas[0]->store);
    QSet<QString> present;
    for (const Memo &memo : replicas[0]->store.allMemos())
        present << withoutMarks(memo.content);
    for (const QString &text : std::as_const(history.committed)) {
        if (history.killers.value(text).isEmpty())
            QVERIFY2(present.contains(text), qPrintable(QStringLiteral("seed %1 lost \"%2\"").arg(seed).arg(text)));
    }
}

} // namespace

class TestSync : public QObject {
    Q_OBJECT
private slots:
    void replicasAgreeAndKeepEveryText();
    void conflictRules_data();
    void conflictRules();
    void memoUnderAGoneCopyComesInSight();
    void lateClockFollowsWhatItSaw();
    void halfArrivedJournalIsReadLater();
    void lostAppendIsMadeAgain();
    void largeMergeStillNotesLaterChanges();
    void largeRoundLetsOtherWritersIn();
    void copiedDatabaseStartsItsOwnInstallation();
    void neverSyncedDatabaseIsUntouched();
};

void TestSync::replicasAgreeAndKeepEveryText()
{
    // JOTWELL_SYNC_SEEDS=n runs n seeds from the fixed one on.
    const int seeds = qMax(1, qEnvironmentVariableIntValue("JOTWELL_SYNC_SEEDS"));
    for (int seed = 0; seed < seeds; ++seed) {
        runHistory(quint32(20261210 + seed));
        if (QTest::currentTestFailed())
            return;
    }
}

void TestSync::conflictRules_data()
{
    QTest::addColumn<QString>("first");  // what computer A does to the shared memo while apart
    QTest::addColumn<QString>("second"); // what computer B does meanwhile
    QTest::addColumn<QStringList>("expected"); // the rows both end with: text under text
    // B's clock is a day late: of two concurrent texts, A's is the memo's.
    QTest::newRow("edit and edit keep both texts")
        << "edit A" << "edit B" << QStringList{"A: sub", "root: A", "root: " + kConflictMark + "B", "root: other"};
    QTest::newRow("edit beats delete") << "edit A" << "delete" << QStringList{"root: A", "root: other"};
    QTest::newRow("move and edit both apply") << "move" << "edit B" << QStringList{"other: B", "root: other", "root: sub"};
    QTest::newRow("the same text twice is no conflict")
        << "edit B" << "edit B" << QStringList{"B: sub", "root: B", "root: other"};
    QTest::newRow("delete and delete") << "delete" << "delete" << QStringList{"root: other"};
}

void TestSync::conflictRules()
{
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(QStringList, expected);
    Replica a(0), b(-24 * 3600 * 1000);
    const Memo shared = newMemo(kRoot, QStringLiteral("shared"));
    const Memo sub = newMemo(shared.mid, QStringLiteral("sub"));
    const Memo other = newMemo(kRoot, QStringLiteral("other"));
    a.store.insert(shared);
    a.store.insert(sub);
    b.store.insert(other);
    a.round();
    b.round();
    QRandomGenerator random(1);
    deliver(a, b, random, true);
    deliver(b, a, random, true);
    a.round();
    b.round();
    auto apply = [&](Replica &replica, const QString &action) {
        if (action == QLatin1String("delete"))
            replica.store.removeWithSubMemos(shared.mid);
        else if (action == QLatin1String("move"))
            replica.store.move(shared.mid, other.mid);
        else
            replica.store.updateText(shared.mid, action.mid(5), dateTimeNow());
        replica.round();
    };
    apply(a, first);
    apply(b, second);
    for (int pass = 0; pass < 2; ++pass) {
        deliver(a, b, random, true);
        deliver(b, a, random, true);
        a.round();
        b.round();
    }
    QCOMPARE(rowsOf(a.store), rowsOf(b.store));
    QStringList rows;
    for (const Memo &memo : a.store.allMemos())
        rows << (memo.pid == kRoot ? kRoot : a.content(memo.pid)) + QStringLiteral(": ") + memo.content;
    rows.sort();
    QCOMPARE(rows, expected);
}

void TestSync::memoUnderAGoneCopyComesInSight()
{
    // A puts a memo under a conflict copy that B, not knowing it, deletes: the copy goes on
    // A in a round that brings nothing of the memo, which still comes back in sight.
    Replica a(0), b(-24 * 3600 * 1000);
    const Memo shared = newMemo(kRoot, QStringLiteral("shared"));
    const Memo other = newMemo(kRoot, QStringLiteral("other"));
    a.store.insert(shared);
    a.store.insert(other);
    a.round();
    QRandomGenerator random(1);
    deliver(a, b, random, true);
    b.round();
    a.store.updateText(shared.mid, QStringLiteral("A"), dateTimeNow());
    b.store.updateText(shared.mid, QStringLiteral("B"), dateTimeNow());
    a.round();
    b.round();
    deliver(a, b, random, true);
    deliver(b, a, random, true);
    a.round();
    b.round();
    const QString copy = conflictCopyId(shared.mid, {syncStatus(b.database).installation, 1});
    QCOMPARE(a.content(copy), kConflictMark + QStringLiteral("B"));
    a.store.move(other.mid, copy);
    a.round();
    b.store.removeWithSubMemos(copy);
    b.round();
    deliver(b, a, random, true);
    a.round();
    deliver(a, b, random, true);
    b.round();
    for (Replica *replica : {&a, &b}) {
        QCOMPARE(replica->store.findMemo(other.mid).value_or(Memo{}).pid, kRoot);
        QVERIFY(!replica->store.findMemo(copy));
    }
}

void TestSync::lateClockFollowsWhatItSaw()
{
    // B's clock is a day late; its edit made after seeing A's still replaces it, with no
    // conflict, on both computers.
    Replica a(0), b(-24 * 3600 * 1000);
    const Memo memo = newMemo(kRoot, QStringLiteral("first"));
    a.store.insert(memo);
    a.store.updateText(memo.mid, QStringLiteral("A's"), dateTimeNow());
    a.round();
    QRandomGenerator random(1);
    deliver(a, b, random, true);
    b.round();
    b.store.updateText(memo.mid, QStringLiteral("B's after A's"), dateTimeNow());
    b.round();
    deliver(b, a, random, true);
    a.round();
    for (Replica *replica : {&a, &b}) {
        QCOMPARE(replica->store.count(), 1);
        QCOMPARE(replica->content(memo.mid), QStringLiteral("B's after A's"));
    }
}

void TestSync::halfArrivedJournalIsReadLater()
{
    Replica a(0), b(0);
    for (int i = 0; i < 3; ++i)
        a.store.insert(newMemo(kRoot, QStringLiteral("memo %1").arg(i)));
    a.round();
    const QString journal = QDir(a.folder()).entryList({QStringLiteral("*.journal")}).value(0);
    QFile whole(QDir(a.folder()).filePath(journal));
    whole.open(QIODevice::ReadOnly);
    const QByteArray bytes = whole.readAll();
    // Cut inside the last record, then the rest: two memos first, the third later.
    for (qsizetype size : {bytes.size() - 5, bytes.size()}) {
        QFile part(QDir(b.folder()).filePath(journal));
        part.open(QIODevice::WriteOnly | QIODevice::Truncate);
        part.write(bytes.left(size));
        part.close();
        b.round();
        QCOMPARE(b.store.count(), size == bytes.size() ? 3 : 2);
    }
    // A record that fails its check stops the reading there, and the round says so.
    QByteArray flipped = bytes;
    flipped[12] = char(flipped[12] ^ 0x10);
    Replica c(0);
    QFile damaged(QDir(c.folder()).filePath(journal));
    damaged.open(QIODevice::WriteOnly);
    damaged.write(flipped);
    damaged.close();
    setSyncClockOffset(0);
    QCOMPARE(runSyncRound(c.database, c.folder()).damaged.size(), 1);
    QCOMPARE(c.store.count(), 0);
}

void TestSync::lostAppendIsMadeAgain()
{
    // The round notes its append before making it: an append that never reached the disk
    // whole (the process killed, the disk full) is made again by the next round.
    Replica a(0), b(0);
    a.store.insert(newMemo(kRoot, QStringLiteral("first")));
    a.round();
    const QString journal = QDir(a.folder()).filePath(QDir(a.folder()).entryList({QStringLiteral("*.journal")}).value(0));
    QVERIFY(QFile::resize(journal, QFileInfo(journal).size() / 2));
    QCOMPARE(syncStatus(a.database).unsent, 0);
    a.store.insert(newMemo(kRoot, QStringLiteral("second")));
    a.round();
    QFile::copy(journal, QDir(b.folder()).filePath(QFileInfo(journal).fileName()));
    b.round();
    QCOMPARE(b.store.count(), 2);
}

void TestSync::largeMergeStillNotesLaterChanges()
{
    // A first round that brings many memos at once takes the bulk way through the merge.
    Replica a(0), b(0);
    std::vector<Memo> memos;
    for (int i = 0; i < 1200; ++i)
        memos.push_back(newMemo(kRoot, QStringLiteral("memo %1").arg(i)));
    for (const Memo &memo : memos)
        a.store.insert(memo);
    a.round();
    QDir(b.folder()).removeRecursively();
    QVERIFY(QDir().rename(a.folder(), b.folder()));
    QVERIFY(QDir().mkpath(a.folder()));
    b.round();
    QCOMPARE(rowsOf(b.store), rowsOf(a.store));
    // What is changed afterwards is still noticed and goes out.
    b.store.updateText(memos[7].mid, QStringLiteral("changed after"), memos[7].editTime + 1);
    b.round();
    QCOMPARE(syncStatus(b.database).unsent, 0);
    QVERIFY(!QDir(b.folder()).entryList({syncStatus(b.database).installation + QStringLiteral(".*.journal")}).isEmpty());
}

void TestSync::largeRoundLetsOtherWritersIn()
{
    // A large round goes in short batches: a program storing memos meanwhile, with its usual
    // lock wait, gets in between two of them, and what it stored is kept and goes out.
    Replica a(0), b(0);
    Transaction batch = a.store.transaction();
    for (int i = 0; i < 8000; ++i)
        a.store.insert(newMemo(kRoot, QStringLiteral("memo %1").arg(i)));
    batch.commit();
    a.round();
    QRandomGenerator random(1);
    deliver(a, b, random, true);
    std::atomic<int> commits{0};
    sqlite3_commit_hook(b.database.handle(), [](void *count) { return ++*static_cast<std::atomic<int> *>(count), 0; }, &commits);
    setSyncBatchMilliseconds(1);
    std::atomic<bool> done{false};
    std::exception_ptr failure;
    std::thread round([&] {
        try {
            runSyncRound(b.database, b.folder());
        } catch (...) {
            failure = std::current_exception();
        }
        done = true;
    });
    Database other;
    other.open(b.database.path());
    std::vector<std::pair<int, int>> stored; // the commits of the round before and after each
    while (!done) {
        const int before = commits;
        MemoStore(other).insert(newMemo(kRoot, QStringLiteral("typed meanwhile")));
        stored.emplace_back(before, commits);
        QThread::msleep(10); // a user types now and then
    }
    round.join();
    setSyncBatchMilliseconds(500);
    if (failure)
        std::rethrow_exception(failure);
    QVERIFY(std::any_of(stored.begin(), stored.end(),
                        [&](const auto &at) { return at.first > 0 && at.second < commits; }));
    b.round();
    deliver(b, a, random, true);
    a.round();
    QCOMPARE(a.store.count(), 8000 + int(stored.size()));
    QCOMPARE(rowsOf(a.store), rowsOf(b.store));
}

void TestSync::copiedDatabaseStartsItsOwnInstallation()
{
    // The database file taken along to a second computer (here: beside the first) syncs
    // through the same folder as an installation of its own.
    Replica a(0), b(0);
    a.store.insert(newMemo(kRoot, QStringLiteral("before the copy")));
    a.round();
    TestFolder elsewhere;
    QVERIFY(QFile::copy(a.database.path(), elsewhere.file(QStringLiteral("kvData.kvb"))));
    Database copy;
    copy.open(elsewhere.file(QStringLiteral("kvData.kvb")));
    MemoStore(copy).insert(newMemo(kRoot, QStringLiteral("on the copy")));
    runSyncRound(copy, a.folder());
    a.store.insert(newMemo(kRoot, QStringLiteral("on the original")));
    a.round();
    QVERIFY(syncStatus(copy).installation != syncStatus(a.database).installation);
    runSyncRound(b.database, a.folder());
    QCOMPARE(b.store.count(), 3);
    runSyncRound(copy, a.folder());
    QCOMPARE(MemoStore(copy).count(), 3);
}

void TestSync::neverSyncedDatabaseIsUntouched()
{
    Replica a(0);
    a.store.insert(newMemo(kRoot, QStringLiteral("memo")));
    // Nor does a folder that holds the database file make it sync: an engine would copy the file.
    for (const QString &folder : {a.data.path(), QDir::cleanPath(a.data.path() + QStringLiteral("/.."))})
        QVERIFY_THROWS_EXCEPTION(SyncError, runSyncRound(a.database, folder));
    QVERIFY(!syncStatus(a.database).enabled);
    Statement tables(a.database, "select count(*) from sqlite_master where name like 'sync%'");
    tables.nextRow();
    QCOMPARE(tables.integer(0), 0);
}

QTEST_GUILESS_MAIN(TestSync)
#include "tst_sync.moc"
