#include "TestSupport.h"
#include "app/pU_Funcs.h"
#include "store/DateTime.h"
#include "store/KvConnection.h"
#include "store/KvDbError.h"
#include "store/KvQuery.h"
#include "store/MemoId.h"
#include "store/SqlCatalogue.h"
#include <QFile>
#include <QtTest>
#include <sqlite3.h>

namespace {

// Another program writing the file at once, without waiting for locks: true when it could.
bool OtherProgramCanWrite(const QString &path, const char *mid)
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
    QCOMPARE(Sql::SelectMemosByPid(QStringLiteral("root")), QStringLiteral("select * from memos where pid='root'"));
    QCOMPARE(Sql::UpdateExpandFlag(true, QStringLiteral("{A}")),
             QStringLiteral("update memos set expandFlag=True where mid='{A}'"));
    QCOMPARE(Sql::UpdateExpandFlag(false, QStringLiteral("{A}")),
             QStringLiteral("update memos set expandFlag=False where mid='{A}'"));
    QCOMPARE(Sql::UpdateMemoParent(QStringLiteral("root"), QStringLiteral("o'k")),
             QStringLiteral("update memos set pid='root' where mid='o''k'"));
    QCOMPARE(Sql::CountMemos(), QStringLiteral("select count(*) as cnt from memos"));
    QCOMPARE(Sql::EmptyMemoForAppend(), QStringLiteral("select * from memos where 1=0"));
    QCOMPARE(Sql::EmptyMemoForRestore(), QStringLiteral("select * from memos where 0=1"));
}

void TestStore::apostrophesTravelThroughResultSets()
{
    TestFolder folder;
    KvConnection connection;
    connection.open(folder.file(QStringLiteral("kvData.kvb")));
    KvQuery query(connection);
    const QString text = QStringLiteral("Don't forget: 'quoted' \"double\"\r\nsecond line");
    const QString oddId = QStringLiteral("{O'NE}");

    OpenSql(query, Sql::EmptyMemoForAppend());
    QVERIFY(query.eof());
    query.append();
    query.setField("mid", oddId);
    query.setField("pid", QStringLiteral("root"));
    query.setField("content", text);
    query.setField("createTime", 45000.25);
    query.post();

    // Ids with quotes are spliced into statement text; none of these statements may break.
    ExecSql(query, Sql::UpdateExpandFlag(true, oddId));
    OpenSql(query, Sql::SelectMemosByPid(QStringLiteral("root")));
    QVERIFY(!query.eof());
    QCOMPARE(query.fieldAsString("content"), text);
    QCOMPARE(query.fieldAsString("MID"), oddId); // names are case-insensitive
    QCOMPARE(query.fieldAsBool("expandFlag"), true);
    QCOMPARE(query.fieldAsDateTime("createTime"), 45000.25);
    query.next();
    QVERIFY(query.eof());
    QVERIFY_THROWS_EXCEPTION(KvDbError, query.fieldAsString("nosuchcolumn"));
}

void TestStore::emptyColumnsReadAsEmptyValues()
{
    TestFolder folder;
    KvConnection connection;
    connection.open(folder.file(QStringLiteral("kvData.kvb")));
    connection.execute(QStringLiteral("insert into memos (mid) values ('{X}')"));
    KvQuery query(connection);
    OpenSql(query, Sql::SelectMemoById(QStringLiteral("{X}")));
    QCOMPARE(query.fieldAsString("content"), QString());
    QCOMPARE(query.fieldAsString("pid"), QString());
    QCOMPARE(query.fieldAsBool("expandFlag"), false);
    QCOMPARE(query.fieldAsDateTime("assignTime"), 0.0);
    QCOMPARE(DateTimeToQDateTime(query.fieldAsDateTime("assignTime")),
             QDateTime(QDate(1899, 12, 30), QTime(0, 0), Qt::LocalTime));

    OpenSql(query, Sql::SelectAllTasks());
    QVERIFY(query.eof());
    QVERIFY(query.hasField("checkFlag") && query.hasField("dueTime") && query.hasField("tid"));
}

void TestStore::emptyTableCountsZero()
{
    TestFolder folder;
    KvConnection connection;
    connection.open(folder.file(QStringLiteral("kvData.kvb")));
    KvQuery query(connection);
    OpenSql(query, Sql::CountMemos());
    QCOMPARE(query.fieldAsInteger("cnt"), 0);
    OpenSql(query, Sql::SelectMemosByPid(QStringLiteral("root")));
    QVERIFY(query.eof());
}

