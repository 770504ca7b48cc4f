// SPDX-License-Identifier: GPL-3.0-or-later
// jotwell-cli run as a process on test folders, beside the program and against its results.
#include "ExchangeTestSupport.h"
#include "TestSupport.h"
#include "gui/ExchangeCommands.h"
#include "gui/MainWindow.h"
#include "gui/MemoPane.h"
#include "gui/memos/SearchBar.h"
#include "gui/memos/MemoOutput.h"
#include "gui/MemoPaneWatch.h"
#include "gui/memos/MemoNode.h"
#include "treeview/MemoTree.h"
#include "core/IsoTime.h"
#include "core/SaveFile.h"
#include "core/XmlNavigator.h"
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSignalSpy>
#include <QtTest>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QThread>
#include <chrono>
#include <thread>

namespace {

struct Run {
    int exitCode = -1;
    QString out;
    QString err;
};

Run cli(const QString &folder, const QStringList &arguments, const QByteArray &input = QByteArray())
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("JOTWELL_DATA_DIR"));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(JOTWELL_CLI_BINARY), QStringList{QStringLiteral("--data-dir"), folder} + arguments);
    process.write(input);
    process.closeWriteChannel();
    Run result;
    if (!process.waitForFinished(60000))
        return result;
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

QString added(const QString &folder, const QString &text, const QStringList &more = {})
{
    const Run run = cli(folder, QStringList{QStringLiteral("add"), text} + more);
    return run.exitCode == 0 ? run.out.trimmed() : QString();
}

// Memos "b" (sub-memos "b2", "B1 milk"), "A milk" and "c"; B expanded.
void seed(const QString &folder)
{
    Database connection;
    connection.open(folder + QStringLiteral("kvData.kvb"));
    insertMemoRow(connection, QStringLiteral("{B}"), QStringLiteral("root"), QStringLiteral("b"), true);
    insertMemoRow(connection, QStringLiteral("{B2}"), QStringLiteral("{B}"), QStringLiteral("b2"));
    insertMemoRow(connection, QStringLiteral("{B1}"), QStringLiteral("{B}"), QStringLiteral("B1 milk"));
    insertMemoRow(connection, QStringLiteral("{A}"), QStringLiteral("root"), QStringLiteral("A milk\r\nand bread"));
    insertMemoRow(connection, QStringLiteral("{C}"), QStringLiteral("root"), QStringLiteral("c"));
    insertTaskRow(connection, {QStringLiteral("{T}"), QStringLiteral("root"), QStringLiteral("a task"), QStringLiteral("1"),
                               QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("255"), QStringLiteral("0"),
                               QStringLiteral("45000.25"), QStringLiteral("45001.5"), QStringLiteral("0"),
                               QStringLiteral("0"), QStringLiteral("0")});
}

QList<QStringList> rows(const QString &folder, const char *table)
{
    Database connection;
    connection.open(folder + QStringLiteral("kvData.kvb"));
    return tableRows(connection, table);
}

// A report's lines without the footer's date, which moves with the clock.
QStringList withoutDate(const QString &path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    QStringList lines = QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"));
    for (QString &line : lines)
        line.remove(QRegularExpression(QStringLiteral(" - .*$")));
    return lines;
}

} // namespace

class TestCli : public QObject {
    Q_OBJECT
private slots:
    void addsAndListsAsTheProgramShows();
    void backupRestoreAndImportCarryEveryRow();
    void reportsAndExportMatchTheProgram();
    void changesFollowTheProgramsRules();
    void restoreAsksOnATerminal();
    void failuresHaveTheirExitStatus();
    void waitsForALockAndThenFails();
    void runningProgramShowsOutsideChanges();
    void programWaitsForTheToolsLock();
};

