// SPDX-License-Identifier: GPL-3.0-or-later
// The program's list beside other writers: jotwell-cli processes adding and importing, and a
// plain SQLite connection inserting, editing and deleting, while the pane adds, edits, moves,
// deletes, undoes and redoes. Whatever any side was told is stored is stored exactly once,
// nothing is out of sight, and the list ends equal to the table.
#include "TestSupport.h"
#include "gui/memos/MoveToMenu.h"
#include "gui/MainWindow.h"
#include "gui/MemoPane.h"
#include "gui/memos/MemoOutput.h"
#include "gui/memos/MemoNode.h"
#include "core/Database.h"
#include "core/MemoStore.h"
#include "treeview/MemoTree.h"
#include <QAction>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProcess>
#include <QtTest>
#include <atomic>
#include <sqlite3.h>
#include <thread>

namespace {

constexpr int kRounds = 8;

TreeNode *findText(MemoPane &frame, const QString &content)
{
    for (TreeNode *node = frame.tree()->firstNode(); node; node = frame.tree()->nextNode(node)) {
        if (memoOf(node).content == content)
            return node;
    }
    return nullptr;
}

bool selectText(MemoPane &frame, const QString &content)
{
    TreeNode *node = findText(frame, content);
    frame.tree()->clearSelection();
    if (!node)
        return false;
    frame.tree()->setSelected(node, true);
    frame.tree()->setFocusedNode(node);
    return true;
}

// Runs a pane command as an event and tells whether it went without a box.
bool quietly(ScriptedPrompts &prompts, MemoPane &frame, const std::function<void()> &command)
{
    const qsizetype boxes = prompts.shown.size();
    QMetaObject::invokeMethod(&frame, command, Qt::QueuedConnection);
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    for (qsizetype i = boxes; i < prompts.shown.size(); ++i) {
        if (prompts.shown.at(i).caption != QLatin1String("Ask"))
            return false;
    }
    return true;
}

bool typeAndCommit(ScriptedPrompts &prompts, MemoPane &frame, const QString &text)
{
    QPlainTextEdit *editor = openEditor(frame);
    if (!editor)
        return false;
    editor->selectAll();
    QTest::keyClicks(editor, text);
    return quietly(prompts, frame, [&frame] { frame.controller().commitOpenEdit(); });
}

// The plain connection's side: each round inserts a memo and edits it, and deletes a memo
// seeded for it. What it was told is stored, and what it deleted, is kept for the check.
struct PlainWriter {
    QString path;
    QStringList stored;
    QStringList deleted;

