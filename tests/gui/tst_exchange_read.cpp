// SPDX-License-Identifier: GPL-3.0-or-later
#include "ExchangeTestSupport.h"
#include "TestSupport.h"
#include "FaultVfs.h"
#include "gui/MainWindow.h"
#include "gui/ReplaceDialog.h"
#include "gui/ExchangeCommands.h"
#include "core/ExchangeContainer.h"
#include "gui/ProgressDialog.h"
#include "gui/MemoPane.h"
#include "gui/memos/MemoOutput.h"
#include "gui/memos/MemoNode.h"
#include "treeview/MemoTree.h"
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QtTest>

namespace {

QString memo(const QString &mid, const QString &pid, const QString &content,
             const QString &time = QStringLiteral("2009-03-03T10:00:00.000Z"))
{
    return QStringLiteral("<memo mid=\"%1\" pid=\"%2\" content=\"%3\" assign-time=\"%4\" create-time=\"%4\" edit-time=\"%4\"/>")
        .arg(mid, pid, content, time);
}

void writeExchange(const QString &path, const QString &memos, const QString &root = QStringLiteral("korvel app=\"Dayloom\""))
{
    const QString name = root.section(QLatin1Char(' '), 0, 0);
    ExchangeContainer::writeFile(path, QStringLiteral("<%1><tasks/><memos>%2</memos></%3>").arg(root, memos, name).toUtf8());
}

QStringList taskRow(const QString &tid, const QString &pid, const QString &content)
{
    return {tid, pid, content, "1", "0", "2", "255", "clWindow", "40000.25", "40001.5", "0", "40003.75", "40002"};
}

// A program on a database holding the given memos (mid, pid, content) and tasks.
struct Fixture {
    Fixture(const QList<QStringList> &memos, const QList<QStringList> &tasks = {})
    {
        {
            Database connection;
            connection.open(folder.file(QStringLiteral("kvData.kvb")));
            for (const QStringList &memo : memos)
                insertMemoRow(connection, memo[0], memo[1], memo[2]);
            for (const QStringList &task : tasks)
                insertTaskRow(connection, task);
        }
        program = std::make_unique<StartedProgram>(folder.path());
    }
    Database &db() const { return program->mainWindow().connection(); }
    ExchangeCommands &io() const { return *program->mainWindow().exchangeCommands(); }
    QString file(const char *name) const { return folder.file(QLatin1String(name)); }
    // mid -> (mid, pid, content, expandFlag, assignTime, createTime, editTime)
    QMap<QString, QStringList> memos() const
    {
        QMap<QString, QStringList> rows;
        for (const QStringList &row : tableRows(db(), "memos"))
            rows.insert(row[0], row);
        return rows;
    }
    QString content(const char *mid) const { return memos().value(QLatin1String(mid)).value(2); }
    TreeNode *node(const QString &mid) const
    {
        MemoPane &frame = program->frame();
        for (TreeNode *n = frame.tree()->firstNode(); n; n = frame.tree()->nextNode(n))
            if (memoOf(n).mid == mid)
                return n;
        return nullptr;
    }

    TestFolder folder;
    ScriptedPrompts prompts;
    std::unique_ptr<StartedProgram> program;
};

} // namespace

class TestExchangeRead : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { setZone("UTC0"); }
    void replaceDialog();
    void restoreQuestions();
    void abortLeavesTasksAndStillReloads();
    void restoreRoundTrips();
    void importCopiesAndParents();
    void refusedFiles();
    void failureHalfwayKeepsEarlierRecords();
    void everyMemoStaysInSight();
    void unusableIdsAreReplaced();
    void failedRunStillReloadsAndCounts();
    void manyMissingAttributesOfferToStop();
    void shortRunShowsNoProgress();
};

