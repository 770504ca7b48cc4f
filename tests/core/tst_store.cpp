// SPDX-License-Identifier: GPL-3.0-or-later
#include "CoreTestSupport.h"
#include "ExchangeTestSupport.h"
#include "core/MemoText.h"
#include "core/TimeStamp.h"
#include "core/Database.h"
#include "core/DatabaseError.h"
#include "core/MemoStore.h"
#include "core/MemoId.h"
#include "core/MemoLevels.h"
#include "core/NewMemo.h"
#include <QFile>
#include <QUuid>
#include <QtTest>
#include <thread>
#include <sqlite3.h>

namespace {

// Another program writing the file at once, without waiting for locks: true when it could.
bool otherProgramCanWrite(const QString &path, const char *mid)
{
    sqlite3 *db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_busy_timeout(db, 0);
    const QByteArray write = QByteArray("begin immediate; insert into memos (mid, pid, content) values ('") + mid
                             + "', 'root', 'other'); commit;";
    const bool written = sqlite3_exec(db, write.constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
    if (!written)
        sqlite3_exec(db, "rollback", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return written;
}

} // namespace

class TestStore : public QObject {
    Q_OBJECT
private slots:
    void storeKeepsTableOrderAndMovesDeletes();
    void restoreReplacesInPlace();
    void rowsPutBackKeepPlaceAndEmptyColumns();
    void apostrophesTravelThroughResultSets();
    void emptyColumnsReadAsEmptyValues();
    void emptyTableCountsZero();
    void updateChangesOnlyThatMemo();
    void flattenLineBreaks();
    void dateTimeDayCount();
    void memoIds();
    void newMemoStampsByTheClock();
    void createsMissingFileAndKeepsExistingData();
    void refusesFilesThatAreNotDatabases();
    void readOnlyDatabaseReadsButRefusesWrites();
    void readOnlyFolderOpensReadOnly();
    void valueTooLongIsRefusedNeverStoredEmpty();
    void noReadLockOutlivesTheRowsRead();
};

void TestStore::storeKeepsTableOrderAndMovesDeletes()
{
    TestFolder folder;
    Database connection;
    connection.open(folder.file(QStringLiteral("kvData.kvb")));
    MemoStore store(connection);
    const auto ids = [](const std::vector<Memo> &memos) {
        QStringList mids;
        for (const Memo &memo : memos)
            mids << memo.mid;
        return mids;
    };
    // Ids out of sort order: lists follow the table, not the id.
    for (const char *mid : {"{C}", "{A}", "{B}"})
        store.insert({QString::fromLatin1(mid), QStringLiteral("root"), QStringLiteral("t"), false, 1, 1, 1});
    for (const char *mid : {"{c2}", "{c1}"})
        store.insert({QString::fromLatin1(mid), QStringLiteral("{A}"), QStringLiteral("s"), false, 1, 1, 1});
    QCOMPARE(ids(store.children(QStringLiteral("root"))), QStringList({"{C}", "{A}", "{B}"}));
    QCOMPARE(ids(store.children(QStringLiteral("{A}"))), QStringList({"{c2}", "{c1}"}));
    QCOMPARE(store.count(), 5);

    store.move(QStringLiteral("{C}"), QStringLiteral("{B}"));
    QCOMPARE(ids(store.children(QStringLiteral("{B}"))), QStringList({"{C}"}));
    store.setExpanded(QStringLiteral("{B}"), true);
    QVERIFY(store.findMemo(QStringLiteral("{B}"))->expandFlag);
    store.setExpanded(QStringLiteral("{B}"), false);
    QVERIFY(!store.findMemo(QStringLiteral("{B}"))->expandFlag);

    // A memo goes with its sub-memos, and nothing else does.
    store.removeWithSubMemos(QStringLiteral("{A}"));
    QCOMPARE(ids(store.allMemos()), QStringList({"{C}", "{B}"}));
    QVERIFY(!store.findMemo(QStringLiteral("{c1}")));

    // A batch left by an error keeps what ran before it.
    try {
        Transaction batch = store.transaction();
        store.removeWithSubMemos(QStringLiteral("{C}"));
        throw DatabaseError(QStringLiteral("stop"));
    } catch (const DatabaseError &) {
    }
    QCOMPARE(ids(store.allMemos()), QStringList({"{B}"}));
}

void TestStore::restoreReplacesInPlace()
{
    TestFolder folder;
    Database connection;
    connection.open(folder.file(QStringLiteral("kvData.kvb")));
    MemoStore store(connection);
    store.insert({QStringLiteral("{A}"), QStringLiteral("root"), QStringLiteral("a"), false, 1, 1, 1});
    store.insert({QStringLiteral("{B}"), QStringLiteral("root"), QStringLiteral("b"), false, 1, 1, 1});
    store.setExpanded(QStringLiteral("{A}"), true);

    // A replaced memo keeps its place and its expanded flag; a new one comes last.
    store.storeMemo({QStringLiteral("{A}"), QStringLiteral("root"), QStringLiteral("a2"), false, 2, 3, 4});
    store.storeMemo({QStringLiteral("{N}"), QStringLiteral("{X}"), QStringLiteral("n"), false, 0, 0, 0});
    const std::vector<Memo> memos = store.allMemos();
    QCOMPARE(memos.size(), size_t(3));
    QCOMPARE(memos[0].content, QStringLiteral("a2"));
    QVERIFY(memos[0].expandFlag);
    QCOMPARE(memos[0].assignTime, 2.0);
    QCOMPARE(memos[0].editTime, 4.0);
    QCOMPARE(memos[2].mid, QStringLiteral("{N}"));

    // Under a memo that is not there: lifted to the top.
    store.liftHiddenMemos();
    QCOMPARE(store.findMemo(QStringLiteral("{N}"))->pid, QStringLiteral("root"));

    Task task;
    task.tid = QStringLiteral("{T}");
    task.pid = QStringLiteral("root");
    task.checkFlag = QStringLiteral("True");
    task.dueTime = 45000.5;
    store.storeTask(task);
    task.content = QStringLiteral("again");
    store.storeTask(task);
    QCOMPARE(store.allTasks().size(), size_t(1));
    const std::optional<Task> stored = store.findTask(QStringLiteral("{T}"));
    QVERIFY(stored);
    QCOMPARE(stored->content, QStringLiteral("again"));
    QCOMPARE(stored->checkFlag, QStringLiteral("True"));
    QCOMPARE(stored->dueTime, 45000.5);
    QVERIFY(!store.findTask(QStringLiteral("{none}")));
}

void TestStore::rowsPutBackKeepPlaceAndEmptyColumns()
{
    TestFolder folder;
    Database connection;
    connection.open(folder.file(QStringLiteral("kvData.kvb")));
    MemoStore store(connection);
    for (const char *mid : {"{A}", "{B}", "{C}"})
        store.insert({QString::fromLatin1(mid), QStringLiteral("root"), QStringLiteral("t"), false, 0, 1, 2});
    store.insert({QStringLiteral("{A1}"), QStringLiteral("{A}"), QStringLiteral("s"), false, 3, 4, 5});
    store.setExpanded(QStringLiteral("{A}"), true);
    const std::vector<MemoRow> all = store.memoRows({"{A}", "{B}", "{C}", "{A1}"});
    const auto table = [&connection] { return tableRows(connection, "memos", true); };
    const QList<QStringList> before = table();

    // Removed with their sub-memos and put back: the same rows in the same places, an
    // empty assign time still empty, the expanded flag kept.
    const std::vector<MemoRow> removed = store.removeWithSubMemos(std::vector<QString>{"{A}", "{C}"});
    QCOMPARE(removed.size(), size_t(3));
    QCOMPARE(removed[2].memo.mid, QStringLiteral("{A1}"));
    for (const MemoRow &row : removed)
        store.putBack(row);
    QCOMPARE(table(), before);

    // Put back over the stored row: it changes in place; a place taken meanwhile gives a new one.
    MemoRow edited = all[1];
    edited.memo.content = QStringLiteral("edited");
    store.putBack(edited);
    QCOMPARE(store.allMemos()[1].content, QStringLiteral("edited"));
    store.removeMemo(QStringLiteral("{C}"));
    connection.execute(QStringLiteral("insert into memos (rowid, mid, pid) values (%1, '{D}', 'root')").arg(all[2].rowid));
    store.putBack(all[2]);
    QCOMPARE(store.memoRows({"{C}"}).front().rowid, all[2].rowid + 2);
    QCOMPARE(store.lastMemoRow(), all[2].rowid + 2);
    QCOMPARE(store.memoRowsAfter(all[2].rowid).size(), size_t(2));

    // All or nothing: a failure after a write takes the write back.
    try {
        Transaction batch = store.allOrNothing();
        store.removeMemo(QStringLiteral("{A}"));
        store.putBack(MemoRow{0, {QStringLiteral("{X}"), QStringLiteral("root"), QString(1 << 20, QLatin1Char('x'))}});
        connection.execute(QStringLiteral("select raise(abort, 'stop')"));
        batch.commit();
        QFAIL("the batch went through");
    } catch (const DatabaseError &) {
    }
    QVERIFY(store.findMemo(QStringLiteral("{A}")));
    QVERIFY(!store.findMemo(QStringLiteral("{X}")));
}

void TestStore::apostrophesTravelThroughResultSets()
{
    TestFolder folder;
    Database connection;
    connection.open(folder.file(QStringLiteral("kvData.kvb")));
    MemoStore store(connection);
    const QString text = QStringLiteral("Don't forget: 'quoted' \"double\"\r\nsecond line");
    const QString oddId = QStringLiteral("{O'NE}");
    store.insert({oddId, QStringLiteral("root"), text, false, 0, 45000.25, 45000.25});
    store.setExpanded(oddId, true);
    store.move(oddId, QStringLiteral("root"));
    const std::vector<Memo> memos = store.children(QStringLiteral("root"));
    QCOMPARE(memos.size(), size_t(1));
    QCOMPARE(memos[0].content, text);
    QCOMPARE(memos[0].mid, oddId);
    QVERIFY(memos[0].expandFlag);
    QCOMPARE(memos[0].createTime, 45000.25);
    QCOMPARE(memos[0].assignTime, 0.0); // none given: left empty
}

void TestStore::emptyColumnsReadAsEmptyValues()
{
    TestFolder folder;
    Database connection;
    connection.open(folder.file(QStringLiteral("kvData.kvb")));
    connection.execute(QStringLiteral("insert into memos (mid) values ('{X}')"));
    // Older files may hold the flag as a word.
    connection.execute(QStringLiteral("insert into memos (mid, pid, expandFlag) values ('{W}', 'root', 'True')"));
    connection.execute(QStringLiteral("insert into tasks (tid, checkFlag) values ('{T}', 1)"));
    MemoStore store(connection);
    const std::optional<Memo> memo = store.findMemo(QStringLiteral("{X}"));
    QVERIFY(memo);
    QCOMPARE(memo->content, QString());
    QCOMPARE(memo->pid, QString());
    QCOMPARE(memo->expandFlag, false);
    QCOMPARE(memo->assignTime, 0.0);
    QCOMPARE(dateTimeToQDateTime(memo->assignTime), QDateTime(QDate(1899, 12, 30), QTime(0, 0), Qt::LocalTime));
    QVERIFY(store.findMemo(QStringLiteral("{W}"))->expandFlag);
    const std::optional<Task> task = store.findTask(QStringLiteral("{T}"));
    QCOMPARE(task->checkFlag, QStringLiteral("1"));
    QCOMPARE(task->content, QString());
    QCOMPARE(task->dueTime, 0.0);
}

void TestStore::emptyTableCountsZero()
{
    TestFolder folder;
    Database connection;
    connection.open(folder.file(QStringLiteral("kvData.kvb")));
    MemoStore store(connection);
    QCOMPARE(store.count(), 0);
    QVERIFY(store.children(QStringLiteral("root")).empty());
    QVERIFY(store.allTasks().empty());
}

void TestStore::updateChangesOnlyThatMemo()
{
    TestFolder folder;
    Database connection;
    connection.open(folder.file(QStringLiteral("kvData.kvb")));
    insertMemoRow(connection, QStringLiteral("{A}"), QStringLiteral("root"), QStringLiteral("a"));
    insertMemoRow(connection, QStringLiteral("{B}"), QStringLiteral("root"), QStringLiteral("b"));
    MemoStore store(connection);
    store.updateText(QStringLiteral("{B}"), QStringLiteral("b2"), 46000.0);
    QCOMPARE(store.findMemo(QStringLiteral("{A}"))->content, QStringLiteral("a"));
    QCOMPARE(store.findMemo(QStringLiteral("{B}"))->content, QStringLiteral("b2"));
    QCOMPARE(store.findMemo(QStringLiteral("{B}"))->editTime, 46000.0);

    // A memo deleted meanwhile (by another program) is not reported stored.
    QVERIFY_THROWS_EXCEPTION(DatabaseError, store.updateText(QStringLiteral("{none}"), QStringLiteral("x"), 1));
    QCOMPARE(store.count(), 2);
}

void TestStore::flattenLineBreaks()
{
    QCOMPARE(::flattenLineBreaks(QStringLiteral("one\r\ntwo")), QStringLiteral("one  two"));
    QCOMPARE(::flattenLineBreaks(QStringLiteral("a\nb\rc")), QStringLiteral("a b c"));
    QCOMPARE(::flattenLineBreaks(QStringLiteral("plain text")), QStringLiteral("plain text"));
    QCOMPARE(trimRightControls(QStringLiteral("  keep\r\n\t \r\n")), QStringLiteral("  keep"));
    QCOMPARE(trimRightControls(QStringLiteral(" \t\r\n")), QString());
}

void TestStore::dateTimeDayCount()
{
    QCOMPARE(toTimeStamp(QDateTime(QDate(1899, 12, 30), QTime(0, 0), Qt::LocalTime)), 0.0);
    QCOMPARE(toTimeStamp(QDateTime(QDate(1900, 1, 1), QTime(12, 0), Qt::LocalTime)), 2.5);
    const QDateTime moment(QDate(2026, 12, 9), QTime(17, 45, 12, 345), Qt::LocalTime);
    QCOMPARE(dateTimeToQDateTime(toTimeStamp(moment)), moment);
    QVERIFY(qAbs(dateTimeNow() - toTimeStamp(QDateTime::currentDateTime())) < 1.0 / 86400);
}

void TestStore::memoIds()
{
    const QString id = newMemoId();
    QCOMPARE(id.size(), 38);
    QVERIFY(QRegularExpression(QStringLiteral("^\\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\}$"))
                .match(id)
                .hasMatch());
    QVERIFY(newMemoId() != id);
    // Version 4 and the RFC 4122 variant; no two alike in a run, nor the first ones of two
    // threads (a generator seeded the same way in each would repeat them).
    QCOMPARE(id[15], QLatin1Char('4'));
    QVERIFY(QStringLiteral("89AB").contains(id[20]));
    // The import's UTF-8 ids are written digit by digit: they must read back as the same GUID.
    const QByteArray utf8 = newMemoIdUtf8();
    const QUuid parsed = QUuid::fromString(QLatin1String(utf8));
    QCOMPARE(parsed.version(), QUuid::Random);
    QCOMPARE(parsed.variant(), QUuid::DCE);
    QCOMPARE(parsed.toString(QUuid::WithBraces).toUpper().toLatin1(), utf8);
    QSet<QString> ids;
    for (int i = 0; i < 20000; ++i)
        ids.insert(newMemoId());
    QCOMPARE(ids.size(), 20000);
    QString first[2];
    std::thread one([&] { first[0] = newMemoId(); });
    std::thread two([&] { first[1] = newMemoId(); });
    one.join();
    two.join();
    QVERIFY(first[0] != first[1] && !ids.contains(first[0]) && !ids.contains(first[1]));
}

void TestStore::createsMissingFileAndKeepsExistingData()
{
    TestFolder folder;
    const QString path = folder.file(QStringLiteral("kvData.kvb"));
    {
        Database connection;
        connection.open(path);
        insertMemoRow(connection, QStringLiteral("{A}"), QStringLiteral("root"), QStringLiteral("kept"));
    }
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();
    {
        Database connection;
        connection.open(path);
        QCOMPARE(MemoStore(connection).allMemos().at(0).content, QStringLiteral("kept"));
    }
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), before);
}