void TestStore::editChangesOnlyTheCurrentRow()
{
    TestFolder folder;
    KvConnection connection;
    connection.open(folder.file(QStringLiteral("kvData.kvb")));
    InsertMemoRow(connection, QStringLiteral("{A}"), QStringLiteral("root"), QStringLiteral("a"));
    InsertMemoRow(connection, QStringLiteral("{B}"), QStringLiteral("root"), QStringLiteral("b"));
    KvQuery query(connection);
    OpenSql(query, Sql::SelectMemoById(QStringLiteral("{B}")));
    query.edit();
    query.setField("content", QStringLiteral("b2"));
    query.setField("editTime", 46000.0);
    query.post();

    OpenSql(query, Sql::SelectAllMemos());
    QMap<QString, QString> contents;
    for (; !query.eof(); query.next())
        contents[query.fieldAsString("mid")] = query.fieldAsString("content");
    QCOMPARE(contents.value(QStringLiteral("{A}")), QStringLiteral("a"));
    QCOMPARE(contents.value(QStringLiteral("{B}")), QStringLiteral("b2"));

    // Editing needs a current row; a count has none to write back to.
    OpenSql(query, Sql::SelectMemoById(QStringLiteral("{none}")));
    QVERIFY_THROWS_EXCEPTION(KvDbError, query.edit());
    OpenSql(query, Sql::CountMemos());
    QVERIFY_THROWS_EXCEPTION(KvDbError, query.append());
}

void TestStore::flattenLineBreaks()
{
    QCOMPARE(FlattenLineBreaks(QStringLiteral("one\r\ntwo")), QStringLiteral("one  two"));
    QCOMPARE(FlattenLineBreaks(QStringLiteral("a\nb\rc")), QStringLiteral("a b c"));
    QCOMPARE(FlattenLineBreaks(QStringLiteral("plain text")), QStringLiteral("plain text"));
    QCOMPARE(TrimRightControls(QStringLiteral("  keep\r\n\t \r\n")), QStringLiteral("  keep"));
    QCOMPARE(TrimRightControls(QStringLiteral(" \t\r\n")), QString());
}

void TestStore::dateTimeDayCount()
{
    QCOMPARE(QDateTimeToDateTime(QDateTime(QDate(1899, 12, 30), QTime(0, 0), Qt::LocalTime)), 0.0);
    QCOMPARE(QDateTimeToDateTime(QDateTime(QDate(1900, 1, 1), QTime(12, 0), Qt::LocalTime)), 2.5);
    const QDateTime moment(QDate(2026, 12, 9), QTime(17, 45, 12, 345), Qt::LocalTime);
    QCOMPARE(DateTimeToQDateTime(QDateTimeToDateTime(moment)), moment);
    QVERIFY(qAbs(DateTimeNow() - QDateTimeToDateTime(QDateTime::currentDateTime())) < 1.0 / 86400);
}

void TestStore::memoIds()
{
    const QString id = NewMemoId();
    QCOMPARE(id.size(), 38);
    QVERIFY(QRegularExpression(QStringLiteral("^\\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\}$"))
                .match(id)
                .hasMatch());
    QVERIFY(NewMemoId() != id);
}

