#include "ExchangeTestSupport.h"
#include "TestSupport.h"
#include "app/Fm_Main.h"
#include "exchange/Dlg_ReplaceAsk.h"
#include "exchange/Dm_Io.h"
#include "exchange/KvContainer.h"
#include "memos/Fr_kvMemos.h"
#include "tree/KvVirtualTree.h"
#include <QLabel>
#include <QPushButton>
#include <QUuid>
#include <QtTest>

namespace {

const QString kTime = QStringLiteral("2009-03-03T10:00:00.000Z");

QString Memo(const QString &mid, const QString &pid, const QString &content, const QString &time = kTime)
{
    return QStringLiteral("<memo mid=\"%1\" pid=\"%2\" content=\"%3\" assign-time=\"%4\" create-time=\"%4\" edit-time=\"%4\"/>")
        .arg(mid, pid, content, time);
}

QString Task(const QString &tid, const QString &pid, const QString &content)
{
    return QStringLiteral("<task tid=\"%1\" pid=\"%2\" content=\"%3\" check-flag=\"1\" alarm-flag=\"0\" due-flag=\"\""
                          " text-color=\"255\" background-color=\"clWindow\" create-time=\"%4\" edit-time=\"%4\""
                          " check-time=\"%4\" alarm-time=\"%4\" due-time=\"%4\"/>")
        .arg(tid, pid, content, kTime);
}

void WriteExchange(const QString &path, const QString &memos, const QString &tasks = QString(),
                   const QString &rootStart = QStringLiteral("<korvel app=\"Dayloom\" appversion=\"1\" dataversion=\"1.1\">"),
                   const QString &rootEnd = QStringLiteral("</korvel>"))
{
    KvContainer::WriteFile(path, (rootStart + QStringLiteral("<tasks>") + tasks + QStringLiteral("</tasks><memos>") + memos +
                                  QStringLiteral("</memos>") + rootEnd)
                                     .toUtf8());
}

// mid -> the memo's row (mid, pid, content, expandFlag, assignTime, createTime, editTime).
QMap<QString, QStringList> Memos(KvConnection &connection)
{
    QMap<QString, QStringList> memos;
    for (const QStringList &row : TableRows(connection, "memos"))
        memos.insert(row[0], row);
    return memos;
}

QString Content(KvConnection &connection, const QString &mid)
{
    return Memos(connection).value(mid).value(2);
}

void Seed(const TestFolder &folder, const QList<QStringList> &memos, const QList<QStringList> &tasks = {})
{
    KvConnection connection;
    connection.open(folder.file(QStringLiteral("kvData.kvb")));
    for (const QStringList &memo : memos)
        InsertMemoRow(connection, memo[0], memo[1], memo[2]);
    for (const QStringList &task : tasks)
        InsertTaskRow(connection, task);
}

QStringList TaskRow(const QString &tid, const QString &pid, const QString &content)
{
    return {tid, pid, content, "1", "0", "2", "255", "clWindow", "40000.25", "40001.5", "0", "40003.75", "40002"};
}

KvTreeNode *Find(TkvMemosFrame &frame, const QString &mid)
{
    for (KvTreeNode *node = frame.VtMemos->firstNode(); node; node = frame.VtMemos->nextNode(node)) {
        if (node->data.mid == mid)
            return node;
    }
    return nullptr;
}

} // namespace

class TestExchangeRead : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { SetZone("UTC0"); }
    void replaceDialog();
    void restoreAsksForEveryStoredRecord();
    void noAndCloseBoxKeepRecordsAndGoOn();
    void abortLeavesTasksAndStillReloads();
    void restoredLoneSubMemoBecomesTopLevel();
    void tasksRoundTrip();
    void importGivesIndependentCopies();
    void importParentLinks();
    void rootAndAppChecks();
    void fileWithoutMemosElement();
    void failureHalfwayKeepsEarlierRecords();
    void badFilesChangeNothing();
    void lineBreakForms();
};

