#include "ExchangeTestSupport.h"
#include "TestSupport.h"
#include "app/Fm_Main.h"
#include "app/pU_Funcs.h"
#include "exchange/Dm_Io.h"
#include "exchange/ExchangeFile.h"
#include "exchange/KvContainer.h"
#include "store/MemoId.h"
#include "memos/Fr_kvMemos.h"
#include "tree/KvVirtualTree.h"
#include <QtTest>

namespace {

// 3 March 2009 at the given local clock time, as a day count.
TDateTime March3(int hour, int minute, int second, int ms = 0)
{
    return double(QDate(1899, 12, 30).daysTo(QDate(2009, 3, 3))) +
           (((hour * 60 + minute) * 60 + second) * 1000 + ms) / 86400000.0;
}

KvTreeNode *Find(TkvMemosFrame &frame, const QString &mid)
{
    for (KvTreeNode *node = frame.VtMemos->firstNode(); node; node = frame.VtMemos->nextNode(node)) {
        if (node->data.mid == mid)
            return node;
    }
    return nullptr;
}

QStringList MidsAndPids(const QString &path)
{
    QStringList list;
    for (const XmlElement &memo : ReadExchangeFile(path).memos)
        list << memo.value("mid") + QLatin1Char('>') + memo.value("pid");
    return list;
}

} // namespace

class TestExchangeWrite : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { SetZone("UTC0"); }
    void isoStamps();
    void backup();
    void exportSelection();
    void forbiddenCharactersNeverWritten();
    void outOfRangeStampsRestore();
    void fullDiskKeepsOldFiles();
};

void TestExchangeWrite::isoStamps()
{
    const TDateTime stamp = March3(14, 5, 9, 750);
    SetZone("CST-8");
    QCOMPARE(LocalBiasMinutes(), -480);
    QCOMPARE(DateTimeToIso(stamp, true), QStringLiteral("2009-03-03T14:05:09.000+08:00"));
    QCOMPARE(DateTimeToIso(0, true), QStringLiteral("1899-12-30T00:00:00.000+08:00"));
    QCOMPARE(DateTimeToIso(stamp, false), QStringLiteral("2009-03-03T14:05:09.000Z"));
    // Stamps from elsewhere arrive as this machine's local time of the same instant.
    QCOMPARE(IsoToDateTime(QStringLiteral("2009-03-03T06:05:09Z")), March3(14, 5, 9));
    QCOMPARE(IsoToDateTime(QStringLiteral("2009-03-03T01:05:09.000-05:00")), March3(14, 5, 9));
    QVERIFY(qAbs(IsoToDateTime(QStringLiteral("2009-03-03T14:05:09.5+08:00")) - March3(14, 5, 9, 500)) < 1e-9);
    SetZone("EST5");
    QCOMPARE(LocalBiasMinutes(), 300);
    QCOMPARE(DateTimeToIso(March3(9, 0, 0), true), QStringLiteral("2009-03-03T09:00:00.000-05:00"));
    SetZone("UTC0");
    QCOMPARE(DateTimeToIso(March3(9, 0, 0), true), QStringLiteral("2009-03-03T09:00:00.000Z"));
    SetZone("NST3:30");
    QCOMPARE(DateTimeToIso(March3(23, 59, 59, 999), true), QStringLiteral("2009-03-03T23:59:59.000-03:30"));
    // The zone's state now stands for every stamp, whatever its date.
    SetZone("EST5EDT,M3.2.0,M11.1.0");
    QCOMPARE(DateTimeToIso(March3(12, 0, 0), true).right(6), DateTimeToIso(March3(12, 0, 0) + 120, true).right(6));

    for (const char *zone : {"CST-8", "EST5", "UTC0", "NST3:30", "EST5EDT,M3.2.0,M11.1.0"}) {
        SetZone(zone);
        QCOMPARE(IsoToDateTime(DateTimeToIso(March3(14, 5, 9), true)), March3(14, 5, 9));
        QCOMPARE(IsoToDateTime(DateTimeToIso(0, true)), 0.0);
    }
    for (const char *bad : {"", "2009-03-03", "2009-02-30T00:00:00", "2009-03-03 14:05:09", "2009-03-03T24:00:00",
                            "2009-03-03T14:05:09+8", "2009-03-03T14:05:09Zjunk", "2009-03-03T14:05:09."})
        QVERIFY_THROWS_EXCEPTION(std::exception, IsoToDateTime(QString::fromLatin1(bad)));
}