void TestStore::createsMissingFileAndKeepsExistingData()
{
    TestFolder folder;
    const QString path = folder.file(QStringLiteral("kvData.kvb"));
    {
        KvConnection connection;
        connection.open(path);
        InsertMemoRow(connection, QStringLiteral("{A}"), QStringLiteral("root"), QStringLiteral("kept"));
    }
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();
    {
        KvConnection connection;
        connection.open(path);
        KvQuery query(connection);
        OpenSql(query, Sql::SelectAllMemos());
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
    KvConnection connection;
    try {
        connection.open(path);
        QFAIL("a text file opened as a database");
    } catch (const KvDbError &error) {
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
        KvConnection connection;
        connection.open(path);
        InsertMemoRow(connection, QStringLiteral("{A}"), QStringLiteral("root"), QStringLiteral("kept"));
    }
    QFile::setPermissions(path, QFile::ReadOwner);
    KvConnection connection;
    connection.open(path);
    QVERIFY(connection.isReadOnly());
    KvQuery query(connection);
    OpenSql(query, Sql::CountMemos());
    QCOMPARE(query.fieldAsInteger("cnt"), 1);
    QVERIFY_THROWS_EXCEPTION(KvDbError, ExecSql(query, Sql::DeleteMemo(QStringLiteral("{A}"))));
}

void TestStore::readOnlyFolderOpensReadOnly()
{
    // The rollback journal lives beside the file: a folder that cannot take it makes every
    // write fail, so callers must be able to tell before they try.
    TestFolder folder;
    const QString path = folder.file(QStringLiteral("kvData.kvb"));
    {
        KvConnection connection;
        connection.open(path);
        QVERIFY(!connection.isReadOnly());
        InsertMemoRow(connection, QStringLiteral("{A}"), QStringLiteral("root"), QStringLiteral("kept"));
    }
    const QString dir = QFileInfo(path).absolutePath();
    const auto writable = QFile::permissions(dir);
    QFile::setPermissions(dir, QFile::ReadOwner | QFile::ExeOwner);
    KvConnection connection;
    connection.open(path);
    const bool readOnly = connection.isReadOnly();
    KvQuery query(connection);
    OpenSql(query, Sql::CountMemos());
    const qint64 count = query.fieldAsInteger("cnt");
    connection.close();
    QFile::setPermissions(dir, writable);
    QVERIFY(readOnly);
    QCOMPARE(count, 1);
}

void TestStore::valueTooLongIsRefusedNeverStoredEmpty()
{
    TestFolder folder;
    KvConnection connection;
    connection.open(folder.file(QStringLiteral("kvData.kvb")));
    InsertMemoRow(connection, QStringLiteral("{A}"), QStringLiteral("root"), QStringLiteral("short"));
    // The engine's limit, lowered on this connection so that a test can pass it.
    sqlite3_limit(connection.handle(), SQLITE_LIMIT_LENGTH, 4000);
    const QString tooLong(5000, QLatin1Char('x'));
    KvQuery query(connection);

    OpenSql(query, Sql::EmptyMemoForAppend());
    query.append();
    query.setField("mid", QStringLiteral("{B}"));
    query.setField("pid", QStringLiteral("root"));
    query.setField("content", tooLong);
    try {
        query.post();
        QFAIL("a text over the limit was reported stored");
    } catch (const KvDbError &error) {
        QVERIFY2(QString::fromUtf8(error.what()).contains(QStringLiteral("too long")), error.what());
    }

    OpenSql(query, Sql::SelectMemoById(QStringLiteral("{A}")));
    query.edit();
    query.setField("content", tooLong);
    QVERIFY_THROWS_EXCEPTION(KvDbError, query.post());

    // A value spliced into the statement text is bound too, and checked the same way.
    QVERIFY_THROWS_EXCEPTION(KvDbError, OpenSql(query, Sql::SelectMemoById(tooLong)));

    // Within the limit a long text is stored whole, and nothing else changed.
    OpenSql(query, Sql::EmptyMemoForAppend());
    query.append();
    query.setField("mid", QStringLiteral("{C}"));
    query.setField("pid", QStringLiteral("root"));
    query.setField("content", QString(3000, QLatin1Char('y')));
    query.post();
    OpenSql(query, Sql::SelectAllMemos());
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
    KvConnection connection;
    connection.open(path);
    InsertMemoRow(connection, QStringLiteral("{A}"), QStringLiteral("root"), QStringLiteral("a"));
    InsertMemoRow(connection, QStringLiteral("{B}"), QStringLiteral("root"), QStringLiteral("b"));
    KvQuery query(connection);

    // An edit as the memo list commits one: the query stays open, standing on the row.
    OpenSql(query, Sql::SelectMemoById(QStringLiteral("{A}")));
    query.first();
    query.edit();
    query.setField("content", QStringLiteral("a2"));
    query.post();
    QVERIFY(OtherProgramCanWrite(path, "{O1}"));
    QCOMPARE(query.fieldAsString("mid"), QStringLiteral("{A}"));

    // A count stands on its only row; a list read to its last row has nothing left to read.
    OpenSql(query, Sql::CountMemos());
    QVERIFY(OtherProgramCanWrite(path, "{O2}"));
    QCOMPARE(query.fieldAsInteger("cnt"), 3);
    OpenSql(query, Sql::SelectMemosByPid(QStringLiteral("root")));
    QStringList mids;
    for (; !query.eof(); query.next())
        mids << query.fieldAsString("mid");
    QCOMPARE(mids.size(), 4);
    QVERIFY(OtherProgramCanWrite(path, "{O3}"));

    // While rows remain unread the result set does hold the file, as it must to read on.
    OpenSql(query, Sql::SelectMemosByPid(QStringLiteral("root")));
    QVERIFY(!OtherProgramCanWrite(path, "{O4}"));
    query.first();
    for (int i = 0; i < mids.size() + 1; ++i) // the rows listed, and {O3}
        query.next();
    QVERIFY(query.eof());
    QVERIFY(OtherProgramCanWrite(path, "{O4}"));
}

QTEST_GUILESS_MAIN(TestStore)
#include "tst_store.moc"
