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

QTEST_GUILESS_MAIN(TestStore)
#include "tst_store.moc"