void TestExchangeRead::replaceDialog()
{
    SetZone("UTC0");
    TReplaceAskDlg dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Confirm Replace"));
    QCOMPARE(dialog.size(), QSize(463, 250));
    dialog.SetRecords(QStringLiteral("task"), QStringLiteral("old\r\ntext"), 40000.5, QStringLiteral("new\ntext"), 40001);
    QCOMPARE(dialog.Label_Caption->text(), QStringLiteral("Would you like to replace the existing task"));
    QCOMPARE(dialog.Label_oldTitle->text(), QStringLiteral("old  text"));
    QCOMPARE(dialog.Label_newTitle->text(), QStringLiteral("new text"));
    QCOMPARE(dialog.Label2->text(), QStringLiteral("with this one?"));
    QVERIFY(dialog.Label_oldTime->text().startsWith(QStringLiteral("modified: ")));
    QVERIFY(dialog.Label_oldTime->text().size() > dialog.Label_newTime->text().size()); // midnight shows no time
    QCOMPARE(dialog.Label_oldTitle->size(), QSize(360, 16));

    const QList<std::pair<QPushButton *, int>> buttons = {
        {dialog.Button1, 6}, {dialog.Button2, 7}, {dialog.Button3, 3}, {dialog.Button4, 10}};
    QCOMPARE(dialog.Button1->text(), QStringLiteral("&Yes"));
    QCOMPARE(dialog.Button2->text(), QStringLiteral("&No"));
    QCOMPARE(dialog.Button3->text(), QStringLiteral("A&bort"));
    QCOMPARE(dialog.Button4->text(), QStringLiteral("&All"));
    for (const auto &[button, result] : buttons) {
        dialog.show();
        button->click();
        QCOMPARE(dialog.result(), result);
    }
    dialog.show();
    QTest::keyClick(&dialog, Qt::Key_Escape); // no cancel button: Esc does nothing
    QVERIFY(dialog.isVisible());
    dialog.close(); // the close box
    QCOMPARE(dialog.result(), 2);
}

void TestExchangeRead::restoreAsksForEveryStoredRecord()
{
    TestFolder folder;
    Seed(folder, {{"{A}", "root", "alpha"}, {"{A1}", "{A}", "alpha one"}}, {TaskRow("{T}", "root", "task")});
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    TIoDm &io = *program.mainFm().ioDm();
    KvConnection &db = program.mainFm().connection();
    const QString path = folder.file(QStringLiteral("backup.kvx"));
    prompts.fileAnswers << path;
    QVERIFY(io.BackupDatabase());
    const QList<QStringList> tasksBefore = TableRows(db, "tasks");

    // Identical records are asked for all the same: two memos, then the task.
    QStringList captions;
    prompts.onDialog = [&](QDialog &dialog) {
        captions << static_cast<TReplaceAskDlg &>(dialog).Label_Caption->text() + QLatin1Char('|') +
                        static_cast<TReplaceAskDlg &>(dialog).Label_oldTitle->text() + QLatin1Char('|') +
                        static_cast<TReplaceAskDlg &>(dialog).Label_newTitle->text();
    };
    prompts.fileAnswers << path;
    prompts.dialogAnswers = {6, 6, 6};
    QVERIFY(io.RestoreDatabase());
    QCOMPARE(prompts.fileRequests.last().kind, KvFileRequest::Kind::Open);
    QCOMPARE(prompts.fileRequests.last().filter, QStringLiteral("Korvel Database, (*.kvx)|*.kvx"));
    QCOMPARE(captions, QStringList({"Would you like to replace the existing memo|alpha|alpha",
                                    "Would you like to replace the existing memo|alpha one|alpha one",
                                    "Would you like to replace the existing task|task|task"}));
    QCOMPARE(TableRows(db, "tasks"), tasksBefore);

    // All on the first question replaces everything, tasks included, without asking again.
    db.execute(QStringLiteral("update memos set content='changed', pid='elsewhere'"));
    db.execute(QStringLiteral("update tasks set content='changed'"));
    captions.clear();
    prompts.fileAnswers << path;
    prompts.dialogAnswers = {10};
    QVERIFY(io.RestoreDatabase());
    QCOMPARE(captions.size(), 1);
    QCOMPARE(captions[0], QStringLiteral("Would you like to replace the existing memo|changed|alpha"));
    QCOMPARE(Content(db, QStringLiteral("{A}")), QStringLiteral("alpha"));
    QCOMPARE(Memos(db).value(QStringLiteral("{A1}")).value(1), QStringLiteral("{A}"));
    QCOMPARE(TableRows(db, "tasks"), tasksBefore);
    QVERIFY(prompts.shown.isEmpty());
}