void TestExchangeWrite::backup()
{
    SetZone("EST5");
    TestFolder folder;
    {
        KvConnection connection;
        connection.open(folder.file(QStringLiteral("kvData.kvb")));
        InsertMemoRow(connection, "{A}", "root", "line 1\r\nit's <&> \"q\"\r\n\r\nÄpfel 中文\tend", true, March3(10, 0, 0));
        InsertMemoRow(connection, "{B}", "{A}", "child", false, March3(11, 0, 1));
        connection.execute(QStringLiteral("update memos set assignTime=null where mid='{B}'"));
        InsertTaskRow(connection, {"{T1}", "root", "task\r\none", "1", "0", "<null>", "255", "clWindow",
                                   QString::number(March3(8, 0, 0), 'g', 17), "<null>", "0", "<null>", "40000.5"});
    }
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    TIoDm &io = *program.mainFm().ioDm();
    const QString path = folder.file(QStringLiteral("full.kvx"));
    QVERIFY(!io.BackupDatabase()); // cancelled: no file, no message
    prompts.fileAnswers << path;
    program.mainFm().Action_DbBackup->trigger();
    QCOMPARE(prompts.fileRequests.last().filter, QStringLiteral("Korvel Database,  (*.kvx)|*.kvx"));

    const ExchangeFileContent file = ReadExchangeFile(path);
    QVERIFY(file.ok);
    QCOMPARE(file.root.names, QStringList({"app", "appversion", "dataversion", "time"}));
    QCOMPARE(file.root.values.mid(0, 3), QStringList({"Dayloom", "1.7.5.31", "1.1"}));
    QVERIFY(qAbs(IsoToDateTime(file.root.value("time")) - DateTimeNow()) < 1.0 / 1440);
    QCOMPARE(file.sections, QStringList({"tasks", "memos", "notes", "peers"}));
    // Row for row as stored; each line break parses back as one LF.
    const QList<QStringList> rows = TableRows(program.mainFm().connection(), "memos");
    QCOMPARE(file.memos.size(), rows.size());
    for (int i = 0; i < rows.size(); ++i) {
        const XmlElement &memo = file.memos[i];
        QCOMPARE(memo.names, QStringList({"mid", "pid", "content", "assign-time", "create-time", "edit-time"}));
        QCOMPARE(memo.values.mid(0, 3), QStringList({rows[i][0], rows[i][1], QString(rows[i][2]).replace("\r\n", "\n")}));
        for (int t = 0; t < 3; ++t) {
            QVERIFY(memo.values[3 + t].endsWith(QStringLiteral(".000-05:00")));
            QCOMPARE(IsoToDateTime(memo.values[3 + t]), rows[i][4 + t] == "<null>" ? 0.0 : rows[i][4 + t].toDouble());
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
    program.mainFm().connection().execute(QStringLiteral("delete from memos; delete from tasks"));
    prompts.fileAnswers << path;
    QVERIFY(io.BackupDatabase());
    QCOMPARE(prompts.fileRequests.last().fileName, path);
    QVERIFY(ReadExchangeFile(path).ok && ReadExchangeFile(path).memos.isEmpty() && ReadExchangeFile(path).tasks.isEmpty());
    QVERIFY(prompts.shown.isEmpty());

    prompts.fileAnswers << folder.file(QStringLiteral("no/such/folder.kvx"));
    QVERIFY(!io.BackupDatabase());
    QCOMPARE(prompts.shown.last().caption, QStringLiteral("Error"));
    QCOMPARE(prompts.lastText(), QStringLiteral("File write failure!"));
    QCOMPARE(Exchange::ExchangeTemplate.size(), 149);
}

void TestExchangeWrite::exportSelection()
{
    TestFolder folder;
    {
        KvConnection connection;
        connection.open(folder.file(QStringLiteral("kvData.kvb")));
        InsertMemoRow(connection, "{A}", "root", "alpha", true);
        InsertMemoRow(connection, "{A1}", "{A}", "alpha one\r\nsecond line");
        InsertMemoRow(connection, "{A2}", "{A}", "alpha two");
        InsertMemoRow(connection, "{B}", "root", "beta", false);
        InsertMemoRow(connection, "{B1}", "{B}", "beta one");
    }
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    TkvMemosFrame &frame = program.frame();
    const QString path = folder.file(QStringLiteral("export.kvx"));

    frame.VtMemos->clearSelection();
    frame.Action_Export->trigger();
    QCOMPARE(prompts.shown.size(), 1);
    QCOMPARE(prompts.shown[0].caption, QStringLiteral("Warning"));
    QCOMPARE(prompts.lastText(), QStringLiteral("Please select a memo!"));
    QVERIFY(prompts.fileRequests.isEmpty());

    frame.VtMemos->setSelected(Find(frame, "{A}"), true);
    prompts.fileAnswers << path;
    frame.Action_Export->trigger();
    QCOMPARE(MidsAndPids(path), QStringList({"{A}>root", "{A1}>{A}", "{A2}>{A}"}));
    QCOMPARE(ReadExchangeFile(path).memos[1].value("content"), QStringLiteral("alpha one\nsecond line"));

    frame.VtMemos->clearSelection();
    frame.VtMemos->setSelected(Find(frame, "{A2}"), true);
    QVERIFY(frame.ExportSelection(path));
    QCOMPARE(MidsAndPids(path), QStringList({"{A2}>root"}));

    // Everything shown selected: alpha's sub-memos twice, beta's hidden one once, with beta.
    frame.Action_SelectAllExecute();
    QVERIFY(frame.ExportSelection(path));
    QCOMPARE(MidsAndPids(path),
             QStringList({"{A}>root", "{A1}>{A}", "{A2}>{A}", "{A1}>root", "{A2}>root", "{B}>root", "{B1}>{B}"}));
    QVERIFY(!frame.ExportSelection(folder.file(QStringLiteral("no/such/x.kvx"))));
    QCOMPARE(prompts.lastText(), QStringLiteral("File Write Failure !"));

    // While a memo is edited, export does nothing.
    frame.VtMemos->clearSelection();
    frame.VtMemos->setSelected(Find(frame, "{B}"), true);
    frame.Action_MemoEdit->trigger();
    QTRY_VERIFY(frame.FEditNode);
    const qsizetype asked = prompts.fileRequests.size(), said = prompts.shown.size();
    frame.Action_Export->trigger();
    QCOMPARE(prompts.fileRequests.size(), asked);
    QCOMPARE(prompts.shown.size(), said);
}

// Characters XML 1.0 forbids are written as U+FFFD, so that any conforming reader takes the
// file; the database keeps them, and files written before with such references still restore.
void TestExchangeWrite::forbiddenCharactersNeverWritten()
{
    const QString lone = QStringLiteral("a") + QChar(0xD800) + QStringLiteral("b") + QChar(0xDC00) +
                         QChar(0xFFFE) + QChar(0xFFFF) + QString::fromUcs4(U"\U0001F600", 1) + QStringLiteral("\t\n\r");
    QCOMPARE(Exchange::XmlSafe(lone), QStringLiteral("a\uFFFDb\uFFFD\uFFFD\uFFFD") + QString::fromUcs4(U"\U0001F600", 1) +
                                          QStringLiteral("\t\n\r"));

    TestFolder folder;
    const QString text = QStringLiteral("form\ffeed \x1b[31mred\x01\x7f");
    {
        KvConnection connection;
        connection.open(folder.file(QStringLiteral("kvData.kvb")));
        InsertMemoRow(connection, "{A}", "root", text);
    }
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    const QString path = folder.file(QStringLiteral("controls.kvx"));
    prompts.fileAnswers << path;
    QVERIFY(program.mainFm().ioDm()->BackupDatabase());
    const ExchangeFileContent file = ReadExchangeFile(path);
    QVERIFY(file.ok);
    QCOMPARE(file.memos[0].value("content"), QStringLiteral("form\uFFFDfeed \uFFFD[31mred\uFFFD\x7f"));
    QCOMPARE(TableRows(program.mainFm().connection(), "memos")[0][2], text);

    KvContainer::WriteFile(path, "<korvel app=\"Dayloom\"><tasks/><memos><memo mid=\"{O}\" pid=\"root\" content=\"&#12;&#27;\""
                                 " assign-time=\"2009-03-03T10:00:00Z\" create-time=\"2009-03-03T10:00:00Z\""
                                 " edit-time=\"2009-03-03T10:00:00Z\"/></memos></korvel>");
    prompts.fileAnswers << path;
    QVERIFY(program.mainFm().ioDm()->ImportFile());
    QVERIFY(prompts.shown.isEmpty());
    bool found = false;
    for (const QStringList &row : TableRows(program.mainFm().connection(), "memos"))
        found = found || row[2] == QStringLiteral("\f\x1b");
    QVERIFY(found);
}

// Stamps no file can carry (not a number, beyond the years 1 to 9999) are written as the
// empty date, and the backup restores.
void TestExchangeWrite::outOfRangeStampsRestore()
{
    for (const double wild : {qQNaN(), qInf(), -qInf(), 1e308, -1e308, 2958466.0, -693594.0})
        QCOMPARE(DateTimeToIso(wild, true, 0), QStringLiteral("1899-12-30T00:00:00.000Z"));
    QCOMPARE(DateTimeToIso(2958465.99999999, true, 0), QStringLiteral("9999-12-31T23:59:59.000Z"));
    QCOMPARE(DateTimeToIso(-693593.0, true, 0), QStringLiteral("0001-01-01T00:00:00.000Z"));

    TestFolder folder;
    {
        KvConnection connection;
        connection.open(folder.file(QStringLiteral("kvData.kvb")));
        InsertMemoRow(connection, "{A}", "root", "wild stamps");
        connection.execute(QStringLiteral("update memos set assignTime=1e308, createTime=-1e308, editTime=3000000"));
    }
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    const QString path = folder.file(QStringLiteral("wild.kvx"));
    prompts.fileAnswers << path;
    QVERIFY(program.mainFm().ioDm()->BackupDatabase());
    QCOMPARE(ReadExchangeFile(path).memos[0].value("edit-time"), QStringLiteral("1899-12-30T00:00:00.000Z"));
    program.mainFm().connection().execute(QStringLiteral("delete from memos"));
    prompts.fileAnswers << path;
    QVERIFY(program.mainFm().ioDm()->RestoreDatabase());
    QVERIFY(prompts.shown.isEmpty());
    const QStringList row = TableRows(program.mainFm().connection(), "memos").value(0);
    QCOMPARE(row.mid(0, 3), QStringList({"{A}", "root", "wild stamps"}));
    QCOMPARE(row.mid(4), QStringList({"0.0", "0.0", "0.0"}));
}

// On a full disk, backup, export and both reports say so and leave the old file whole.
void TestExchangeWrite::fullDiskKeepsOldFiles()
{
    TestFolder folder;
    {
        KvConnection connection;
        connection.open(folder.file(QStringLiteral("kvData.kvb")));
        for (int i = 0; i < 200; ++i)
            InsertMemoRow(connection, NewMemoId(), "root", QStringLiteral("memo %1 ").arg(i).repeated(20));
    }
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    TkvMemosFrame &frame = program.frame();
    const QByteArray old = "the old file, byte for byte";
    const QString backup = folder.file(QStringLiteral("backup.kvx"));
    const QString report = folder.file(QStringLiteral("report.txt"));
    const QString html = folder.file(QStringLiteral("report.html"));
    for (const QString &path : {backup, report, html}) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(old) == old.size());
    }
    frame.Action_SelectAllExecute();
    {
        const FileSizeLimit full(1024);
        prompts.fileAnswers << backup;
        program.mainFm().Action_DbBackup->trigger();
        QCOMPARE(prompts.lastText(), QStringLiteral("File write failure!"));
        QVERIFY(!frame.ExportSelection(backup));
        QCOMPARE(prompts.lastText(), QStringLiteral("File Write Failure !"));
        prompts.fileAnswers << report << html;
        prompts.fileFilterAnswers << 1 << 2;
        frame.Action_Save->trigger();
        QCOMPARE(prompts.lastText(), QStringLiteral("File write failure!"));
        frame.Action_Save->trigger();
        QCOMPARE(prompts.shown.size(), 4);
    }
    for (const QString &path : {backup, report, html})
        QCOMPARE(FileBytes(path), old);
    // No temporary file is left beside them.
    QCOMPARE(QDir(folder.path()).entryList({"*.kvx.*", "*.txt.*", "*.html.*"}, QDir::Files), QStringList());
    // With room again, the same backup is written.
    prompts.fileAnswers << backup;
    QVERIFY(program.mainFm().ioDm()->BackupDatabase());
    QCOMPARE(ReadExchangeFile(backup).memos.size(), 200);
}

JOTWELL_TEST_MAIN(TestExchangeWrite)
#include "tst_exchange_write.moc"