void TestExchangeRead::replaceDialog()
{
    ReplaceDialog dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Confirm Replace"));
    dialog.setRecords(QStringLiteral("task"), QStringLiteral("old\r\ntext"), 40000.5, QStringLiteral("new\ntext"), 40001);
    QCOMPARE(findNamed<QLabel>(dialog, "question")->text(), QStringLiteral("Would you like to replace the existing task"));
    QCOMPARE(findNamed<QLabel>(dialog, "oldText")->text(), QStringLiteral("old  text"));
    QCOMPARE(findNamed<QLabel>(dialog, "newText")->text(), QStringLiteral("new text"));
    QCOMPARE(findNamed<QLabel>(dialog, "withThisOne")->text(), QStringLiteral("with this one?"));
    QVERIFY(findNamed<QLabel>(dialog, "oldTime")->text().startsWith(QStringLiteral("modified: ")));
    // Local times, shown without a zone name (the zone of today is not the memo's).
    const QString noon = QLocale::system().toString(QTime(12, 0), QStringLiteral("mm:ss"));
    QVERIFY(findNamed<QLabel>(dialog, "oldTime")->text().contains(noon));
    const QString zone = QDateTime::currentDateTime().timeZoneAbbreviation();
    QVERIFY(!zone.isEmpty() && !findNamed<QLabel>(dialog, "oldTime")->text().contains(zone)
            && !findNamed<QLabel>(dialog, "newTime")->text().contains(zone));
    using Answer = ExchangeReader::ReplaceAnswer;
    const QList<std::pair<const char *, Answer>> buttons = {
        {"yes", Answer::Yes}, {"no", Answer::No}, {"abort", Answer::Abort}, {"all", Answer::All}};
    for (const auto &[name, answer] : buttons) {
        QPushButton *button = findNamed<QPushButton>(dialog, name);
        dialog.show();
        button->click();
        QCOMPARE(dialog.answer(), answer);
    }
    dialog.show();
    QTest::keyClick(&dialog, Qt::Key_Escape); // no cancel button: Esc does nothing
    QVERIFY(dialog.isVisible());
    dialog.close(); // the close box keeps the stored record
    QCOMPARE(dialog.answer(), Answer::No);
}

void TestExchangeRead::restoreQuestions()
{
    Fixture f({{"{A}", "root", "alpha"}, {"{A1}", "{A}", "alpha one"}}, {taskRow("{T}", "root", "task")});
    const QString path = f.file("backup.kvx");
    f.prompts.fileAnswers << path;
    QVERIFY(f.io().backupDatabase());
    const QList<QStringList> tasks = tableRows(f.db(), "tasks");

    // Into the database it came from: identical records are asked for all the same.
    QStringList asked;
    f.prompts.onDialog = [&](QDialog &dialog) {
        const auto &ask = static_cast<ReplaceDialog &>(dialog);
        asked << findNamed<QLabel>(ask, "question")->text().section(QLatin1Char(' '), -1) + QLatin1Char(':') +
                     findNamed<QLabel>(ask, "oldText")->text() + QLatin1Char('>') + findNamed<QLabel>(ask, "newText")->text();
    };
    f.prompts.fileAnswers << path;
    f.prompts.dialogButtons = {QStringLiteral("yes"), QStringLiteral("yes"), QStringLiteral("yes")};
    QVERIFY(f.io().restoreDatabase());
    QCOMPARE(f.prompts.fileRequests.last().nameFilters, QStringList{QStringLiteral("Korvel Database, (*.kvx)")});
    QCOMPARE(asked, QStringList({"memo:alpha>alpha", "memo:alpha one>alpha one", "task:task>task"}));

    // all on the first question holds for the rest, tasks included.
    f.db().execute(QStringLiteral("update memos set content='changed', pid='x'; update tasks set content='changed'"));
    asked.clear();
    f.prompts.fileAnswers << path;
    f.prompts.dialogButtons = {QStringLiteral("all")};
    QVERIFY(f.io().restoreDatabase());
    QCOMPARE(asked, QStringList({"memo:changed>alpha"}));
    QCOMPARE(f.memos().value("{A1}").mid(1, 2), QStringList({"{A}", "alpha one"}));
    QCOMPARE(tableRows(f.db(), "tasks"), tasks);

    // No and the close box keep the stored record, and absent records still go in.
    writeExchange(path, memo("{A}", "root", "file a") + memo("{B}", "root", "file b") +
                            memo("{A1}", "root", "file a1") + memo("{T}", "root", "file t"));
    f.db().execute(QStringLiteral("insert into memos (mid, pid, content) values ('{T}', 'root', 'stored t')"));
    f.prompts.fileAnswers << path;
    f.prompts.dialogButtons = {QStringLiteral("no"), QString(), QStringLiteral("yes")};
    QVERIFY(f.io().restoreDatabase());
    QCOMPARE(f.content("{A}"), QStringLiteral("alpha"));
    QCOMPARE(f.content("{B}"), QStringLiteral("file b"));
    QCOMPARE(f.content("{A1}"), QStringLiteral("alpha one"));
    QCOMPARE(f.content("{T}"), QStringLiteral("file t"));
    QVERIFY(f.prompts.dialogButtons.isEmpty() && f.prompts.shown.isEmpty());
}