void TestStore::refusesFilesThatAreNotDatabases()
{
    TestFolder folder;
    const QString path = folder.file(QStringLiteral("kvData.kvb"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray("These are my notes, not a database.\n").repeated(200));
    file.close();
    Database connection;
    try {
        connection.open(path);
        QFAIL("a text file opened as a database");
    } catch (const DatabaseError &error) {
        QVERIFY2(QString::fromUtf8(error.what()).contains(QStringLiteral("not a database")), error.what());
    }
    QVERIFY(!connection.isOpen());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().startsWith("These are my notes"));
}

void TestStore::readOnlyDatabaseReadsButRefusesWrites()
{
    TestFolder folder;
    const QString path = folder.file(QStringLiteral("kvData.kvb"));
    {
        Database connection;
        connection.open(path);
        insertMemoRow(connection, QStringLiteral("{A}"), QStringLiteral("root"), QStringLiteral("kept"));
    }
    QFile::setPermissions(path, QFile::ReadOwner);
    Database connection;
    connection.open(path);
    QVERIFY(connection.isReadOnly());
    MemoStore store(connection);
    QCOMPARE(store.count(), 1);
    QVERIFY(store.isReadOnly());
    QVERIFY_THROWS_EXCEPTION(DatabaseError, store.removeWithSubMemos(QStringLiteral("{A}")));
    QVERIFY_THROWS_EXCEPTION(DatabaseError, store.updateText(QStringLiteral("{A}"), QStringLiteral("x"), 1));
}