void TestExchangeRead::noAndCloseBoxKeepRecordsAndGoOn()
{
    TestFolder folder;
    Seed(folder, {{"{A}", "root", "stored a"}, {"{C}", "root", "stored c"}, {"{D}", "root", "stored d"}});
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    const QString path = folder.file(QStringLiteral("file.kvx"));
    WriteExchange(path, Memo("{A}", "root", "file a") + Memo("{B}", "root", "file b") + Memo("{C}", "root", "file c") +
                            Memo("{D}", "root", "file d") + Memo("{E}", "root", "file e"));
    prompts.fileAnswers << path;
    prompts.dialogAnswers = {7, 2, 6}; // No, the close box, Yes
    QVERIFY(program.mainFm().ioDm()->RestoreDatabase());
    KvConnection &db = program.mainFm().connection();
    QCOMPARE(Content(db, QStringLiteral("{A}")), QStringLiteral("stored a"));
    QCOMPARE(Content(db, QStringLiteral("{B}")), QStringLiteral("file b"));
    QCOMPARE(Content(db, QStringLiteral("{C}")), QStringLiteral("stored c"));
    QCOMPARE(Content(db, QStringLiteral("{D}")), QStringLiteral("file d"));
    QCOMPARE(Content(db, QStringLiteral("{E}")), QStringLiteral("file e"));
    QVERIFY(prompts.dialogAnswers.isEmpty());
}

void TestExchangeRead::abortLeavesTasksAndStillReloads()
{
    TestFolder folder;
    Seed(folder, {{"{A}", "root", "stored a"}}, {TaskRow("{T}", "root", "stored task")});
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    KvConnection &db = program.mainFm().connection();
    const QString path = folder.file(QStringLiteral("file.kvx"));
    WriteExchange(path, Memo("{Z}", "root", "inserted first") + Memo("{A}", "root", "file a") + Memo("{B}", "root", "after"),
                  Task("{T}", "root", "file task") + Task("{U}", "root", "new task"));
    const QList<QStringList> tasksBefore = TableRows(db, "tasks");
    prompts.fileAnswers << path;
    prompts.dialogAnswers = {3};
    program.mainFm().Action_DbRestore->trigger();
    QCOMPARE(Content(db, QStringLiteral("{A}")), QStringLiteral("stored a"));
    QVERIFY(!Memos(db).contains(QStringLiteral("{B}")));
    QCOMPARE(TableRows(db, "tasks"), tasksBefore);
    // The run ended normally, so the tree shows what it stored.
    QTRY_VERIFY(Find(program.frame(), QStringLiteral("{Z}")));
    QVERIFY(prompts.shown.isEmpty());
}

void TestExchangeRead::restoredLoneSubMemoBecomesTopLevel()
{
    TestFolder folder;
    Seed(folder, {{"{A}", "root", "alpha"}, {"{A1}", "{A}", "alpha one"}});
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    TkvMemosFrame &frame = program.frame();
    const QString path = folder.file(QStringLiteral("sub.kvx"));
    frame.VtMemos->setSelected(Find(frame, QStringLiteral("{A1}")), true);
    QVERIFY(frame.ExportSelection(path));
    prompts.fileAnswers << path;
    prompts.dialogAnswers = {6};
    program.mainFm().Action_DbRestoreExecute();
    QCOMPARE(Memos(program.mainFm().connection()).value(QStringLiteral("{A1}")).value(1), QStringLiteral("root"));
    QTRY_VERIFY(Find(frame, QStringLiteral("{A1}")) && Find(frame, QStringLiteral("{A1}"))->level() == 0);
}

void TestExchangeRead::tasksRoundTrip()
{
    TestFolder folder;
    Seed(folder, {}, {TaskRow("{T1}", "root", "first\r\ntask it's"), TaskRow("{T2}", "{T1}", "second"),
                      {"{T3}", "{T1}", "", "<null>", "<null>", "<null>", "<null>", "<null>", "<null>", "<null>",
                       "<null>", "<null>", "<null>"}});
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    KvConnection &db = program.mainFm().connection();
    const QList<QStringList> before = TableRows(db, "tasks");
    const QString path = folder.file(QStringLiteral("tasks.kvx"));
    prompts.fileAnswers << path << path;
    QVERIFY(program.mainFm().ioDm()->BackupDatabase());
    db.execute(QStringLiteral("delete from tasks"));
    QVERIFY(program.mainFm().ioDm()->RestoreDatabase());
    QList<QStringList> after = TableRows(db, "tasks");
    // Empty stamps come back as the zero date-time, empty texts as empty texts.
    QStringList expected = before[2];
    for (int column = 3; column < 8; ++column)
        expected[column] = QString();
    for (int column = 8; column < 13; ++column)
        expected[column] = QStringLiteral("0.0");
    QCOMPARE(after.size(), 3);
    QCOMPARE(after[0], before[0]);
    QCOMPARE(after[1], before[1]);
    QCOMPARE(after[2], expected);
}

