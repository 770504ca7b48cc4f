// SPDX-License-Identifier: GPL-3.0-or-later
#include "ExchangeTestSupport.h"
#include "TestSupport.h"
#include "gui/MainWindow.h"
#include "core/IsoTime.h"
#include "gui/ExchangeCommands.h"
#include "core/ExchangeFile.h"
#include "core/ExchangeContainer.h"
#include "core/MemoId.h"
#include "gui/MemoPane.h"
#include "gui/memos/MemoOutput.h"
#include "gui/memos/MemoNode.h"
#include "treeview/MemoTree.h"
#include <QtTest>

namespace {

// 3 March 2009 at the given local clock time, as a day count.
TimeStamp march3(int hour, int minute, int second, int ms = 0)
{
    return double(QDate(1899, 12, 30).daysTo(QDate(2009, 3, 3))) +
           (((hour * 60 + minute) * 60 + second) * 1000 + ms) / 86400000.0;
}

TreeNode *find(MemoPane &frame, const QString &mid)
{
    for (TreeNode *node = frame.tree()->firstNode(); node; node = frame.tree()->nextNode(node)) {
        if (memoOf(node).mid == mid)
            return node;
    }
    return nullptr;
}

QStringList midsAndPids(const QString &path)
{
    QStringList list;
    for (const XmlElement &memo : readExchangeFile(path).memos)
        list << memo.value("mid") + QLatin1Char('>') + memo.value("pid");
    return list;
}

} // namespace

class TestExchangeWrite : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { setZone("UTC0"); }
    void isoStamps();
    void backup();
    void exportSelection();
    void forbiddenCharactersNeverWritten();
    void outOfRangeStampsRestore();
    void fullDiskKeepsOldFiles();
};

void TestExchangeWrite::isoStamps()
{
    const TimeStamp stamp = march3(14, 5, 9, 750);
    setZone("CST-8");
    QCOMPARE(localBiasMinutes(), -480);
    QCOMPARE(dateTimeToIso(stamp, true), QStringLiteral("2009-03-03T14:05:09.000+08:00"));
    QCOMPARE(dateTimeToIso(0, true), QStringLiteral("1899-12-30T00:00:00.000+08:00"));
    QCOMPARE(dateTimeToIso(stamp, false), QStringLiteral("2009-03-03T14:05:09.000Z"));
    // Stamps from elsewhere arrive as this machine's local time of the same instant.
    QCOMPARE(isoToDateTime(QStringLiteral("2009-03-03T06:05:09Z")), march3(14, 5, 9));
    QCOMPARE(isoToDateTime(QStringLiteral("2009-03-03T01:05:09.000-05:00")), march3(14, 5, 9));
    QVERIFY(qAbs(isoToDateTime(QStringLiteral("2009-03-03T14:05:09.5+08:00")) - march3(14, 5, 9, 500)) < 1e-9);
    setZone("EST5");
    QCOMPARE(localBiasMinutes(), 300);
    QCOMPARE(dateTimeToIso(march3(9, 0, 0), true), QStringLiteral("2009-03-03T09:00:00.000-05:00"));
    setZone("UTC0");
    QCOMPARE(dateTimeToIso(march3(9, 0, 0), true), QStringLiteral("2009-03-03T09:00:00.000Z"));
    setZone("NST3:30");
    QCOMPARE(dateTimeToIso(march3(23, 59, 59, 999), true), QStringLiteral("2009-03-03T23:59:59.000-03:30"));
    // The zone's state now stands for every stamp, whatever its date.
    setZone("EST5EDT,M3.2.0,M11.1.0");
    QCOMPARE(dateTimeToIso(march3(12, 0, 0), true).right(6), dateTimeToIso(march3(12, 0, 0) + 120, true).right(6));

    for (const char *zone : {"CST-8", "EST5", "UTC0", "NST3:30", "EST5EDT,M3.2.0,M11.1.0"}) {
        setZone(zone);
        QCOMPARE(isoToDateTime(dateTimeToIso(march3(14, 5, 9), true)), march3(14, 5, 9));
        QCOMPARE(isoToDateTime(dateTimeToIso(0, true)), 0.0);
    }
    for (const char *bad : {"", "2009-03-03", "2009-02-30T00:00:00", "2009-03-03 14:05:09", "2009-03-03T24:00:00",
                            "2009-03-03T14:05:09+8", "2009-03-03T14:05:09Zjunk", "2009-03-03T14:05:09."})
        QVERIFY_THROWS_EXCEPTION(std::exception, isoToDateTime(QString::fromLatin1(bad)));
}