void TestCli::addsAndListsAsTheProgramShows()
{
    TestFolder folder;
    seed(folder.path());
    // Standard input with LF, CR LF and trailing blank lines: stored with CR LF, right-trimmed.
    const Run piped = cli(folder.path(), {QStringLiteral("add"), QStringLiteral("-")}, "first\nsecond\r\nthird \n\n");
    QCOMPARE(piped.exitCode, 0);
    const QString pipedId = piped.out.trimmed();
    QCOMPARE(pipedId.size(), 38);
    // Under a sub-memo: beside it, under its memo, as the program adds a sub-memo there.
    const QString subId = added(folder.path(), QStringLiteral("x"), {QStringLiteral("--under"), QStringLiteral("{B1}")});
    QVERIFY(!subId.isEmpty());
    QMap<QString, QStringList> stored;
    for (const QStringList &row : rows(folder.path(), "memos"))
        stored.insert(row[0], row);
    QCOMPARE(stored[pipedId].mid(1, 2), (QStringList{QStringLiteral("root"), QStringLiteral("first\r\nsecond\r\nthird")}));
    QCOMPARE(stored[subId][1], QStringLiteral("{B}"));

    // Sorted as the program sorts at start (a to z folded, sub-memos too); breaks as blanks.
    Run list = cli(folder.path(), {QStringLiteral("list")});
    QCOMPARE(list.exitCode, 0);
    QCOMPARE(list.err, QString());
    QCOMPARE(list.out, QStringLiteral("A milk  and bread\nb\n    B1 milk\n    b2\n    x\nc\nfirst  second  third\n"));
    // The filter: a matching sub-memo brings its memo; a wide search a matching memo's sub-memos.
    list = cli(folder.path(), {QStringLiteral("list"), QStringLiteral("--search"), QStringLiteral(" milk\t")});
    QCOMPARE(list.out, QStringLiteral("A milk  and bread\nb\n    B1 milk\n"));
    list = cli(folder.path(), {QStringLiteral("list"), QStringLiteral("--search=b"), QStringLiteral("--wide"),
                               QStringLiteral("--ids")});
    QCOMPARE(list.out, QStringLiteral("{A} A milk  and bread\n{B} b\n    {B1} B1 milk\n    {B2} b2\n    %1 x\n").arg(subId));
    list = cli(folder.path(), {QStringLiteral("list"), QStringLiteral("--search=B")});
    QCOMPARE(list.out, QStringLiteral("b\n    B1 milk\n")); // case counts

    // The sort direction the user chose in the program; --json gives the exact texts.
    QVERIFY(writeWholeFile(folder.file(QStringLiteral("kvConf.ini")), "[memo]\r\nviewAscEn=0\r\n"));
    {
        Database connection;
        connection.open(folder.file(QStringLiteral("kvData.kvb")));
        connection.execute(QStringLiteral("update memos set createTime=45000.25, editTime=45001.5 where mid='{A}'"));
    }
    list = cli(folder.path(), {QStringLiteral("list"), QStringLiteral("--search=milk"), QStringLiteral("--json")});
    const QJsonArray memos = QJsonDocument::fromJson(list.out.toUtf8()).array();
    QCOMPARE(memos.size(), 2);
    QCOMPARE(memos[0][QStringLiteral("text")].toString(), QStringLiteral("b"));
    QCOMPARE(memos[0][QStringLiteral("subMemos")][0][QStringLiteral("id")].toString(), QStringLiteral("{B1}"));
    QCOMPARE(memos[1][QStringLiteral("text")].toString(), QStringLiteral("A milk\r\nand bread"));
    QCOMPARE(memos[1][QStringLiteral("created")].toString(), dateTimeToIso(45000.25, true));
    QCOMPARE(memos[1][QStringLiteral("edited")].toString(), dateTimeToIso(45001.5, true));

    // Control characters pasted from a terminal never reach the reader's terminal as they are.
    // Ordinary characters beyond ASCII, a no-break space among them, stay as they are.
    added(folder.path(), QStringLiteral("red\x1b[31m\tbell\x07\x9b 10\u00a0\u20ac"));
    list = cli(folder.path(), {QStringLiteral("list"), QStringLiteral("--search=red")});
    QCOMPARE(list.out, QStringLiteral("red\uFFFD[31m\tbell\uFFFD\uFFFD 10\u00a0\u20ac\n"));
}