void TestStore::readOnlyFolderOpensReadOnly()
{
    // The rollback journal lives beside the file: a folder that cannot take it makes every
    // write fail, so callers must be able to tell before they try.
    TestFolder folder;
    const QString path = folder.file(QStringLiteral("kvData.kvb"));
    {
        Database connection;
        connection.open(path);
        QVERIFY(!connection.isReadOnly());
        insertMemoRow(connection, QStringLiteral("{A}"), QStringLiteral("root"), QStringLiteral("kept"));
    }
    const QString dir = QFileInfo(path).absolutePath();
    const auto writable = QFile::permissions(dir);
    QFile::setPermissions(dir, QFile::ReadOwner | QFile::ExeOwner);
    Database connection;
    connection.open(path);
    const bool readOnly = connection.isReadOnly();
    const qint64 count = MemoStore(connection).count();
    connection.close();
    QFile::setPermissions(dir, writable);
    QVERIFY(readOnly);
    QCOMPARE(count, 1);
}

void TestStore::valueTooLongIsRefusedNeverStoredEmpty()
{
    TestFolder folder;
    Database connection;
    connection.open(folder.file(QStringLiteral("kvData.kvb")));
    insertMemoRow(connection, QStringLiteral("{A}"), QStringLiteral("root"), QStringLiteral("short"));
    // The engine's limit, lowered on this connection so that a test can pass it.
    sqlite3_limit(connection.handle(), SQLITE_LIMIT_LENGTH, 4000);
    const QString tooLong(5000, QLatin1Char('x'));
    MemoStore store(connection);
    try {
        store.insert({QStringLiteral("{B}"), QStringLiteral("root"), tooLong, false, 0, 1, 1});
        QFAIL("a text over the limit was reported stored");
    } catch (const DatabaseError &error) {
        QVERIFY2(QString::fromUtf8(error.what()).contains(QStringLiteral("too long")), error.what());
    }
    QVERIFY_THROWS_EXCEPTION(DatabaseError, store.updateText(QStringLiteral("{A}"), tooLong, 1));
    QVERIFY_THROWS_EXCEPTION(DatabaseError,
                             store.storeMemo({QStringLiteral("{A}"), QStringLiteral("root"), tooLong, false, 0, 1, 1}));
    // An id is bound too, and checked the same way.
    QVERIFY_THROWS_EXCEPTION(DatabaseError, store.findMemo(tooLong));

    // Within the limit a long text is stored whole, and nothing else changed.
    store.insert({QStringLiteral("{C}"), QStringLiteral("root"), QString(3000, QLatin1Char('y')), false, 0, 1, 1});
    QMap<QString, QString> contents;
    for (const Memo &memo : store.allMemos())
        contents[memo.mid] = memo.content;
    QCOMPARE(contents.keys(), QStringList({QStringLiteral("{A}"), QStringLiteral("{C}")}));
    QCOMPARE(contents.value(QStringLiteral("{A}")), QStringLiteral("short"));
    QCOMPARE(contents.value(QStringLiteral("{C}")).size(), 3000);
}