void TestExchangeRead::abortLeavesTasksAndStillReloads()
{
    Fixture f({{"{A}", "root", "stored a"}}, {taskRow("{T}", "root", "stored task")});
    const QString path = f.file("file.kvx");
    ExchangeContainer::writeFile(path, ("<korvel app=\"Dayloom\"><tasks><task tid=\"{U}\"/></tasks><memos>" +
                                  memo("{Z}", "root", "first") + memo("{A}", "root", "file a") +
                                  memo("{B}", "root", "after") + "</memos></korvel>")
                                     .toUtf8());
    const QList<QStringList> tasks = tableRows(f.db(), "tasks");
    f.prompts.fileAnswers << path;
    f.prompts.dialogButtons = {QStringLiteral("abort")};
    findAction(f.program->mainWindow(), "restore")->trigger();
    QCOMPARE(f.content("{A}"), QStringLiteral("stored a"));
    QVERIFY(!f.memos().contains(QStringLiteral("{B}")));
    QCOMPARE(tableRows(f.db(), "tasks"), tasks);
    QTRY_VERIFY(f.node(QStringLiteral("{Z}"))); // the run ended normally: the tree reloads
    QVERIFY(f.prompts.shown.isEmpty());
}

void TestExchangeRead::restoreRoundTrips()
{
    Fixture f({{"{A}", "root", "alpha"}, {"{A1}", "{A}", "alpha one"}},
              {taskRow("{T1}", "root", "first\r\ntask it's"), taskRow("{T2}", "{T1}", "second")});
    // A sub-memo exported alone and restored becomes a top-level memo.
    f.program->frame().tree()->setSelected(f.node(QStringLiteral("{A1}")), true);
    QVERIFY(f.program->frame().output().exportSelection(f.file("sub.kvx")));
    f.prompts.fileAnswers << f.file("sub.kvx");
    f.prompts.dialogButtons = {QStringLiteral("yes")};
    f.program->mainWindow().restoreDatabase();
    QCOMPARE(f.memos().value("{A1}").value(1), QStringLiteral("root"));
    QTRY_VERIFY(f.node(QStringLiteral("{A1}")) && f.node(QStringLiteral("{A1}"))->level() == 0);

    // Tasks come back with all thirteen fields.
    const QList<QStringList> tasks = tableRows(f.db(), "tasks");
    f.prompts.fileAnswers << f.file("all.kvx") << f.file("all.kvx");
    QVERIFY(f.io().backupDatabase());
    f.db().execute(QStringLiteral("delete from tasks"));
    QVERIFY(f.io().restoreDatabase());
    QCOMPARE(tableRows(f.db(), "tasks"), tasks);

    // Every form of line break in a file is stored as CR LF.
    writeExchange(f.file("breaks.kvx"), memo("{L}", "root", "a&#13;&#10;b&#13;c&#10;d&#10;&#10;e"));
    f.prompts.fileAnswers << f.file("breaks.kvx");
    QVERIFY(f.io().restoreDatabase());
    QCOMPARE(f.content("{L}"), QStringLiteral("a\r\nb\r\nc\r\nd\r\n\r\ne"));
}