void TestCli::backupRestoreAndImportCarryEveryRow()
{
    TestFolder folder;
    seed(folder.path());
    const QString backup = folder.file(QStringLiteral("all.kvx"));
    Run run = cli(folder.path(), {QStringLiteral("backup"), backup});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out + run.err, QString());

    // The program's Database Backup of the same rows writes the same document, its stamp aside.
    {
        ScriptedPrompts prompts;
        StartedProgram program(folder.path());
        prompts.fileAnswers << folder.file(QStringLiteral("program.kvx"));
        QVERIFY(program.mainWindow().exchangeCommands()->backupDatabase());
    }
    const ExchangeFileContent ours = readExchangeFile(backup);
    const ExchangeFileContent program = readExchangeFile(folder.file(QStringLiteral("program.kvx")));
    QVERIFY(ours.ok && program.ok);
    QCOMPARE(ours.root.names, program.root.names);
    QCOMPARE(ours.memos.size(), 5);
    for (int i = 0; i < ours.memos.size(); ++i)
        QCOMPARE(ours.memos[i].values, program.memos[i].values);
    QCOMPARE(ours.tasks.size(), 1);
    QCOMPARE(ours.tasks[0].values, program.tasks[0].values);

    // Restored into a new folder: the same rows (the expanded flag is not in the file).
    TestFolder other;
    run = cli(other.path(), {QStringLiteral("restore"), backup, QStringLiteral("--replace"), QStringLiteral("none")});
    QCOMPARE(run.exitCode, 0);
    const auto withoutExpandFlag = [](QList<QStringList> table) {
        for (QStringList &row : table)
            row.removeAt(3);
        return table;
    };
    QCOMPARE(withoutExpandFlag(rows(other.path(), "memos")), withoutExpandFlag(rows(folder.path(), "memos")));
    QCOMPARE(rows(other.path(), "tasks"), rows(folder.path(), "tasks"));

    // Over stored rows: none keeps the stored text, all puts the file's back.
    {
        Database connection;
        connection.open(other.file(QStringLiteral("kvData.kvb")));
        connection.execute(QStringLiteral("update memos set content='changed' where mid='{C}'"));
    }
    const auto storedText = [&other](const QString &mid) {
        for (const QStringList &row : rows(other.path(), "memos"))
            if (row[0] == mid)
                return row[2];
        return QString();
    };
    QCOMPARE(cli(other.path(), {QStringLiteral("restore"), backup, QStringLiteral("--replace=none")}).exitCode, 0);
    QCOMPARE(storedText(QStringLiteral("{C}")), QStringLiteral("changed"));
    QCOMPARE(cli(other.path(), {QStringLiteral("restore"), backup, QStringLiteral("--replace=all")}).exitCode, 0);
    QCOMPARE(storedText(QStringLiteral("{C}")), QStringLiteral("c"));

    // Imported twice: two more copies under fresh ids, each sub-memo under its own memo's copy.
    QCOMPARE(cli(other.path(), {QStringLiteral("import"), backup}).exitCode, 0);
    QCOMPARE(cli(other.path(), {QStringLiteral("import"), backup}).exitCode, 0);
    const QList<QStringList> memos = rows(other.path(), "memos");
    QCOMPARE(memos.size(), 15);
    QMap<QString, QString> textOf;
    for (const QStringList &row : memos)
        textOf.insert(row[0], row[2]);
    QCOMPARE(textOf.size(), 15);
    for (const QStringList &row : memos) {
        if (row[2] == QLatin1String("b2"))
            QCOMPARE(textOf.value(row[1]), QStringLiteral("b"));
    }
    QCOMPARE(rows(other.path(), "tasks").size(), 3);
}