void TestExchangeWrite::backup()
{
    setZone("EST5");
    TestFolder folder;
    {
        Database connection;
        connection.open(folder.file(QStringLiteral("kvData.kvb")));
        insertMemoRow(connection, "{A}", "root", "line 1\r\nit's <&> \"q\"\r\n\r\nÄpfel 中文\tend", true, march3(10, 0, 0));
        insertMemoRow(connection, "{B}", "{A}", "child", false, march3(11, 0, 1));
        connection.execute(QStringLiteral("update memos set assignTime=null where mid='{B}'"));
        insertTaskRow(connection, {"{T1}", "root", "task\r\none", "1", "0", "<null>", "255", "clWindow",
                                   QString::number(march3(8, 0, 0), 'g', 17), "<null>", "0", "<null>", "40000.5"});
    }
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    ExchangeCommands &io = *program.mainWindow().exchangeCommands();
    const QString path = folder.file(QStringLiteral("full.kvx"));
    QVERIFY(!io.backupDatabase()); // cancelled: no file, no message
    prompts.fileAnswers << path;
    findAction(program.mainWindow(), "backup")->trigger();
    QCOMPARE(prompts.fileRequests.last().nameFilters, QStringList{QStringLiteral("Korvel Database,  (*.kvx)")});

    const ExchangeFileContent file = readExchangeFile(path);
    QVERIFY(file.ok);
    QCOMPARE(file.root.names, QStringList({"app", "appversion", "dataversion", "time"}));
    QCOMPARE(file.root.values.mid(0, 3), QStringList({"Dayloom", "1.7.5.31", "1.1"}));
    QVERIFY(qAbs(isoToDateTime(file.root.value("time")) - dateTimeNow()) < 1.0 / 1440);
    QCOMPARE(file.sections, QStringList({"tasks", "memos", "notes", "peers"}));
    // Row for row as stored; each line break parses back as one LF.
    const QList<QStringList> rows = tableRows(program.mainWindow().connection(), "memos");
    QCOMPARE(file.memos.size(), rows.size());
    for (int i = 0; i < rows.size(); ++i) {
        const XmlElement &memo = file.memos[i];
        QCOMPARE(memo.names, QStringList({"mid", "pid", "content", "assign-time", "create-time", "edit-time"}));
        QCOMPARE(memo.values.mid(0, 3), QStringList({rows[i][0], rows[i][1], QString(rows[i][2]).replace("\r\n", "\n")}));
        for (int t = 0; t < 3; ++t) {
            QVERIFY(memo.values[3 + t].endsWith(QStringLiteral(".000-05:00")));
            QCOMPARE(isoToDateTime(memo.values[3 + t]), rows[i][4 + t] == "<null>" ? 0.0 : rows[i][4 + t].toDouble());
        }
    }
    QCOMPARE(file.tasks.size(), 1);
    QCOMPARE(file.tasks[0].names, QStringList({"tid", "pid", "content", "check-flag", "alarm-flag", "due-flag",
                                               "text-color", "background-color", "create-time", "edit-time",
                                               "check-time", "alarm-time", "due-time"}));
    QCOMPARE(file.tasks[0].values,
             QStringList({"{T1}", "root", "task\none", "1", "0", "", "255", "clWindow", "2009-03-03T08:00:00.000-05:00",
                          "1899-12-30T00:00:00.000-05:00", "1899-12-30T00:00:00.000-05:00",
                          "1899-12-30T00:00:00.000-05:00", "2009-07-06T12:00:00.000-05:00"}));

    // An empty database gives empty lists; the dialog offers the name chosen last.
    program.mainWindow().connection().execute(QStringLiteral("delete from memos; delete from tasks"));
    prompts.fileAnswers << path;
    QVERIFY(io.backupDatabase());
    QCOMPARE(prompts.fileRequests.last().fileName, path);
    QVERIFY(readExchangeFile(path).ok && readExchangeFile(path).memos.isEmpty() && readExchangeFile(path).tasks.isEmpty());
    QVERIFY(prompts.shown.isEmpty());

    prompts.fileAnswers << folder.file(QStringLiteral("no/such/folder.kvx"));
    QVERIFY(!io.backupDatabase());
    QCOMPARE(prompts.shown.last().caption, QStringLiteral("Error"));
    QCOMPARE(prompts.lastText(), QStringLiteral("File write failure!"));
    QCOMPARE(Exchange::ExchangeTemplate.size(), 149);
}

