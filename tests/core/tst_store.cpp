#include "TestSupport.h"
#include "core/MemoText.h"
#include "core/TimeStamp.h"
#include "core/Database.h"
#include "core/DatabaseError.h"
#include "core/Query.h"
#include "core/MemoId.h"
#include "core/SqlCatalogue.h"
#include <QFile>
#include <QtTest>
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
    void quotingAndCatalogue();
    void apostrophesTravelThroughResultSets();
    void emptyColumnsReadAsEmptyValues();
    void emptyTableCountsZero();
    void editChangesOnlyTheCurrentRow();
    void flattenLineBreaks();
    void dateTimeDayCount();
    void memoIds();
    void createsMissingFileAndKeepsExistingData();
    void refusesFilesThatAreNotDatabases();
    void readOnlyDatabaseReadsButRefusesWrites();
    void readOnlyFolderOpensReadOnly();
    void valueTooLongIsRefusedNeverStoredEmpty();
    void noReadLockOutlivesTheRowsRead();
};

void TestStore::quotingAndCatalogue()
{
    QCOMPARE(Sql::QuotedStr(QStringLiteral("it's")), QStringLiteral("'it''s'"));
    QCOMPARE(Sql::QuotedStr(QString()), QStringLiteral("''"));
    QCOMPARE(Sql::selectMemosByPid(QStringLiteral("root")), QStringLiteral("select * from memos where pid='root'"));
    QCOMPARE(Sql::updateExpandFlag(true, QStringLiteral("{A}")),
             QStringLiteral("update memos set expandFlag=True where mid='{A}'"));
    QCOMPARE(Sql::updateExpandFlag(false, QStringLiteral("{A}")),
             QStringLiteral("update memos set expandFlag=False where mid='{A}'"));
    QCOMPARE(Sql::updateMemoParent(QStringLiteral("root"), QStringLiteral("o'k")),
             QStringLiteral("update memos set pid='root' where mid='o''k'"));
    QCOMPARE(Sql::countMemos(), QStringLiteral("select count(*) as cnt from memos"));
    QCOMPARE(Sql::emptyMemoForAppend(), QStringLiteral("select * from memos where 1=0"));
    QCOMPARE(Sql::emptyMemoForRestore(), QStringLiteral("select * from memos where 0=1"));
}

void TestStore::apostrophesTravelThroughResultSets()
{
    TestFolder folder;
    Database connection;
    connection.open(folder.file(QStringLiteral("kvData.kvb")));
    Query query(connection);
    const QString text = QStringLiteral("Don't forget: 'quoted' \"double\"\r\nsecond line");
    const QString oddId = QStringLiteral("{O'NE}");

    openSql(query, Sql::emptyMemoForAppend());
    QVERIFY(query.eof());
    query.append();
    query.setField("mid", oddId);
    query.setField("pid", QStringLiteral("root"));
    query.setField("content", text);
    query.setField("createTime", 45000.25);
    query.post();

    // Ids with quotes are spliced into statement text; none of these statements may break.
    execSql(query, Sql::updateExpandFlag(true, oddId));
    openSql(query, Sql::selectMemosByPid(QStringLiteral("root")));
    QVERIFY(!query.eof());
    QCOMPARE(query.fieldAsString("content"), text);
    QCOMPARE(query.fieldAsString("MID"), oddId); // names are case-insensitive
    QCOMPARE(query.fieldAsBool("expandFlag"), true);
    QCOMPARE(query.fieldAsDateTime("createTime"), 45000.25);
    query.next();
    QVERIFY(query.eof());
    QVERIFY_THROWS_EXCEPTION(DatabaseError, query.fieldAsString("nosuchcolumn"));
}

void TestStore::emptyColumnsReadAsEmptyValues()
{
    TestFolder folder;
    Database connection;
    connection.open(folder.file(QStringLiteral("kvData.kvb")));
    connection.execute(QStringLiteral("insert into memos (mid) values ('{X}')"));
    Query query(connection);
    openSql(query, Sql::selectMemoById(QStringLiteral("{X}")));
    QCOMPARE(query.fieldAsString("content"), QString());
    QCOMPARE(query.fieldAsString("pid"), QString());
    QCOMPARE(query.fieldAsBool("expandFlag"), false);
    QCOMPARE(query.fieldAsDateTime("assignTime"), 0.0);
    QCOMPARE(dateTimeToQDateTime(query.fieldAsDateTime("assignTime")),
             QDateTime(QDate(1899, 12, 30), QTime(0, 0), Qt::LocalTime));

    openSql(query, Sql::selectAllTasks());
    QVERIFY(query.eof());
    QVERIFY(query.hasField("checkFlag") && query.hasField("dueTime") && query.hasField("tid"));
}

void TestStore::emptyTableCountsZero()
{
    TestFolder folder;
    Database connection;
    connection.open(folder.file(QStringLiteral("kvData.kvb")));
    Query query(connection);
    openSql(query, Sql::countMemos());
    QCOMPARE(query.fieldAsInteger("cnt"), 0);
    openSql(query, Sql::selectMemosByPid(QStringLiteral("root")));
    QVERIFY(query.eof());
}