void TestCli::reportsAndExportMatchTheProgram()
{
    TestFolder folder;
    seed(folder.path());
    // The stored state Save All follows: B expanded, list view, sorted z to a.
    QVERIFY(writeWholeFile(folder.file(QStringLiteral("kvConf.ini")), "[memo]\r\nviewAscEn=0\r\nviewListEn=1\r\n"));
    const auto report = [&folder](const QString &name, const QStringList &more = {}) {
        const Run run = cli(folder.path(), QStringList{QStringLiteral("report"), folder.file(name)} + more);
        return run.exitCode == 0 && run.out.isEmpty() && run.err.isEmpty();
    };
    const auto sameAsProgram = [&folder](const QString &name) {
        return withoutDate(folder.file(QStringLiteral("cli") + name)) == withoutDate(folder.file(QStringLiteral("program") + name));
    };
    QVERIFY(report(QStringLiteral("cli-open.txt")));
    QVERIFY(report(QStringLiteral("cli-open.htm")));
    QVERIFY(report(QStringLiteral("cli-milk.txt"), {QStringLiteral("--search"), QStringLiteral("milk")}));
    QCOMPARE(cli(folder.path(), {QStringLiteral("export"), folder.file(QStringLiteral("milk.kvx")),
                                 QStringLiteral("--search=milk")})
                 .exitCode,
             0);
    {
        // The program's Save All: an expanded memo's sub-memos go out twice, nested and on
        // their own; a closed memo's once.
        ScriptedPrompts prompts;
        StartedProgram program(folder.path());
        MemoPane &pane = program.frame();
        QVERIFY(pane.output().writeTextReport(true, folder.file(QStringLiteral("program-open.txt"))));
        QVERIFY(pane.output().writeHtmlReport(true, folder.file(QStringLiteral("program-open.htm"))));
        pane.controller().collapseAll();
        QVERIFY(report(QStringLiteral("cli-closed.txt")));
        QVERIFY(pane.output().writeTextReport(true, folder.file(QStringLiteral("program-closed.txt"))));
        auto *searchBox = findNamed<QLineEdit>(pane, "searchBox");
        searchBox->setFocus();
        QTRY_VERIFY(pane.searchBar().isSearching());
        QTest::keyClicks(searchBox, QStringLiteral("milk"));
        QVERIFY(pane.output().writeTextReport(true, folder.file(QStringLiteral("program-milk.txt"))));
    }
    QVERIFY(sameAsProgram(QStringLiteral("-open.txt")));
    QVERIFY(sameAsProgram(QStringLiteral("-open.htm")));
    QVERIFY(sameAsProgram(QStringLiteral("-closed.txt")));
    QVERIFY(sameAsProgram(QStringLiteral("-milk.txt")));
    QVERIFY(withoutDate(folder.file(QStringLiteral("cli-open.txt"))).contains(QStringLiteral(" Memos 5, Sub-Memos 2")));
    QVERIFY(withoutDate(folder.file(QStringLiteral("cli-closed.txt"))).contains(QStringLiteral(" Memos 3, Sub-Memos 2")));
    QCOMPARE(withoutDate(folder.file(QStringLiteral("cli-open.htm"))).first(), QStringLiteral("<html><body>"));

    // An export of a search: a matching memo with its sub-memos, a matching sub-memo of a
    // memo that does not match on its own alone.
    const ExchangeFileContent exported = readExchangeFile(folder.file(QStringLiteral("milk.kvx")));
    QCOMPARE(exported.memos.size(), 2);
    QCOMPARE(exported.memos[0].value("mid"), QStringLiteral("{B1}"));
    QCOMPARE(exported.memos[0].value("pid"), QStringLiteral("root"));
}