void TestExchangeRead::importCopiesAndParents()
{
    Fixture f({{"{A}", "root", "alpha"}, {"{A1}", "{A}", "alpha one"}},
              {taskRow("{T1}", "root", "task"), taskRow("{T2}", "{T1}", "sub task")});
    const QString path = f.file("all.kvx");
    f.prompts.fileAnswers << path << path << path;
    QVERIFY(f.io().backupDatabase());
    f.program->mainWindow().importFile();
    QVERIFY(f.io().importFile());
    // Two independent copies, each child under its own copy of the parent.
    QMap<QString, QStringList> memos = f.memos();
    QCOMPARE(memos.size(), 6);
    for (const QStringList &row : memos) {
        if (row[2] == QLatin1String("alpha one") && row[0] != QLatin1String("{A1}")) {
            QCOMPARE(memos.value(row[1]).value(2), QStringLiteral("alpha"));
            QVERIFY(row[1] != QLatin1String("{A}") && row[0].size() == 38);
        }
    }
    QStringList parents;
    for (const QStringList &task : tableRows(f.db(), "tasks"))
        parents << task[1];
    QCOMPARE(parents.size(), 6);
    QCOMPARE(QSet<QString>(parents.begin(), parents.end()).size(), 4); // root, {T1} and the two new parents
    QTRY_VERIFY(f.program->frame().tree()->totalCount() >= 4); // the reload after the command

    // A child before its parent; a parent outside the file; one id twice.
    f.db().execute(QStringLiteral("delete from memos"));
    writeExchange(path, memo("{C}", "{P}", "child first") + memo("{P}", "root", "parent") +
                            memo("{O}", "{elsewhere}", "orphan") + memo("{D}", "root", "twin one") +
                            memo("{D}", "root", "twin two") + memo("{D1}", "{D}", "twin child"));
    f.prompts.fileAnswers << path;
    QVERIFY(f.io().importFile());
    QMap<QString, QString> id, parent;
    for (const QStringList &row : f.memos()) {
        id[row[2]] = row[0];
        parent[row[2]] = row[1];
    }
    QCOMPARE(id.size(), 6);
    QCOMPARE(parent["child first"], id["parent"]);
    QCOMPARE(parent["orphan"], QStringLiteral("root")); // never out of sight
    QVERIFY(id["twin one"] != id["twin two"]);
    QCOMPARE(parent["twin child"], id["twin one"]);
    QVERIFY(f.prompts.shown.isEmpty());
}