void TestStore::editChangesOnlyTheCurrentRow()
{
    TestFolder folder;
    Database connection;
    connection.open(folder.file(QStringLiteral("kvData.kvb")));
    insertMemoRow(connection, QStringLiteral("{A}"), QStringLiteral("root"), QStringLiteral("a"));
    insertMemoRow(connection, QStringLiteral("{B}"), QStringLiteral("root"), QStringLiteral("b"));
    Query query(connection);
    openSql(query, Sql::selectMemoById(QStringLiteral("{B}")));
    query.edit();
    query.setField("content", QStringLiteral("b2"));
    query.setField("editTime", 46000.0);
    query.post();

    openSql(query, Sql::selectAllMemos());
    QMap<QString, QString> contents;
    for (; !query.eof(); query.next())
        contents[query.fieldAsString("mid")] = query.fieldAsString("content");
    QCOMPARE(contents.value(QStringLiteral("{A}")), QStringLiteral("a"));
    QCOMPARE(contents.value(QStringLiteral("{B}")), QStringLiteral("b2"));

    // Editing needs a current row; a count has none to write back to.
    openSql(query, Sql::selectMemoById(QStringLiteral("{none}")));
    QVERIFY_THROWS_EXCEPTION(DatabaseError, query.edit());
    openSql(query, Sql::countMemos());
    QVERIFY_THROWS_EXCEPTION(DatabaseError, query.append());
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
    QCOMPARE(QDateTimeToDateTime(QDateTime(QDate(1899, 12, 30), QTime(0, 0), Qt::LocalTime)), 0.0);
    QCOMPARE(QDateTimeToDateTime(QDateTime(QDate(1900, 1, 1), QTime(12, 0), Qt::LocalTime)), 2.5);
    const QDateTime moment(QDate(2026, 12, 9), QTime(17, 45, 12, 345), Qt::LocalTime);
    QCOMPARE(dateTimeToQDateTime(QDateTimeToDateTime(moment)), moment);
    QVERIFY(qAbs(dateTimeNow() - QDateTimeToDateTime(QDateTime::currentDateTime())) < 1.0 / 86400);
}

void TestStore::memoIds()
{
    const QString id = newMemoId();
    QCOMPARE(id.size(), 38);
    QVERIFY(QRegularExpression(QStringLiteral("^\\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\}$"))
                .match(id)
                .hasMatch());
    QVERIFY(newMemoId() != id);
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
        Query query(connection);
        openSql(query, Sql::selectAllMemos());
        QCOMPARE(query.fieldAsString("content"), QStringLiteral("kept"));
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
    Query query(connection);
    openSql(query, Sql::countMemos());
    QCOMPARE(query.fieldAsInteger("cnt"), 1);
    QVERIFY_THROWS_EXCEPTION(DatabaseError, execSql(query, Sql::deleteMemo(QStringLiteral("{A}"))));
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
    Query query(connection);
    openSql(query, Sql::countMemos());
    const qint64 count = query.fieldAsInteger("cnt");
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
    Query query(connection);

    openSql(query, Sql::emptyMemoForAppend());
    query.append();
    query.setField("mid", QStringLiteral("{B}"));
    query.setField("pid", QStringLiteral("root"));
    query.setField("content", tooLong);
    try {
        query.post();
        QFAIL("a text over the limit was reported stored");
    } catch (const DatabaseError &error) {
        QVERIFY2(QString::fromUtf8(error.what()).contains(QStringLiteral("too long")), error.what());
    }

    openSql(query, Sql::selectMemoById(QStringLiteral("{A}")));
    query.edit();
    query.setField("content", tooLong);
    QVERIFY_THROWS_EXCEPTION(DatabaseError, query.post());

    // A value spliced into the statement text is bound too, and checked the same way.
    QVERIFY_THROWS_EXCEPTION(DatabaseError, openSql(query, Sql::selectMemoById(tooLong)));

    // Within the limit a long text is stored whole, and nothing else changed.
    openSql(query, Sql::emptyMemoForAppend());
    query.append();
    query.setField("mid", QStringLiteral("{C}"));
    query.setField("pid", QStringLiteral("root"));
    query.setField("content", QString(3000, QLatin1Char('y')));
    query.post();
    openSql(query, Sql::selectAllMemos());
    QMap<QString, QString> contents;
    for (; !query.eof(); query.next())
        contents[query.fieldAsString("mid")] = query.fieldAsString("content");
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
    Query query(connection);

    // An edit as the memo list commits one: the query stays open, standing on the row.
    openSql(query, Sql::selectMemoById(QStringLiteral("{A}")));
    query.first();
    query.edit();
    query.setField("content", QStringLiteral("a2"));
    query.post();
    QVERIFY(otherProgramCanWrite(path, "{O1}"));
    QCOMPARE(query.fieldAsString("mid"), QStringLiteral("{A}"));

    // A count stands on its only row; a list read to its last row has nothing left to read.
    openSql(query, Sql::countMemos());
    QVERIFY(otherProgramCanWrite(path, "{O2}"));
    QCOMPARE(query.fieldAsInteger("cnt"), 3);
    openSql(query, Sql::selectMemosByPid(QStringLiteral("root")));
    QStringList mids;
    for (; !query.eof(); query.next())
        mids << query.fieldAsString("mid");
    QCOMPARE(mids.size(), 4);
    QVERIFY(otherProgramCanWrite(path, "{O3}"));

    // While rows remain unread the result set does hold the file, as it must to read on.
    openSql(query, Sql::selectMemosByPid(QStringLiteral("root")));
    QVERIFY(!otherProgramCanWrite(path, "{O4}"));
    query.first();
    for (int i = 0; i < mids.size() + 1; ++i) // the rows listed, and {O3}
        query.next();
    QVERIFY(query.eof());
    QVERIFY(otherProgramCanWrite(path, "{O4}"));
}

QTEST_GUILESS_MAIN(TestStore)
#include "tst_store.moc"