void TestCli::changesFollowTheProgramsRules()
{
    TestFolder folder;
    seed(folder.path());
    const auto run = [&folder](const QStringList &arguments, const QByteArray &input = QByteArray()) {
        const Run done = cli(folder.path(), arguments, input);
        return QString::number(done.exitCode) + QLatin1Char(' ') + done.out + done.err;
    };
    const auto stored = [&folder] {
        QMap<QString, QStringList> byId;
        for (const QStringList &row : rows(folder.path(), "memos"))
            byId.insert(row[0], row);
        return byId;
    };
    // Edit: stored as the editor stores it, with a new edit time; the same text stores nothing.
    const QString before = stored()[QStringLiteral("{C}")][6];
    QCOMPARE(run({QStringLiteral("edit"), QStringLiteral("{C}"), QStringLiteral("-")}, "one\ntwo \n\n"), QStringLiteral("0 "));
    QStringList edited = stored()[QStringLiteral("{C}")];
    QCOMPARE(edited[2], QStringLiteral("one\r\ntwo"));
    QVERIFY(edited[6] != before);
    QCOMPARE(run({QStringLiteral("edit"), QStringLiteral("{C}"), QStringLiteral("one\ntwo")}), QStringLiteral("0 "));
    QCOMPARE(stored()[QStringLiteral("{C}")], edited);

    // Move: into a sub-memo means into its memo, which opens; a memo takes its sub-memos
    // along as the target's; into itself or its own sub-memo changes nothing; --top lifts.
    QCOMPARE(run({QStringLiteral("move"), QStringLiteral("{C}"), QStringLiteral("--under={B1}")}), QStringLiteral("0 "));
    QCOMPARE(stored()[QStringLiteral("{C}")][1], QStringLiteral("{B}"));
    QCOMPARE(run({QStringLiteral("move"), QStringLiteral("{A}"), QStringLiteral("--under"), QStringLiteral("{A}")}),
             QStringLiteral("0 "));
    QCOMPARE(run({QStringLiteral("move"), QStringLiteral("{B}"), QStringLiteral("--under"), QStringLiteral("{A}")}),
             QStringLiteral("0 "));
    QMap<QString, QStringList> now = stored();
    for (const char *id : {"{B}", "{B1}", "{B2}", "{C}"})
        QCOMPARE(now[QLatin1String(id)][1], QStringLiteral("{A}"));
    QCOMPARE(now[QStringLiteral("{A}")][3], QStringLiteral("1"));
    QCOMPARE(run({QStringLiteral("move"), QStringLiteral("{A}"), QStringLiteral("--under={B1}")}), QStringLiteral("0 "));
    QCOMPARE(run({QStringLiteral("move"), QStringLiteral("{B1}"), QStringLiteral("--top")}), QStringLiteral("0 "));
    QCOMPARE(stored()[QStringLiteral("{B1}")][1], QStringLiteral("root"));
    QCOMPARE(cli(folder.path(), {QStringLiteral("list")}).out, QStringLiteral("A milk  and bread\n    b\n    b2\n    one  two\nB1 milk\n"));

    // Delete: a memo with its sub-memos, a sub-memo alone.
    QCOMPARE(run({QStringLiteral("delete"), QStringLiteral("{C}")}), QStringLiteral("0 "));
    QCOMPARE(stored().size(), 4);
    QCOMPARE(run({QStringLiteral("delete"), QStringLiteral("{A}")}), QStringLiteral("0 "));
    QCOMPARE(stored().keys(), QStringList{QStringLiteral("{B1}")});

    // An unknown id or a memo out of sight fails with nothing changed; a wrong line is a usage error.
    {
        Database connection;
        connection.open(folder.file(QStringLiteral("kvData.kvb")));
        insertMemoRow(connection, QStringLiteral("{DEEP}"), QStringLiteral("{GONE}"), QStringLiteral("lost"));
    }
    for (const QStringList &arguments : {QStringList{QStringLiteral("delete"), QStringLiteral("{A}")},
                                         QStringList{QStringLiteral("edit"), QStringLiteral("{A}"), QStringLiteral("x")},
                                         QStringList{QStringLiteral("move"), QStringLiteral("{B1}"), QStringLiteral("--under={A}")}})
        QCOMPARE(run(arguments), QStringLiteral("1 jotwell-cli: No memo has the id {A}.\n"));
    QVERIFY(run({QStringLiteral("delete"), QStringLiteral("{DEEP}")}).startsWith(QStringLiteral("1 jotwell-cli: The memo {DEEP} is out of")));
    QCOMPARE(run({QStringLiteral("edit"), QStringLiteral("{B1}"), QStringLiteral(" ")}),
             QStringLiteral("1 jotwell-cli: The memo is empty; nothing was stored.\n"));
    for (const QStringList &arguments :
         {QStringList{QStringLiteral("move"), QStringLiteral("{B1}")},
          QStringList{QStringLiteral("move"), QStringLiteral("{B1}"), QStringLiteral("--top"), QStringLiteral("--under={B1}")},
          QStringList{QStringLiteral("edit"), QStringLiteral("{B1}")}, QStringList{QStringLiteral("delete")}})
        QVERIFY2(run(arguments).startsWith(QStringLiteral("2 jotwell-cli: ")), qPrintable(arguments.join(QLatin1Char(' '))));
    QCOMPARE(stored().size(), 2);
}

