#include "ExchangeTestSupport.h"
#include "TestSupport.h"
#include "app/Fm_Main.h"
#include "app/pU_Funcs.h"
#include "exchange/Dm_Io.h"
#include "exchange/ExchangeFile.h"
#include "memos/Fr_kvMemos.h"
#include "tree/KvVirtualTree.h"
#include <QtTest>

namespace {

// 3 March 2009 at the given local clock time, as a day count.
TDateTime March3(int hour, int minute, int second, int ms = 0)
{
    return double(QDate(1899, 12, 30).daysTo(QDate(2009, 3, 3))) + (((hour * 60 + minute) * 60 + second) * 1000 + ms) / 86400000.0;
}

KvTreeNode *Find(TkvMemosFrame &frame, const QString &mid)
{
    for (KvTreeNode *node = frame.VtMemos->firstNode(); node; node = frame.VtMemos->nextNode(node)) {
        if (node->data.mid == mid)
            return node;
    }
    return nullptr;
}

QStringList MidsAndPids(const QList<XmlElement> &memos)
{
    QStringList list;
    for (const XmlElement &memo : memos)
        list << memo.value(QStringLiteral("mid")) + QLatin1Char('>') + memo.value(QStringLiteral("pid"));
    return list;
}

const QStringList kMemoAttributes = {QStringLiteral("mid"),         QStringLiteral("pid"),
                                     QStringLiteral("content"),     QStringLiteral("assign-time"),
                                     QStringLiteral("create-time"), QStringLiteral("edit-time")};

} // namespace

class TestExchangeWrite : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { SetZone("UTC0"); }
    void isoStampsAndOffsets();
    void isoStampsReadBack();
    void backupOfEmptyDatabase();
    void backupMatchesDatabase();
    void exportSelection();
    void writeFailures();
};

void TestExchangeWrite::isoStampsAndOffsets()
{
    const TDateTime stamp = March3(14, 5, 9, 750);
    SetZone("CST-8");
    QCOMPARE(LocalBiasMinutes(), -480);
    QCOMPARE(DateTimeToIso(stamp, true), QStringLiteral("2009-03-03T14:05:09.000+08:00"));
    QCOMPARE(DateTimeToIso(0, true), QStringLiteral("1899-12-30T00:00:00.000+08:00"));
    QCOMPARE(DateTimeToIso(stamp, false), QStringLiteral("2009-03-03T14:05:09.000Z"));
    SetZone("EST5");
    QCOMPARE(LocalBiasMinutes(), 300);
    QCOMPARE(DateTimeToIso(March3(9, 0, 0), true), QStringLiteral("2009-03-03T09:00:00.000-05:00"));
    SetZone("UTC0");
    QCOMPARE(DateTimeToIso(March3(9, 0, 0), true), QStringLiteral("2009-03-03T09:00:00.000Z"));
    SetZone("IST-5:30");
    QCOMPARE(DateTimeToIso(March3(23, 59, 59, 999), true), QStringLiteral("2009-03-03T23:59:59.000+05:30"));
    SetZone("NST3:30");
    QCOMPARE(DateTimeToIso(March3(0, 0, 0), true), QStringLiteral("2009-03-03T00:00:00.000-03:30"));

    // The offset is the zone's state now, for every stamp, whatever the stamp's date.
    SetZone("EST5EDT,M3.2.0,M11.1.0");
    const TDateTime winter = March3(12, 0, 0);
    const TDateTime summer = winter + 120;
    QCOMPARE(DateTimeToIso(winter, true).right(6), DateTimeToIso(summer, true).right(6));
    const int bias = LocalBiasMinutes();
    QVERIFY(bias == 300 || bias == 240);
}