void TestStore::noReadLockOutlivesTheRowsRead()
{
    TestFolder folder;
    const QString path = folder.file(QStringLiteral("kvData.kvb"));
    Database connection;
    connection.open(path);
    insertMemoRow(connection, QStringLiteral("{A}"), QStringLiteral("root"), QStringLiteral("a"));
    insertMemoRow(connection, QStringLiteral("{B}"), QStringLiteral("root"), QStringLiteral("b"));
    MemoStore store(connection);

    // Every call lets go of the file before it returns, whatever it did: another program
    // can write right after each one.
    store.updateText(QStringLiteral("{A}"), QStringLiteral("a2"), 1);
    QVERIFY(otherProgramCanWrite(path, "{O1}"));
    QCOMPARE(store.count(), 3);
    QVERIFY(otherProgramCanWrite(path, "{O2}"));
    QCOMPARE(store.children(QStringLiteral("root")).size(), size_t(4));
    QVERIFY(otherProgramCanWrite(path, "{O3}"));
    QVERIFY(store.findMemo(QStringLiteral("{A}")));
    QVERIFY(store.findTask(QStringLiteral("{none}")) == std::nullopt);
    QVERIFY(otherProgramCanWrite(path, "{O4}"));
    QCOMPARE(store.allMemos().size(), size_t(6));
    QVERIFY(otherProgramCanWrite(path, "{O5}"));
}

void TestStore::newMemoStampsByTheClock()
{
    // Created and assigned at one reading of the clock, edited at the next.
    TimeStamp tick = 46000.25;
    setMemoClock([&tick] { return tick++; });
    const Memo memo = newMemo(MemoLevels::kTopLevelParent, QStringLiteral("text"));
    setMemoClock({});
    QCOMPARE(memo.createTime, 46000.25);
    QCOMPARE(memo.assignTime, 46000.25);
    QCOMPARE(memo.editTime, 46001.25);
    QVERIFY(memo.mid.size() == 38 && MemoLevels::isTopLevel(memo) && memo.content == QLatin1String("text"));
    QVERIFY(qAbs(memoClockNow() - dateTimeNow()) < 1.0 / 86400);
}

QTEST_GUILESS_MAIN(TestStore)
#include "tst_store.moc"