void TestExchangeWrite::exportSelection()
{
    TestFolder folder;
    {
        Database connection;
        connection.open(folder.file(QStringLiteral("kvData.kvb")));
        insertMemoRow(connection, "{A}", "root", "alpha", true);
        insertMemoRow(connection, "{A1}", "{A}", "alpha one\r\nsecond line");
        insertMemoRow(connection, "{A2}", "{A}", "alpha two");
        insertMemoRow(connection, "{B}", "root", "beta", false);
        insertMemoRow(connection, "{B1}", "{B}", "beta one");
    }
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    MemoPane &frame = program.frame();
    const QString path = folder.file(QStringLiteral("export.kvx"));

    frame.tree()->clearSelection();
    findAction(frame, "export")->trigger();
    QCOMPARE(prompts.shown.size(), 1);
    QCOMPARE(prompts.shown[0].caption, QStringLiteral("Warning"));
    QCOMPARE(prompts.lastText(), QStringLiteral("Please select a memo!"));
    QVERIFY(prompts.fileRequests.isEmpty());

    frame.tree()->setSelected(find(frame, "{A}"), true);
    prompts.fileAnswers << path;
    findAction(frame, "export")->trigger();
    QCOMPARE(midsAndPids(path), QStringList({"{A}>root", "{A1}>{A}", "{A2}>{A}"}));
    QCOMPARE(readExchangeFile(path).memos[1].value("content"), QStringLiteral("alpha one\nsecond line"));

    frame.tree()->clearSelection();
    frame.tree()->setSelected(find(frame, "{A2}"), true);
    QVERIFY(frame.output().exportSelection(path));
    QCOMPARE(midsAndPids(path), QStringList({"{A2}>root"}));

    // Everything shown selected: alpha's sub-memos twice, beta's hidden one once, with beta.
    frame.selectAll();
    QVERIFY(frame.output().exportSelection(path));
    QCOMPARE(midsAndPids(path),
             QStringList({"{A}>root", "{A1}>{A}", "{A2}>{A}", "{A1}>root", "{A2}>root", "{B}>root", "{B1}>{B}"}));
    QVERIFY(!frame.output().exportSelection(folder.file(QStringLiteral("no/such/x.kvx"))));
    QCOMPARE(prompts.lastText(), QStringLiteral("File Write Failure !"));

    // While a memo is edited, export does nothing.
    frame.tree()->clearSelection();
    frame.tree()->setSelected(find(frame, "{B}"), true);
    findAction(frame, "editMemo")->trigger();
    QTRY_VERIFY(frame.controller().editNode());
    const qsizetype asked = prompts.fileRequests.size(), said = prompts.shown.size();
    findAction(frame, "export")->trigger();
    QCOMPARE(prompts.fileRequests.size(), asked);
    QCOMPARE(prompts.shown.size(), said);
}

// Characters XML 1.0 forbids are written as U+FFFD, so that any conforming reader takes the
// file; the database keeps them, and files written before with such references still restore.
void TestExchangeWrite::forbiddenCharactersNeverWritten()
{
    const QString lone = QStringLiteral("a") + QChar(0xD800) + QStringLiteral("b") + QChar(0xDC00) +
                         QChar(0xFFFE) + QChar(0xFFFF) + QString::fromUcs4(U"\U0001F600", 1) + QStringLiteral("\t\n\r");
    QCOMPARE(Exchange::xmlSafe(lone), QStringLiteral("a\uFFFDb\uFFFD\uFFFD\uFFFD") + QString::fromUcs4(U"\U0001F600", 1) +
                                          QStringLiteral("\t\n\r"));

    TestFolder folder;
    const QString text = QStringLiteral("form\ffeed \x1b[31mred\x01\x7f");
    {
        Database connection;
        connection.open(folder.file(QStringLiteral("kvData.kvb")));
        insertMemoRow(connection, "{A}", "root", text);
    }
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    const QString path = folder.file(QStringLiteral("controls.kvx"));
    prompts.fileAnswers << path;
    QVERIFY(program.mainWindow().exchangeCommands()->backupDatabase());
    const ExchangeFileContent file = readExchangeFile(path);
    QVERIFY(file.ok);
    QCOMPARE(file.memos[0].value("content"), QStringLiteral("form\uFFFDfeed \uFFFD[31mred\uFFFD\x7f"));
    QCOMPARE(tableRows(program.mainWindow().connection(), "memos")[0][2], text);

    ExchangeContainer::writeFile(path, "<korvel app=\"Dayloom\"><tasks/><memos><memo mid=\"{O}\" pid=\"root\" content=\"&#12;&#27;\""
                                 " assign-time=\"2009-03-03T10:00:00Z\" create-time=\"2009-03-03T10:00:00Z\""
                                 " edit-time=\"2009-03-03T10:00:00Z\"/></memos></korvel>");
    prompts.fileAnswers << path;
    QVERIFY(program.mainWindow().exchangeCommands()->importFile());
    QVERIFY(prompts.shown.isEmpty());
    bool found = false;
    for (const QStringList &row : tableRows(program.mainWindow().connection(), "memos"))
        found = found || row[2] == QStringLiteral("\f\x1b");
    QVERIFY(found);
}