void TestCli::restoreAsksOnATerminal()
{
    TestFolder folder;
    seed(folder.path());
    const QString backup = folder.file(QStringLiteral("all.kvx"));
    QCOMPARE(cli(folder.path(), {QStringLiteral("backup"), backup}).exitCode, 0);
    {
        Database connection;
        connection.open(folder.file(QStringLiteral("kvData.kvb")));
        connection.execute(QStringLiteral("update memos set content='changed' where mid in ('{A}', '{C}', '{B1}')"));
    }
    // Six records are stored already; "a" (all) answers the first question and the rest go
    // unasked. Spare answers keep a run that asks again from waiting for ever.
    const char *terminal = R"(
import os, pty, sys
pid, fd = pty.fork()
if pid == 0:
    os.execv(sys.argv[1], sys.argv[1:])
os.write(fd, b"a\n" + b"n\n" * 6)
out = b""
while True:
    try:
        chunk = os.read(fd, 4096)
    except OSError:
        break
    if not chunk:
        break
    out += chunk
sys.stdout.buffer.write(out)
sys.exit(os.waitstatus_to_exitcode(os.waitpid(pid, 0)[1]))
)";
    QProcess python;
    python.start(QStringLiteral("python3"), {QStringLiteral("-c"), QString::fromUtf8(terminal), QStringLiteral(JOTWELL_CLI_BINARY),
                                             QStringLiteral("--data-dir"), folder.path(), QStringLiteral("restore"), backup,
                                             QStringLiteral("--replace"), QStringLiteral("ask")});
    QVERIFY(python.waitForFinished(60000));
    const QString output = QString::fromUtf8(python.readAllStandardOutput());
    QVERIFY2(python.exitCode() == 0 && output.count(QStringLiteral("Replace it?")) == 1, qPrintable(output));
    for (const QStringList &row : rows(folder.path(), "memos"))
        QVERIFY2(row[2] != QLatin1String("changed"), qPrintable(row[0]));
}