void TestExchangeRead::importGivesIndependentCopies()
{
    TestFolder folder;
    Seed(folder, {{"{A}", "root", "alpha"}, {"{A1}", "{A}", "alpha one"}, {"{A2}", "{A}", "alpha two"}},
         {TaskRow("{T1}", "root", "task"), TaskRow("{T2}", "{T1}", "sub task")});
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    KvConnection &db = program.mainFm().connection();
    const QString path = folder.file(QStringLiteral("all.kvx"));
    prompts.fileAnswers << path << path << path;
    QVERIFY(program.mainFm().ioDm()->BackupDatabase());
    program.mainFm().Action_ImportExecute();
    QVERIFY(program.mainFm().ioDm()->ImportFile());
    QVERIFY(prompts.shown.isEmpty());

    const QMap<QString, QStringList> memos = Memos(db);
    QCOMPARE(memos.size(), 9);
    QStringList copiesOfAlpha;
    for (const QStringList &row : memos) {
        if (!QStringList({"{A}", "{A1}", "{A2}"}).contains(row[0]))
            QVERIFY(QUuid::fromString(row[0]).toString(QUuid::WithBraces).toUpper() == row[0]);
        if (row[2] == QLatin1String("alpha") && row[0] != QLatin1String("{A}"))
            copiesOfAlpha << row[0];
    }
    QCOMPARE(copiesOfAlpha.size(), 2);
    for (const QString &copy : copiesOfAlpha) {
        QStringList children;
        for (const QStringList &row : memos) {
            if (row[1] == copy)
                children << row[2];
        }
        children.sort();
        QCOMPARE(children, QStringList({"alpha one", "alpha two"}));
        QCOMPARE(memos[copy][5], memos[QStringLiteral("{A}")][5]); // the stamps come along
    }
    const QList<QStringList> tasks = TableRows(db, "tasks");
    QCOMPARE(tasks.size(), 6);
    for (const QStringList &task : tasks) {
        if (task[2] == QLatin1String("sub task") && task[0] != QLatin1String("{T2}")) {
            const auto parent = std::find_if(tasks.begin(), tasks.end(), [&](const QStringList &t) { return t[0] == task[1]; });
            QVERIFY(parent != tasks.end() && (*parent)[2] == QLatin1String("task") && (*parent)[0] != QLatin1String("{T1}"));
        }
    }
    // The reload after the first import shows its memos.
    QTRY_VERIFY(program.frame().VtMemos->totalCount() >= 6);
}

void TestExchangeRead::importParentLinks()
{
    TestFolder folder;
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    KvConnection &db = program.mainFm().connection();
    const QString path = folder.file(QStringLiteral("links.kvx"));
    WriteExchange(path, Memo("{C}", "{P}", "child first") + Memo("{P}", "root", "parent") +
                            Memo("{O}", "{not in file}", "orphan") + Memo("{D}", "root", "twin one") +
                            Memo("{D}", "root", "twin two") + Memo("{D1}", "{D}", "twin child"));
    prompts.fileAnswers << path;
    QVERIFY(program.mainFm().ioDm()->ImportFile());
    QMap<QString, QString> idOf, parentOf;
    for (const QStringList &row : Memos(db)) {
        idOf[row[2]] = row[0];
        parentOf[row[2]] = row[1];
    }
    QCOMPARE(idOf.size(), 6);
    QCOMPARE(parentOf[QStringLiteral("child first")], idOf[QStringLiteral("parent")]);
    QCOMPARE(parentOf[QStringLiteral("parent")], QStringLiteral("root"));
    // A parent outside the file would hide the memo: it comes in at the top level.
    QCOMPARE(parentOf[QStringLiteral("orphan")], QStringLiteral("root"));
    // Two records with one id become two memos; the children go with the first.
    QVERIFY(idOf[QStringLiteral("twin one")] != idOf[QStringLiteral("twin two")]);
    QCOMPARE(parentOf[QStringLiteral("twin child")], idOf[QStringLiteral("twin one")]);
    QVERIFY(!idOf.values().contains(QStringLiteral("{P}")));
}