// Stamps no file can carry (not a number, beyond the years 1 to 9999) are written as the
// empty date, and the backup restores.
void TestExchangeWrite::outOfRangeStampsRestore()
{
    for (const double wild : {qQNaN(), qInf(), -qInf(), 1e308, -1e308, 2958466.0, -693594.0})
        QCOMPARE(dateTimeToIso(wild, true, 0), QStringLiteral("1899-12-30T00:00:00.000Z"));
    QCOMPARE(dateTimeToIso(2958465.99999999, true, 0), QStringLiteral("9999-12-31T23:59:59.000Z"));
    QCOMPARE(dateTimeToIso(-693593.0, true, 0), QStringLiteral("0001-01-01T00:00:00.000Z"));

    TestFolder folder;
    {
        Database connection;
        connection.open(folder.file(QStringLiteral("kvData.kvb")));
        insertMemoRow(connection, "{A}", "root", "wild stamps");
        connection.execute(QStringLiteral("update memos set assignTime=1e308, createTime=-1e308, editTime=3000000"));
    }
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    const QString path = folder.file(QStringLiteral("wild.kvx"));
    prompts.fileAnswers << path;
    QVERIFY(program.mainWindow().exchangeCommands()->backupDatabase());
    QCOMPARE(readExchangeFile(path).memos[0].value("edit-time"), QStringLiteral("1899-12-30T00:00:00.000Z"));
    program.mainWindow().connection().execute(QStringLiteral("delete from memos"));
    prompts.fileAnswers << path;
    QVERIFY(program.mainWindow().exchangeCommands()->restoreDatabase());
    QVERIFY(prompts.shown.isEmpty());
    const QStringList row = tableRows(program.mainWindow().connection(), "memos").value(0);
    QCOMPARE(row.mid(0, 3), QStringList({"{A}", "root", "wild stamps"}));
    QCOMPARE(row.mid(4), QStringList({"0.0", "0.0", "0.0"}));
}

// On a full disk, backup, export and both reports say so and leave the old file whole.
void TestExchangeWrite::fullDiskKeepsOldFiles()
{
    TestFolder folder;
    {
        Database connection;
        connection.open(folder.file(QStringLiteral("kvData.kvb")));
        for (int i = 0; i < 200; ++i)
            insertMemoRow(connection, newMemoId(), "root", QStringLiteral("memo %1 ").arg(i).repeated(20));
    }
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    MemoPane &frame = program.frame();
    const QByteArray old = "the old file, byte for byte";
    const QString backup = folder.file(QStringLiteral("backup.kvx"));
    const QString report = folder.file(QStringLiteral("report.txt"));
    const QString html = folder.file(QStringLiteral("report.html"));
    for (const QString &path : {backup, report, html}) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(old) == old.size());
    }
    frame.selectAll();
    {
        const FileSizeLimit full(1024);
        prompts.fileAnswers << backup;
        findAction(program.mainWindow(), "backup")->trigger();
        QCOMPARE(prompts.lastText(), QStringLiteral("File write failure!"));
        QVERIFY(!frame.output().exportSelection(backup));
        QCOMPARE(prompts.lastText(), QStringLiteral("File Write Failure !"));
        prompts.fileAnswers << report << html;
        prompts.fileFilterAnswers << 0 << 1;
        findAction(frame, "save")->trigger();
        QCOMPARE(prompts.lastText(), QStringLiteral("File write failure!"));
        findAction(frame, "save")->trigger();
        QCOMPARE(prompts.shown.size(), 4);
    }
    for (const QString &path : {backup, report, html})
        QCOMPARE(fileBytes(path), old);
    // No temporary file is left beside them.
    QCOMPARE(QDir(folder.path()).entryList({"*.kvx.*", "*.txt.*", "*.html.*"}, QDir::Files), QStringList());
    // With room again, the same backup is written.
    prompts.fileAnswers << backup;
    QVERIFY(program.mainWindow().exchangeCommands()->backupDatabase());
    QCOMPARE(readExchangeFile(backup).memos.size(), 200);
}

JOTWELL_TEST_MAIN(TestExchangeWrite)
#include "tst_exchange_write.moc"