void TestCli::failuresHaveTheirExitStatus()
{
    TestFolder folder;
    seed(folder.path());
    const auto failure = [&folder](const QStringList &arguments, const QByteArray &input = QByteArray()) {
        const Run run = cli(folder.path(), arguments, input);
        return QString::number(run.exitCode) + QLatin1Char(' ') + run.out + run.err;
    };
    QCOMPARE(failure({QStringLiteral("restore"), folder.file(QStringLiteral("missing.kvx")), QStringLiteral("--replace=all")}),
             QStringLiteral("1 jotwell-cli: File read failure!\n"));
    QVERIFY(writeWholeFile(folder.file(QStringLiteral("corrupt.kvx")), QByteArray(8, '\x40') + "not a zlib stream"));
    QCOMPARE(failure({QStringLiteral("import"), folder.file(QStringLiteral("corrupt.kvx"))}),
             QStringLiteral("1 jotwell-cli: File read failure!\n"));
    // A file of another program: the program's text as its box shows it.
    QCOMPARE(cli(folder.path(), {QStringLiteral("backup"), folder.file(QStringLiteral("all.kvx"))}).exitCode, 0);
    XmlNavigator foreign;
    foreign.loadFromFile(folder.file(QStringLiteral("all.kvx")));
    QVERIFY(foreign.setAttr(QStringLiteral("korvel"), QStringLiteral("app"), QStringLiteral("Other")));
    foreign.saveToFile(folder.file(QStringLiteral("other.kvx")));
    QCOMPARE(failure({QStringLiteral("import"), folder.file(QStringLiteral("other.kvx"))}),
             QStringLiteral("1 jotwell-cli: Data mismatch: OtherDayloom\n"));
    QCOMPARE(failure({QStringLiteral("backup"), folder.file(QStringLiteral("no/such/folder.kvx"))}),
             QStringLiteral("1 jotwell-cli: File write failure!\n"));
    QCOMPARE(failure({QStringLiteral("add"), QStringLiteral("-")}, " \r\n\t\n"),
             QStringLiteral("1 jotwell-cli: The memo is empty; nothing was stored.\n"));
    QCOMPARE(failure({QStringLiteral("add"), QStringLiteral("x"), QStringLiteral("--under={NONE}")}),
             QStringLiteral("1 jotwell-cli: No memo has the id {NONE}.\n"));

    // Usage errors: nothing runs.
    for (const QStringList &arguments :
         {QStringList{QStringLiteral("list"), QStringLiteral("--bogus")}, QStringList{},
          QStringList{QStringLiteral("frobnicate")}, QStringList{QStringLiteral("add")},
          QStringList{QStringLiteral("restore"), folder.file(QStringLiteral("all.kvx"))},
          QStringList{QStringLiteral("restore"), folder.file(QStringLiteral("all.kvx")), QStringLiteral("--replace=ask")},
          QStringList{QStringLiteral("report"), folder.file(QStringLiteral("r.pdf"))},
          QStringList{QStringLiteral("check"), QStringLiteral("extra")}}) {
        const QString result = failure(arguments);
        QVERIFY2(result.startsWith(QStringLiteral("2 jotwell-cli: ")) && result.endsWith(QStringLiteral("--help'.\n")),
                 qPrintable(arguments.join(QLatin1Char(' ')) + QStringLiteral(": ") + result));
    }
    QCOMPARE(rows(folder.path(), "memos").size(), 5);

    // check: quiet on a sound file; memos the program cannot show are named.
    QCOMPARE(failure({QStringLiteral("check")}), QStringLiteral("0 "));
    {
        Database connection;
        connection.open(folder.file(QStringLiteral("kvData.kvb")));
        insertMemoRow(connection, QStringLiteral("{UNDER-SUB}"), QStringLiteral("{B1}"), QStringLiteral("deep"));
        insertMemoRow(connection, QStringLiteral("{ORPHAN}"), QStringLiteral("{GONE}"), QStringLiteral("lost"));
    }
    const QString check = failure({QStringLiteral("check")});
    QVERIFY2(check.startsWith(QStringLiteral("1 jotwell-cli: 2 memos are out of the program's sight")), qPrintable(check));
    QVERIFY(check.contains(QStringLiteral("{UNDER-SUB}")) && check.contains(QStringLiteral("{ORPHAN}")));
}

void TestCli::waitsForALockAndThenFails()
{
    TestFolder folder;
    seed(folder.path());
    Database holder;
    holder.open(folder.file(QStringLiteral("kvData.kvb")));

    // A lock let go within the busy timeout is waited for.
    holder.execute(QStringLiteral("begin immediate"));
    QProcess waiting;
    waiting.start(QStringLiteral(JOTWELL_CLI_BINARY),
                  {QStringLiteral("--data-dir"), folder.path(), QStringLiteral("add"), QStringLiteral("waited")});
    QVERIFY(waiting.waitForStarted());
    QThread::msleep(600);
    holder.execute(QStringLiteral("commit"));
    QVERIFY(waiting.waitForFinished(10000));
    QCOMPARE(waiting.exitCode(), 0);

    // One that lasts fails clearly, with nothing stored and the file sound.
    holder.execute(QStringLiteral("begin immediate"));
    const Run locked = cli(folder.path(), {QStringLiteral("add"), QStringLiteral("refused")});
    holder.execute(QStringLiteral("commit"));
    QCOMPARE(locked.exitCode, 1);
    QCOMPARE(locked.err, QStringLiteral("jotwell-cli: database is locked.\n"));
    QCOMPARE(rows(folder.path(), "memos").size(), 6);
    QCOMPARE(cli(folder.path(), {QStringLiteral("check")}).exitCode, 0);
}