void TestExchangeRead::rootAndAppChecks()
{
    TestFolder folder;
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    KvConnection &db = program.mainFm().connection();
    TIoDm &io = *program.mainFm().ioDm();
    const QString path = folder.file(QStringLiteral("app.kvx"));

    WriteExchange(path, Memo("{A}", "root", "accepted"), QString(), QStringLiteral("<other app=\"Dayloom\">"),
                  QStringLiteral("</other>"));
    prompts.fileAnswers << path;
    QVERIFY(io.RestoreDatabase());
    QCOMPARE(Content(db, QStringLiteral("{A}")), QStringLiteral("accepted"));

    WriteExchange(path, Memo("{B}", "root", "refused"), QString(), QStringLiteral("<korvel app=\"OtherApp\">"));
    for (const bool restore : {true, false}) {
        prompts.fileAnswers << path;
        QVERIFY(restore ? !io.RestoreDatabase() : !io.ImportFile());
        QCOMPARE(prompts.shown.last().caption, QStringLiteral("Error"));
        QCOMPARE(prompts.lastText(), QStringLiteral("Data mismatch: OtherAppDayloom"));
    }
    WriteExchange(path, Memo("{B}", "root", "refused"), QString(), QStringLiteral("<korvel>"));
    prompts.shown.clear();
    prompts.fileAnswers << path;
    QVERIFY(!io.ImportFile());
    QStringList texts;
    for (const auto &box : prompts.shown)
        texts << box.text;
    QCOMPARE(texts, QStringList({"korvel: app not Exist !", "korvel: app not Exist !", "Data mismatch: Dayloom"}));
    QCOMPARE(Memos(db).size(), 1);
}

void TestExchangeRead::fileWithoutMemosElement()
{
    TestFolder folder;
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    const QString path = folder.file(QStringLiteral("nomemos.kvx"));
    KvContainer::WriteFile(path, "<korvel app=\"Dayloom\"><tasks/><notes/></korvel>");
    prompts.fileAnswers << path;
    QVERIFY(!program.mainFm().ioDm()->RestoreDatabase());
    QCOMPARE(prompts.shown.first().text, QStringLiteral("korvel,memos,memo#0: mid not Exist !"));
    QVERIFY(prompts.lastText().contains(QStringLiteral("not a valid")));
    QVERIFY(Memos(program.mainFm().connection()).isEmpty());
}

void TestExchangeRead::failureHalfwayKeepsEarlierRecords()
{
    TestFolder folder;
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    KvConnection &db = program.mainFm().connection();
    const QString path = folder.file(QStringLiteral("half.kvx"));
    WriteExchange(path, Memo("{1}", "root", "one") + Memo("{2}", "root", "two") +
                            Memo("{3}", "root", "three", QStringLiteral("yesterday")) + Memo("{4}", "root", "four"));
    for (const bool restore : {true, false}) {
        db.execute(QStringLiteral("delete from memos"));
        prompts.fileAnswers << path;
        QVERIFY(restore ? !program.mainFm().ioDm()->RestoreDatabase() : !program.mainFm().ioDm()->ImportFile());
        QCOMPARE(prompts.shown.last().caption, QStringLiteral("Error"));
        QVERIFY(prompts.lastText().contains(QStringLiteral("yesterday")));
        QStringList contents;
        for (const QStringList &row : Memos(db))
            contents << row[2];
        contents.sort();
        QCOMPARE(contents, QStringList({"one", "two"}));
    }
}

void TestExchangeRead::badFilesChangeNothing()
{
    TestFolder folder;
    Seed(folder, {{"{A}", "root", "alpha"}});
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    KvConnection &db = program.mainFm().connection();
    TIoDm &io = *program.mainFm().ioDm();
    const QString path = folder.file(QStringLiteral("bad.kvx"));
    QVERIFY(!io.RestoreDatabase()); // cancelled
    QVERIFY(prompts.shown.isEmpty());

    WriteExchange(path, Memo("{B}", "root", "beta"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    const QByteArray good = file.readAll();
    const QList<QByteArray> bad = {good.left(good.size() - 9), QByteArray("<korvel app=\"Dayloom\"/>"),
                                   good.left(8) + QByteArray(100, '\x55')};
    for (const QByteArray &bytes : bad) {
        file.resize(0);
        file.write(bytes);
        file.flush();
        for (const bool restore : {true, false}) {
            prompts.fileAnswers << path;
            QVERIFY(restore ? !io.RestoreDatabase() : !io.ImportFile());
            QCOMPARE(prompts.lastText(), QStringLiteral("File read failure!"));
        }
    }
    QCOMPARE(Memos(db).keys(), QStringList({"{A}"}));
}

void TestExchangeRead::lineBreakForms()
{
    TestFolder folder;
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    const QString path = folder.file(QStringLiteral("breaks.kvx"));
    WriteExchange(path, Memo("{A}", "root", "a&#13;&#10;b&#13;c&#10;d&#10;&#10;e"));
    prompts.fileAnswers << path;
    QVERIFY(program.mainFm().ioDm()->RestoreDatabase());
    QCOMPARE(Content(program.mainFm().connection(), QStringLiteral("{A}")), QStringLiteral("a\r\nb\r\nc\r\nd\r\n\r\ne"));
}

JOTWELL_TEST_MAIN(TestExchangeRead)
#include "tst_exchange_read.moc"