void TestExchangeRead::refusedFiles()
{
    Fixture f({{"{A}", "root", "alpha"}});
    const QString path = f.file("file.kvx");
    QVERIFY(!f.io().restoreDatabase()); // cancelled: nothing said
    QVERIFY(f.prompts.shown.isEmpty());

    // The root's name plays no part; its app does.
    writeExchange(path, memo("{B}", "root", "accepted"), QStringLiteral("other app=\"Dayloom\""));
    f.prompts.fileAnswers << path;
    QVERIFY(f.io().restoreDatabase());
    f.db().execute(QStringLiteral("delete from memos where mid='{B}'"));
    writeExchange(path, memo("{B}", "root", "refused"), QStringLiteral("korvel app=\"OtherApp\""));
    f.prompts.fileAnswers << path << path;
    QVERIFY(!f.io().restoreDatabase());
    QVERIFY(!f.io().importFile());
    QCOMPARE(f.prompts.shown.last().caption, QStringLiteral("Error"));
    QCOMPARE(f.prompts.lastText(), QStringLiteral("Data mismatch: OtherAppDayloom"));
    writeExchange(path, memo("{B}", "root", "refused"), QStringLiteral("korvel"));
    f.prompts.shown.clear();
    f.prompts.fileAnswers << path;
    QVERIFY(!f.io().importFile());
    QStringList texts;
    for (const auto &box : f.prompts.shown)
        texts << box.text;
    QCOMPARE(texts, QStringList({"korvel: app not Exist !", "korvel: app not Exist !", "Data mismatch: Dayloom"}));

    // Without a memos element the root's children stand in, lack every attribute, and the run
    // fails at the first time stamp.
    ExchangeContainer::writeFile(path, "<korvel app=\"Dayloom\"><tasks/><notes/></korvel>");
    f.prompts.shown.clear();
    f.prompts.fileAnswers << path;
    QVERIFY(!f.io().restoreDatabase());
    QCOMPARE(f.prompts.shown.first().text, QStringLiteral("korvel,memos,memo#0: mid not Exist !"));
    QVERIFY(f.prompts.lastText().contains(QStringLiteral("not a valid")));

    // Damaged and foreign files are read failures.
    writeExchange(path, memo("{B}", "root", "beta"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    const QByteArray good = file.readAll();
    for (const QByteArray &bytes : {good.left(good.size() - 9), QByteArray("<korvel app=\"Dayloom\"/>")}) {
        file.resize(0);
        file.write(bytes);
        file.flush();
        f.prompts.fileAnswers << path << path;
        QVERIFY(!f.io().restoreDatabase());
        QCOMPARE(f.prompts.lastText(), QStringLiteral("File read failure!"));
        QVERIFY(!f.io().importFile());
        QCOMPARE(f.prompts.lastText(), QStringLiteral("File read failure!"));
    }
    QCOMPARE(f.memos().keys(), QStringList({"{A}"}));
}

void TestExchangeRead::failureHalfwayKeepsEarlierRecords()
{
    Fixture f({});
    const QString path = f.file("half.kvx");
    writeExchange(path, memo("{1}", "root", "one") + memo("{2}", "root", "two") +
                            memo("{3}", "root", "three", QStringLiteral("yesterday")) + memo("{4}", "root", "four"));
    for (const bool restore : {true, false}) {
        f.db().execute(QStringLiteral("delete from memos"));
        f.prompts.fileAnswers << path;
        QVERIFY(restore ? !f.io().restoreDatabase() : !f.io().importFile());
        QVERIFY(f.prompts.lastText().contains(QStringLiteral("yesterday")));
        QStringList contents;
        for (const QStringList &row : f.memos())
            contents << row[2];
        contents.sort();
        QCOMPARE(contents, QStringList({"one", "two"}));
    }
}

// A grandchild, a memo naming itself as parent, a cycle and a memo under a missing one are
// stored at the top level, after restore and after import; proper sub-memos stay where they
// are, also under a memo that named itself.
void TestExchangeRead::everyMemoStaysInSight()
{
    const QString memos = memo("{A}", "root", "a") + memo("{B}", "{A}", "b") + memo("{C}", "{B}", "grandchild") +
                          memo("{S}", "{S}", "self") + memo("{D}", "{S}", "under self") + memo("{X}", "{Y}", "x") +
                          memo("{Y}", "{X}", "y") + memo("{O}", "{missing}", "orphan");
    const QMap<QString, QString> parentOf = {{"a", "root"}, {"b", "a"},     {"grandchild", "root"}, {"self", "root"},
                                             {"under self", "self"}, {"x", "root"}, {"y", "root"}, {"orphan", "root"}};
    for (const bool restore : {true, false}) {
        Fixture f({});
        const QString path = f.file("hidden.kvx");
        writeExchange(path, memos);
        f.prompts.fileAnswers << path;
        (restore ? findAction(f.program->mainWindow(), "restore") : findAction(f.program->mainWindow(), "import"))->trigger();
        QVERIFY(f.prompts.shown.isEmpty());
        QMap<QString, QString> contentOf{{"root", "root"}};
        for (const QStringList &row : f.memos())
            contentOf.insert(row[0], row[2]);
        QCOMPARE(f.memos().size(), parentOf.size());
        for (const QStringList &row : f.memos()) {
            QCOMPARE(contentOf.value(row[1]), parentOf.value(row[2]));
            QTRY_VERIFY(f.node(row[0])); // in the reloaded tree
        }
        if (restore)
            QVERIFY(f.memos().contains(QStringLiteral("{C}")) && f.memos().contains(QStringLiteral("{S}")));
    }

    // A restore that makes a stored memo the sub-memo of another brings that memo's own
    // sub-memos to the top level.
    Fixture f({{"{P}", "root", "p"}, {"{Q}", "{P}", "q"}, {"{R}", "root", "r"}});
    const QString path = f.file("demote.kvx");
    writeExchange(path, memo("{P}", "{R}", "p under r"));
    f.prompts.fileAnswers << path;
    f.prompts.dialogButtons = {QStringLiteral("yes")};
    QVERIFY(f.io().restoreDatabase());
    QCOMPARE(f.memos().value("{P}").value(1), QStringLiteral("{R}"));
    QCOMPARE(f.memos().value("{Q}").value(1), QStringLiteral("root"));
}

// Ids "root", empty or holding a NUL become fresh ids; sub-records that name them follow
// the first record that had them. Restore keeps every usable id.
void TestExchangeRead::unusableIdsAreReplaced()
{
    const QString memos = memo("root", "root", "was root") + memo("", "root", "was empty") +
                          memo("{K}", "", "under empty") + memo("", "root", "second empty") +
                          memo("{N&#0;1}", "root", "nul&#0;kept") + memo("{N&#0;2}", "root", "other nul");
    for (const bool restore : {true, false}) {
        Fixture f({{"{A}", "root", "stored"}});
        const QString path = f.file("ids.kvx");
        writeExchange(path, memos);
        f.prompts.fileAnswers << path;
        QVERIFY(restore ? f.io().restoreDatabase() : f.io().importFile());
        QVERIFY(f.prompts.shown.isEmpty());
        QMap<QString, QStringList> byContent;
        for (const QStringList &row : f.memos()) {
            if (row[0] != QLatin1String("{A}") && row[0] != QLatin1String("{K}"))
                QCOMPARE(row[0].size(), 38); // a fresh id, never "root", empty or cut at a NUL
            byContent.insert(row[2], row);
        }
        QCOMPARE(byContent.size(), 7);
        QCOMPARE(byContent.value("under empty").value(1), byContent.value("was empty").value(0));
        QCOMPARE(byContent.value("was root").value(1), QStringLiteral("root"));
        QVERIFY(byContent.contains(QStringLiteral("nul\uFFFDkept")));
        if (restore)
            QVERIFY(f.memos().contains(QStringLiteral("{K}")));
    }
}

// A run that fails halfway still shows what it stored and says how much that was.
void TestExchangeRead::failedRunStillReloadsAndCounts()
{
    Fixture f({});
    const QString path = f.file("half.kvx");
    writeExchange(path, memo("{1}", "root", "one") + memo("{2}", "{1}", "two") +
                            memo("{3}", "root", "three", QStringLiteral("yesterday")));
    for (QAction *action : {findAction(f.program->mainWindow(), "restore"), findAction(f.program->mainWindow(), "import")}) {
        f.db().execute(QStringLiteral("delete from memos"));
        f.program->frame().reloadMemos();
        QVERIFY(!f.program->frame().tree()->firstNode());
        f.prompts.fileAnswers << path;
        action->trigger();
        QVERIFY(f.prompts.lastText().contains(QStringLiteral("yesterday")));
        QVERIFY(f.prompts.lastText().endsWith(QStringLiteral("2 memos and 0 tasks were stored before the run ended.")));
        QTRY_VERIFY(f.program->frame().tree()->firstNode());
        QCOMPARE(memoOf(f.program->frame().tree()->firstNode()).content, QStringLiteral("one"));
    }
    // A file that cannot be read changes nothing and reloads nothing.
    f.prompts.fileAnswers << f.file("missing.kvx");
    QVERIFY(!f.io().importFile());
    QVERIFY(!f.io().databaseChanged());

    // A run is one batch: when the disk refuses its commit, the text says nothing was stored.
    FaultVfs disk;
    Fixture refused({});
    refused.prompts.fileAnswers << path;
    writeExchange(path, memo("{1}", "root", "one"));
    disk.arm(FaultVfs::Operation::Sync, 1);
    QVERIFY(!refused.io().importFile());
    disk.disarm();
    QVERIFY2(refused.prompts.lastText().endsWith(QStringLiteral("\n\nNothing was stored.")), qPrintable(refused.prompts.lastText()));
    QVERIFY(refused.memos().isEmpty());
}

// Thousands of records without an id: one message, then the offer to stop.
void TestExchangeRead::manyMissingAttributesOfferToStop()
{
    QString memos;
    for (int i = 0; i < 3000; ++i)
        memos += QStringLiteral("<memo pid=\"root\" content=\"m%1\" assign-time=\"2009-03-03T10:00:00Z\""
                                " create-time=\"2009-03-03T10:00:00Z\" edit-time=\"2009-03-03T10:00:00Z\"/>")
                     .arg(i);
    Fixture f({});
    const QString path = f.file("sparse.kvx");
    writeExchange(path, memos);
    // Stopping: the run ends at the first record, nothing was stored.
    f.prompts.fileAnswers << path;
    f.prompts.answers = {BoxAnswer::Ok, BoxAnswer::Cancel};
    QVERIFY(!f.io().restoreDatabase());
    QCOMPARE(f.prompts.shown.size(), 3);
    QCOMPARE(f.prompts.shown[0].text, QStringLiteral("korvel,memos,memo#0: mid not Exist !"));
    QCOMPARE(f.prompts.shown[1].caption, QStringLiteral("Ask"));
    QVERIFY(f.prompts.shown[2].text.endsWith(QStringLiteral("Nothing was stored.")));
    QVERIFY(f.memos().isEmpty());
    // Going on: no further box, every record stored under a fresh id.
    f.prompts.shown.clear();
    f.prompts.fileAnswers << path;
    f.prompts.answers = {BoxAnswer::Ok, BoxAnswer::Ok};
    QVERIFY(f.io().importFile());
    QCOMPARE(f.prompts.shown.size(), 2);
    QCOMPARE(f.memos().size(), 3000);
}

// A two-memo restore that asks a question which takes the user a while shows no progress.
void TestExchangeRead::shortRunShowsNoProgress()
{
    struct ProgressShown : QObject {
        int shown = 0;
        bool eventFilter(QObject *object, QEvent *event) override
        {
            shown += event->type() == QEvent::Show && qobject_cast<QProgressDialog *>(object);
            return false;
        }
    } watch;
    qApp->installEventFilter(&watch);
    Fixture f({{"{A}", "root", "a"}, {"{B}", "root", "b"}});
    const QString path = f.file("two.kvx");
    writeExchange(path, memo("{A}", "root", "a") + memo("{B}", "root", "b"));
    f.prompts.fileAnswers << path;
    f.prompts.onDialog = [](QDialog &) { QTest::qWait(ProgressDialog::kShowAfterMs + 200); };
    f.prompts.dialogButtons = {QStringLiteral("no"), QStringLiteral("no")};
    QVERIFY(f.io().restoreDatabase());
    qApp->removeEventFilter(&watch);
    QCOMPARE(watch.shown, 0);
}

JOTWELL_TEST_MAIN(TestExchangeRead)
#include "tst_exchange_read.moc"