void TestCli::runningProgramShowsOutsideChanges()
{
    TestFolder folder;
    seed(folder.path());
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    MemoPane &pane = program.frame();
    auto *watch = findNamed<MemoPaneWatch>(program.mainWindow(), "memoPaneWatch");
    QSignalSpy reloaded(watch, &MemoPaneWatch::outsideChangeReloaded);
    pane.tree()->setSelected(findMemo(pane, QStringLiteral("{C}")), true);
    lookNow(*watch);
    QCOMPARE(reloaded.count(), 0); // nothing changed

    // The two-second look finds a memo added from a terminal; selection and open memos stay.
    const QString id = added(folder.path(), QStringLiteral("from the terminal"));
    QTRY_VERIFY_WITH_TIMEOUT(findMemo(pane, id), 5000);
    QCOMPARE(reloaded.count(), 1);
    QVERIFY(findMemo(pane, QStringLiteral("{C}"))->isSelected());
    QCOMPARE(pane.tree()->selectedCount(), 1);
    QVERIFY(pane.tree()->isEffectivelyVisible(findMemo(pane, QStringLiteral("{B1}"))));

    // An open edit holds the reload back until it ends; the edit is not lost.
    TreeNode *edited = findMemo(pane, QStringLiteral("{A}"));
    markForEditing(pane, edited);
    QPlainTextEdit *editor = openEditor(pane);
    QVERIFY(editor);
    editor->setPlainText(QStringLiteral("typed meanwhile"));
    const QString second = added(folder.path(), QStringLiteral("second"));
    lookNow(*watch);
    QVERIFY(!findMemo(pane, second));
    pane.controller().commitOpenEdit();
    lookNow(*watch);
    QVERIFY(findMemo(pane, second));
    QCOMPARE(memoOf(findMemo(pane, QStringLiteral("{A}"))).content, QStringLiteral("typed meanwhile"));
    QCOMPARE(reloaded.count(), 2);

    // The program's own changes are not outside ones.
    pane.tree()->setSelected(findMemo(pane, QStringLiteral("{C}")), true);
    pane.controller().deleteMemos();
    lookNow(*watch);
    QCOMPARE(reloaded.count(), 2);

    // A search in force stays in force: of two memos from outside only the matching one shows.
    auto *searchBox = findNamed<QLineEdit>(pane, "searchBox");
    searchBox->setFocus();
    QTRY_VERIFY(pane.searchBar().isSearching());
    QTest::keyClicks(searchBox, QStringLiteral("milk"));
    const QString hit = added(folder.path(), QStringLiteral("oat milk"));
    const QString miss = added(folder.path(), QStringLiteral("bread"));
    lookNow(*watch);
    QCOMPARE(reloaded.count(), 3);
    QCOMPARE(searchBox->text(), QStringLiteral("milk"));
    QVERIFY(findMemo(pane, hit)->isVisible());
    QVERIFY(!findMemo(pane, miss)->isVisible());

    // Changes from a terminal show as an addition does.
    QCOMPARE(cli(folder.path(), {QStringLiteral("edit"), hit, QStringLiteral("more milk")}).exitCode, 0);
    QCOMPARE(cli(folder.path(), {QStringLiteral("delete"), miss}).exitCode, 0);
    lookNow(*watch);
    QCOMPARE(memoOf(findMemo(pane, hit)).content, QStringLiteral("more milk"));
    QVERIFY(!findMemo(pane, miss));
}

void TestCli::programWaitsForTheToolsLock()
{
    TestFolder source;
    seed(source.path());
    const QString backup = source.file(QStringLiteral("all.kvx"));
    QCOMPARE(cli(source.path(), {QStringLiteral("backup"), backup}).exitCode, 0);

    // A restore reads before it writes; the tool's write lock, let go within the busy
    // timeout, is waited for rather than refused at once.
    TestFolder folder;
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    Database holder;
    holder.open(folder.file(QStringLiteral("kvData.kvb")));
    holder.execute(QStringLiteral("begin immediate"));
    std::thread release([&holder] {
        std::this_thread::sleep_for(std::chrono::milliseconds(600));
        holder.execute(QStringLiteral("commit"));
    });
    prompts.fileAnswers << backup;
    const bool restored = program.mainWindow().exchangeCommands()->restoreDatabase();
    release.join();
    QVERIFY2(restored, qPrintable(prompts.lastText()));
    QCOMPARE(rows(folder.path(), "memos").size(), 5);
}

QTEST_MAIN(TestCli)
#include "tst_cli.moc"
