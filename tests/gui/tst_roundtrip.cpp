// SPDX-License-Identifier: GPL-3.0-or-later
// Memo data through Backup and Restore, Export and Import, compared column by column: every
// stamp and flag has a value of its own, so a value written into the wrong column shows.
#include "ExchangeTestSupport.h"
#include "TestSupport.h"
#include "core/IsoTime.h"
#include "gui/ExchangeCommands.h"
#include "gui/MainWindow.h"
#include "gui/MemoPane.h"
#include "gui/memos/MemoOutput.h"
#include "gui/ReplaceDialog.h"
#include "treeview/MemoTree.h"
#include <QtTest>
#include <algorithm>

namespace {

// Ids of the form the program makes, so that Import keeps them.
const QString kA = QStringLiteral("{0A000000-0000-4000-8000-00000000000A}");
const QString kA1 = QStringLiteral("{0A100000-0000-4000-8000-0000000000A1}");
const QString kA2 = QStringLiteral("{0A200000-0000-4000-8000-0000000000A2}");
const QString kB = QStringLiteral("{0B000000-0000-4000-8000-00000000000B}");
const QString kT1 = QStringLiteral("{07100000-0000-4000-8000-0000000000E1}");
const QString kT2 = QStringLiteral("{07200000-0000-4000-8000-0000000000E2}");

// A local clock time as the reader of an exchange file makes it, so that a round trip can be
// compared digit for digit.
QString stamp(const char *localClock)
{
    return QString::number(isoToDateTime(QString::fromLatin1(localClock), 0), 'g', 17);
}

void insertMemo(Database &connection, const QStringList &values)
{
    sqlite3_stmt *stmt = nullptr;
    sqlite3_prepare_v2(connection.handle(),
                       "insert into memos (mid, pid, content, expandFlag, assignTime, createTime, editTime)"
                       " values (?,?,?,?,?,?,?)",
                       -1, &stmt, nullptr);
    for (int i = 0; i < 3; ++i)
        sqlite3_bind_text(stmt, i + 1, values[i].toUtf8().constData(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_int(stmt, 4, values[3].toInt());
    for (int i = 4; i < 7; ++i)
        sqlite3_bind_double(stmt, i + 1, values[i].toDouble());
    sqlite3_step(stmt);
    sqlite3_finalize(stmt);
}

// Two memos, one with two sub-memos, and two tasks; no two stamps or flags alike.
void seed(const QString &path)
{
    Database connection;
    connection.open(path);
    insertMemo(connection, {kA, "root", "alpha\r\nsecond line", "1", stamp("2026-03-01T08:15:01"),
                            stamp("2026-02-27T23:59:59"), stamp("2026-03-02T00:00:00")});
    insertMemo(connection, {kA1, kA, "alpha one", "0", stamp("2026-03-03T12:30:07"),
                            stamp("2026-03-03T12:30:05"), stamp("2026-03-04T01:02:03")});
    insertMemo(connection, {kA2, kA, "alpha <two> & 'three'", "0", stamp("2026-03-05T17:45:59"),
                            stamp("2026-03-05T06:00:01"), stamp("2026-03-06T21:09:58")});
    insertMemo(connection, {kB, "root", "beta", "0", stamp("2026-01-01T00:00:01"), stamp("2025-12-31T23:59:58"),
                            stamp("2026-01-02T10:10:10")});
    insertTaskRow(connection, {kT1, "root", "task one", "1", "0", "2", "255", "clWindow", stamp("2026-04-01T01:01:01"),
                               stamp("2026-04-02T02:02:02"), stamp("2026-04-03T03:03:03"),
                               stamp("2026-04-04T04:04:04"), stamp("2026-04-05T05:05:05")});
    insertTaskRow(connection, {kT2, kT1, "task two", "0", "1", "3", "16711680", "clYellow",
                               stamp("2026-05-06T06:06:06"), stamp("2026-05-07T07:07:07"),
                               stamp("2026-05-08T08:08:08"), stamp("2026-05-09T09:09:09"),
                               stamp("2026-05-10T10:10:10")});
}

QList<QStringList> sortedRows(Database &connection, const char *table)
{
    QList<QStringList> rows = tableRows(connection, table);
    std::sort(rows.begin(), rows.end());
    return rows;
}

} // namespace

class TestRoundTrip : public QObject {
    Q_OBJECT
private slots:
    void init() { setZone("NST3:30NDT,M3.2.0,M11.1.0"); } // half an hour, and daylight saving
    void cleanup() { setZone("UTC0"); }
    void backupRestoreKeepsEveryColumn();
    void exportImportKeepsEveryColumn();
    void databaseWithoutTasksTableBacksUpAndRestores();
};

void TestRoundTrip::backupRestoreKeepsEveryColumn()
{
    TestFolder folder;
    seed(folder.file(QStringLiteral("kvData.kvb")));
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    Database &db = program.mainWindow().connection();
    ExchangeCommands &io = *program.mainWindow().exchangeCommands();
    const QList<QStringList> memos = sortedRows(db, "memos"), tasks = sortedRows(db, "tasks");
    QCOMPARE(memos.size(), 4);
    QCOMPARE(tasks.size(), 2);

    const QString path = folder.file(QStringLiteral("all.kvx"));
    prompts.fileAnswers << path;
    QVERIFY(io.backupDatabase());

    // Over the same rows, replacing every one: nothing changes, the expanded flag included.
    prompts.fileAnswers << path;
    prompts.dialogButtons = {QStringLiteral("all")};
    QVERIFY(io.restoreDatabase());
    QCOMPARE(sortedRows(db, "memos"), memos);
    QCOMPARE(sortedRows(db, "tasks"), tasks);

    // Into empty tables: every column comes back; the file holds no expanded flag, so a memo
    // comes back closed.
    db.execute(QStringLiteral("delete from memos; delete from tasks"));
    prompts.fileAnswers << path;
    QVERIFY(io.restoreDatabase());
    QList<QStringList> closed = memos;
    for (QStringList &row : closed)
        row[3] = QStringLiteral("0");
    QCOMPARE(sortedRows(db, "memos"), closed);
    QCOMPARE(sortedRows(db, "tasks"), tasks);
    QVERIFY(prompts.shown.isEmpty());
    QTRY_COMPARE(program.frame().tree()->totalCount(), 4);
}

void TestRoundTrip::exportImportKeepsEveryColumn()
{
    TestFolder folder;
    seed(folder.file(QStringLiteral("kvData.kvb")));
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    Database &db = program.mainWindow().connection();
    MemoPane &frame = program.frame();
    const QList<QStringList> memos = sortedRows(db, "memos");

    frame.tree()->setSelected(findMemo(frame, kA), true);
    frame.tree()->setSelected(findMemo(frame, kB), true);
    const QString path = folder.file(QStringLiteral("part.kvx"));
    QVERIFY(frame.output().exportSelection(path));
    db.execute(QStringLiteral("delete from memos"));
    prompts.fileAnswers << path;
    QVERIFY(program.mainWindow().exchangeCommands()->importFile());
    // Import makes copies: fresh ids, parents following them, every other column as it was.
    QHash<QString, QString> oldId; // by content, which differs from memo to memo
    for (const QStringList &row : memos)
        oldId.insert(row[2], row[0]);
    QList<QStringList> imported = sortedRows(db, "memos");
    QHash<QString, QString> renamed;
    for (const QStringList &row : imported) {
        QVERIFY(!oldId.values().contains(row[0]));
        renamed.insert(row[0], oldId.value(row[2]));
    }
    for (QStringList &row : imported) {
        row[0] = renamed.value(row[0]);
        row[1] = renamed.value(row[1], row[1]);
    }
    std::sort(imported.begin(), imported.end());
    QList<QStringList> closed = memos;
    for (QStringList &row : closed)
        row[3] = QStringLiteral("0");
    QCOMPARE(imported, closed);
    QVERIFY(prompts.shown.isEmpty());
}

void TestRoundTrip::databaseWithoutTasksTableBacksUpAndRestores()
{
    TestFolder folder;
    const QString file = folder.file(QStringLiteral("kvData.kvb"));
    {
        sqlite3 *raw = nullptr;
        QCOMPARE(sqlite3_open(file.toUtf8().constData(), &raw), SQLITE_OK);
        QCOMPARE(sqlite3_exec(raw,
                              "create table memos (mid text primary key, pid text, content text,"
                              " expandFlag integer not null default 0, assignTime real, createTime real, editTime real);"
                              "insert into memos values ('{A}', 'root', 'only memos here', 0, 46000.25, 46000.5, 46000.75);",
                              nullptr, nullptr, nullptr),
                 SQLITE_OK);
        sqlite3_close(raw);
    }
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    Database &db = program.mainWindow().connection();
    QVERIFY(tableRows(db, "tasks").isEmpty());
    const QList<QStringList> memos = tableRows(db, "memos");
    QCOMPARE(memos.size(), 1);

    const QString path = folder.file(QStringLiteral("all.kvx"));
    prompts.fileAnswers << path << path;
    QVERIFY(program.mainWindow().exchangeCommands()->backupDatabase());
    const ExchangeFileContent content = readExchangeFile(path);
    QVERIFY(content.ok);
    QCOMPARE(content.memos.size(), 1);
    QVERIFY(content.tasks.isEmpty());
    db.execute(QStringLiteral("delete from memos"));
    QVERIFY(program.mainWindow().exchangeCommands()->restoreDatabase());
    QCOMPARE(tableRows(db, "memos"), memos);
    QVERIFY(prompts.shown.isEmpty());
}

JOTWELL_TEST_MAIN(TestRoundTrip)
#include "tst_roundtrip.moc"