void TestExchangeWrite::isoStampsReadBack()
{
    const TDateTime stamp = March3(14, 5, 9);
    for (const char *zone : {"CST-8", "EST5", "UTC0", "IST-5:30", "EST5EDT,M3.2.0,M11.1.0"}) {
        SetZone(zone);
        QCOMPARE(IsoToDateTime(DateTimeToIso(stamp, true)), stamp);
        QCOMPARE(IsoToDateTime(DateTimeToIso(0, true)), 0.0);
    }
    // Stamps from elsewhere arrive as this machine's local time of the same instant.
    SetZone("CST-8");
    QCOMPARE(IsoToDateTime(QStringLiteral("2009-03-03T06:05:09Z")), stamp);
    QCOMPARE(IsoToDateTime(QStringLiteral("2009-03-03T01:05:09.000-05:00")), stamp);
    QCOMPARE(IsoToDateTime(QStringLiteral("2009-03-03T06:05:09")), stamp);
    QVERIFY(qAbs(IsoToDateTime(QStringLiteral("2009-03-03T14:05:09.5+08:00")) - March3(14, 5, 9, 500)) < 1e-9);
    SetZone("EST5");
    QCOMPARE(IsoToDateTime(QStringLiteral("2009-03-03T14:05:09.000+08:00")), March3(1, 5, 9));

    for (const char *bad : {"", "2009-03-03", "2009-13-01T00:00:00", "2009-02-30T00:00:00", "2009-03-03 14:05:09",
                            "2009-03-03T24:00:00", "2009-03-03T14:05:09+8", "2009-03-03T14:05:09Zjunk",
                            "2009-03-03T14:05:09.", "٢٠٠٩-03-03T14:05:09"}) {
        QVERIFY_THROWS_EXCEPTION(std::exception, IsoToDateTime(QString::fromUtf8(bad)));
    }
}

void TestExchangeWrite::backupOfEmptyDatabase()
{
    SetZone("CST-8");
    TestFolder folder;
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    const QString path = folder.file(QStringLiteral("empty.kvx"));

    QVERIFY(!program.mainFm().ioDm()->BackupDatabase()); // cancelled: nothing at all
    QVERIFY(!QFile::exists(path));
    QVERIFY(prompts.shown.isEmpty());

    prompts.fileAnswers << path;
    program.mainFm().Action_DbBackup->trigger();
    QCOMPARE(prompts.fileRequests.size(), 2);
    QCOMPARE(prompts.fileRequests.last().filter, QStringLiteral("Korvel Database,  (*.kvx)|*.kvx"));
    QCOMPARE(prompts.fileRequests.last().kind, KvFileRequest::Kind::Save);
    const ExchangeFileContent file = ReadExchangeFile(path);
    QVERIFY(file.ok);
    QCOMPARE(file.root.name, QStringLiteral("korvel"));
    QCOMPARE(file.root.names(), QStringList({"app", "appversion", "dataversion", "time"}));
    QCOMPARE(file.root.value(QStringLiteral("app")), QStringLiteral("Dayloom"));
    QCOMPARE(file.root.value(QStringLiteral("appversion")), QStringLiteral("1.7.5.31"));
    QCOMPARE(file.root.value(QStringLiteral("dataversion")), QStringLiteral("1.1"));
    QVERIFY(file.root.value(QStringLiteral("time")).endsWith(QStringLiteral(".000+08:00")));
    QVERIFY(qAbs(IsoToDateTime(file.root.value(QStringLiteral("time"))) - DateTimeNow()) < 1.0 / 1440);
    QCOMPARE(file.sections, QStringList({"tasks", "memos", "notes", "peers"}));
    QVERIFY(file.memos.isEmpty() && file.tasks.isEmpty());
    QVERIFY(prompts.shown.isEmpty());

    // The one save dialog offers the name chosen last.
    prompts.fileAnswers << QString();
    program.mainFm().Action_DbBackup->trigger();
    QCOMPARE(prompts.fileRequests.last().fileName, path);
    QCOMPARE(Exchange::ExchangeTemplate.size(), 149);
}