    bool run(sqlite3 *db, const QByteArray &sql)
    {
        return sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
    }
    void operator()()
    {
        sqlite3 *db = nullptr;
        sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
        sqlite3_busy_timeout(db, 3000);
        for (int round = 0; round < kRounds; ++round) {
            const QByteArray name = "plain " + QByteArray::number(round);
            if (run(db, "insert into memos(mid,pid,content,expandFlag,assignTime,createTime,editTime) values('{P" + QByteArray::number(round)
                            + "}','root','" + name + "',0,45000,45000,45000)"))
                stored << QString::fromUtf8(name);
            if (run(db, "update memos set content='" + name + " edited' where mid='{P" + QByteArray::number(round) + "}'")
                && stored.removeOne(QString::fromUtf8(name)))
                stored << QString::fromUtf8(name + " edited");
            if (run(db, "delete from memos where mid='{V" + QByteArray::number(round) + "}'"))
                deleted << QStringLiteral("victim %1").arg(round);
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        sqlite3_close(db);
    }
};

QProcess *startCli(const QString &folder, const QStringList &arguments)
{
    auto *process = new QProcess;
    process->start(QStringLiteral(JOTWELL_CLI_BINARY), QStringList{QStringLiteral("--data-dir"), folder} + arguments);
    return process;
}

} // namespace

class TestStress : public QObject {
    Q_OBJECT
private slots:
    void everyStoredMemoOnceAndListEqualsTable();
};

void TestStress::everyStoredMemoOnceAndListEqualsTable()
{
    TestFolder files;
    QString exchangeFile;
    {
        TestFolder source;
        {
            Database connection;
            connection.open(source.file(QStringLiteral("kvData.kvb")));
            insertMemoRow(connection, QStringLiteral("{F}"), QStringLiteral("root"), QStringLiteral("imported"));
            insertMemoRow(connection, QStringLiteral("{F1}"), QStringLiteral("{F}"), QStringLiteral("imported sub"));
        }
        ScriptedPrompts prompts;
        StartedProgram program(source.path());
        program.frame().selectAll();
        exchangeFile = files.file(QStringLiteral("two.kvx"));
        QVERIFY(program.frame().output().exportSelection(exchangeFile));
    }

    TestFolder folder;
    {
        Database connection;
        connection.open(folder.file(QStringLiteral("kvData.kvb")));
        insertMemoRow(connection, QStringLiteral("{ANCHOR}"), QStringLiteral("root"), QStringLiteral("anchor"));
        for (int round = 0; round < kRounds; ++round)
            insertMemoRow(connection, QStringLiteral("{V%1}").arg(round), QStringLiteral("root"), QStringLiteral("victim %1").arg(round));
    }
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    MemoPane &frame = program.frame();

    PlainWriter plain{folder.file(QStringLiteral("kvData.kvb")), {}, {}};
    std::thread plainThread(std::ref(plain));
    QStringList paneStored, paneDeleted, cliStored;
    int imports = 0;
    for (int round = 0; round < kRounds; ++round) {
        std::vector<std::unique_ptr<QProcess>> cli;
        cli.emplace_back(startCli(folder.path(), {QStringLiteral("add"), QStringLiteral("cli %1").arg(round)}));
        cli.emplace_back(startCli(folder.path(), {QStringLiteral("import"), exchangeFile}));

        const QString name = QStringLiteral("pane %1").arg(round);
        frame.tree()->setFocus();
        frame.controller().addMemo();
        const bool added = typeAndCommit(prompts, frame, name) && findText(frame, name);
        if (added && selectText(frame, name)) {
            markForEditing(frame, frame.tree()->focusedNode());
            const bool edited = typeAndCommit(prompts, frame, name + QStringLiteral(" edited"));
            const QString now = findText(frame, name + QStringLiteral(" edited")) && edited ? name + QStringLiteral(" edited") : name;
            paneStored << now;
            if (selectText(frame, now)) {
                quietly(prompts, frame, [&frame] {
                    MoveToMenu *menu = findNamed<MoveToMenu>(frame, "moveToMenu");
                    menu->rebuild();
                    for (QAction *item : menu->actions()) {
                        if (item->text() == QLatin1String("anchor"))
                            return item->trigger();
                    }
                });
            }
        }
        const QString doomed = QStringLiteral("doomed %1").arg(round);
        frame.controller().addMemo();
        if (typeAndCommit(prompts, frame, doomed) && selectText(frame, doomed)
            && quietly(prompts, frame, [&frame] { frame.controller().deleteMemos(); })
            && quietly(prompts, frame, [&frame] { frame.controller().undoStep(); })
            && quietly(prompts, frame, [&frame] { frame.controller().redoStep(); }))
            paneDeleted << doomed;

        for (const std::unique_ptr<QProcess> &process : cli) {
            QVERIFY(QTest::qWaitFor([&] { return process->state() == QProcess::NotRunning; }, 30000));
            if (process->exitStatus() != QProcess::NormalExit || process->exitCode() != 0)
                continue;
            if (process->arguments().contains(QStringLiteral("import")))
                ++imports;
            else
                cliStored << QStringLiteral("cli %1").arg(round);
        }
    }
    plainThread.join();

    QTRY_COMPARE_WITH_TIMEOUT(shownShape(frame), storedShape(folder.path()), 10000);
    const QStringList contents = storedMemoTexts(folder.path());
    for (const QString &memo : paneStored + cliStored + plain.stored)
        QVERIFY2(contents.count(memo) == 1, qPrintable(memo));
    for (const QString &memo : paneDeleted + plain.deleted)
        QVERIFY2(!contents.contains(memo), qPrintable(memo));
    QCOMPARE(contents.count(QStringLiteral("imported")), imports);
    QCOMPARE(contents.count(QStringLiteral("imported sub")), imports);
    QVERIFY(imports > 0 && !paneStored.isEmpty() && !cliStored.isEmpty() && !plain.stored.isEmpty());

    QProcess check;
    check.start(QStringLiteral(JOTWELL_CLI_BINARY), {QStringLiteral("--data-dir"), folder.path(), QStringLiteral("check")});
    QVERIFY(check.waitForFinished(30000));
    QCOMPARE(check.exitCode(), 0);
}

JOTWELL_TEST_MAIN(TestStress)
#include "tst_stress.moc"