void TestExchangeWrite::backupMatchesDatabase()
{
    SetZone("EST5");
    TestFolder folder;
    const QString awkward = QStringLiteral("line 1\r\nit's <&> \"quoted\"\r\n\r\nÄpfel 中文 ✓\tend");
    {
        KvConnection connection;
        connection.open(folder.file(QStringLiteral("kvData.kvb")));
        InsertMemoRow(connection, QStringLiteral("{A}"), QStringLiteral("root"), awkward, true, March3(10, 0, 0));
        InsertMemoRow(connection, QStringLiteral("{B}"), QStringLiteral("{A}"), QStringLiteral("child"), false, March3(11, 0, 1));
        InsertMemoRow(connection, QStringLiteral("{C}"), QStringLiteral("{gone}"), QStringLiteral("deep"), false, 0);
        connection.execute(QStringLiteral("update memos set assignTime=null where mid='{B}'"));
        InsertTaskRow(connection, {"{T1}", "root", "task\r\none", "1", "0", "<null>", "255", "clWindow",
                                   QString::number(March3(8, 0, 0), 'g', 17), "<null>", "0", "<null>",
                                   QString::number(March3(9, 30, 0), 'g', 17)});
    }
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    const QString path = folder.file(QStringLiteral("full.kvx"));
    prompts.fileAnswers << path;
    QVERIFY(program.mainFm().ioDm()->BackupDatabase());

    const ExchangeFileContent file = ReadExchangeFile(path);
    QVERIFY(file.ok);
    QList<QStringList> rows = TableRows(program.mainFm().connection(), "memos");
    QCOMPARE(file.memos.size(), rows.size());
    for (int i = 0; i < rows.size(); ++i) {
        const XmlElement &memo = file.memos[i];
        QCOMPARE(memo.name, QStringLiteral("memo"));
        QCOMPARE(memo.names(), kMemoAttributes);
        QCOMPARE(memo.value(QStringLiteral("mid")), rows[i][0]);
        QCOMPARE(memo.value(QStringLiteral("pid")), rows[i][1]);
        // Each line break comes back from the parser as one LF.
        QCOMPARE(memo.value(QStringLiteral("content")), QString(rows[i][2]).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        for (int t = 0; t < 3; ++t) {
            const QString stamp = memo.value(kMemoAttributes[3 + t]);
            QVERIFY(stamp.endsWith(QStringLiteral("-05:00")));
            const double stored = rows[i][4 + t] == QLatin1String("<null>") ? 0 : rows[i][4 + t].toDouble();
            QCOMPARE(IsoToDateTime(stamp), stored);
        }
    }
    QCOMPARE(file.memos[0].value(QStringLiteral("content")), QStringLiteral("line 1\nit's <&> \"quoted\"\n\nÄpfel 中文 ✓\tend"));
    QCOMPARE(file.memos[1].value(QStringLiteral("assign-time")), QStringLiteral("1899-12-30T00:00:00.000-05:00"));

    QCOMPARE(file.tasks.size(), 1);
    const XmlElement &task = file.tasks[0];
    QCOMPARE(task.names(), QStringList({"tid", "pid", "content", "check-flag", "alarm-flag", "due-flag", "text-color",
                                        "background-color", "create-time", "edit-time", "check-time", "alarm-time",
                                        "due-time"}));
    QStringList values;
    for (const auto &attribute : task.attributes)
        values << attribute.second;
    QCOMPARE(values, QStringList({"{T1}", "root", "task\none", "1", "0", "", "255", "clWindow",
                                  "2009-03-03T08:00:00.000-05:00", "1899-12-30T00:00:00.000-05:00",
                                  "1899-12-30T00:00:00.000-05:00", "1899-12-30T00:00:00.000-05:00",
                                  "2009-03-03T09:30:00.000-05:00"}));
    QVERIFY(prompts.shown.isEmpty());
}

void TestExchangeWrite::exportSelection()
{
    SetZone("UTC0");
    TestFolder folder;
    {
        KvConnection connection;
        connection.open(folder.file(QStringLiteral("kvData.kvb")));
        InsertMemoRow(connection, QStringLiteral("{A}"), QStringLiteral("root"), QStringLiteral("alpha"), true);
        InsertMemoRow(connection, QStringLiteral("{A1}"), QStringLiteral("{A}"), QStringLiteral("alpha one\r\nsecond line"));
        InsertMemoRow(connection, QStringLiteral("{A2}"), QStringLiteral("{A}"), QStringLiteral("alpha two"));
        InsertMemoRow(connection, QStringLiteral("{B}"), QStringLiteral("root"), QStringLiteral("beta"), false);
        InsertMemoRow(connection, QStringLiteral("{B1}"), QStringLiteral("{B}"), QStringLiteral("beta one"));
    }
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    TkvMemosFrame &frame = program.frame();
    const QString path = folder.file(QStringLiteral("export.kvx"));
    QVERIFY(frame.Action_Export->isEnabled());

    // Nothing selected: a warning, no dialog.
    frame.VtMemos->clearSelection();
    frame.Action_Export->trigger();
    QCOMPARE(prompts.shown.size(), 1);
    QCOMPARE(prompts.shown[0].caption, QStringLiteral("Warning"));
    QCOMPARE(prompts.lastText(), QStringLiteral("Please select a memo!"));
    QVERIFY(prompts.fileRequests.isEmpty());

    // A memo with its two sub-memos.
    frame.VtMemos->setSelected(Find(frame, QStringLiteral("{A}")), true);
    prompts.fileAnswers << path;
    frame.Action_Export->trigger();
    QCOMPARE(prompts.fileRequests.last().filter, QStringLiteral("Korvel Database,  (*.kvx)|*.kvx"));
    ExchangeFileContent file = ReadExchangeFile(path);
    QCOMPARE(MidsAndPids(file.memos), QStringList({"{A}>root", "{A1}>{A}", "{A2}>{A}"}));
    QCOMPARE(file.memos[1].names(), kMemoAttributes);
    QCOMPARE(file.memos[1].value(QStringLiteral("content")), QStringLiteral("alpha one\nsecond line"));
    QCOMPARE(file.root.value(QStringLiteral("app")), QStringLiteral("Dayloom"));

    // A sub-memo alone goes out as a top-level memo.
    frame.VtMemos->clearSelection();
    frame.VtMemos->setSelected(Find(frame, QStringLiteral("{A2}")), true);
    QVERIFY(frame.ExportSelection(path));
    QCOMPARE(MidsAndPids(ReadExchangeFile(path).memos), QStringList({"{A2}>root"}));

    // Everything shown: the sub-memos of alpha twice, beta's hidden one once with beta.
    frame.Action_SelectAllExecute();
    QVERIFY(frame.ExportSelection(path));
    QCOMPARE(MidsAndPids(ReadExchangeFile(path).memos),
             QStringList({"{A}>root", "{A1}>{A}", "{A2}>{A}", "{A1}>root", "{A2}>root", "{B}>root", "{B1}>{B}"}));

    // While a memo is edited, export does nothing.
    frame.VtMemos->clearSelection();
    frame.VtMemos->setSelected(Find(frame, QStringLiteral("{B}")), true);
    frame.Action_MemoEdit->trigger();
    QTRY_VERIFY(frame.FEditNode);
    const int asked = prompts.fileRequests.size();
    frame.Action_Export->trigger();
    QCOMPARE(prompts.fileRequests.size(), asked);
    QCOMPARE(prompts.shown.size(), 1);
}

void TestExchangeWrite::writeFailures()
{
    TestFolder folder;
    {
        KvConnection connection;
        connection.open(folder.file(QStringLiteral("kvData.kvb")));
        InsertMemoRow(connection, QStringLiteral("{A}"), QStringLiteral("root"), QStringLiteral("alpha"));
    }
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    const QString nowhere = folder.file(QStringLiteral("no/such/folder/x.kvx"));
    prompts.fileAnswers << nowhere;
    QVERIFY(!program.mainFm().ioDm()->BackupDatabase());
    QCOMPARE(prompts.shown.last().caption, QStringLiteral("Error"));
    QCOMPARE(prompts.lastText(), QStringLiteral("File write failure!"));

    TkvMemosFrame &frame = program.frame();
    frame.VtMemos->setSelected(Find(frame, QStringLiteral("{A}")), true);
    QVERIFY(!frame.ExportSelection(nowhere));
    QCOMPARE(prompts.lastText(), QStringLiteral("File Write Failure !"));
    QVERIFY(!QFile::exists(nowhere));
}

JOTWELL_TEST_MAIN(TestExchangeWrite)
#include "tst_exchange_write.moc"
