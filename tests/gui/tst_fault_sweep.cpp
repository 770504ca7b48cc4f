// SPDX-License-Identifier: GPL-3.0-or-later
// I/O faults swept over the memo commands: the Nth write, sync, lock or read fails, for every
// N the command meets. Afterwards the database holds the state before or after the command,
// the list shows what the database holds, typed text is still on screen, and the user was
// told once.
#include "FaultVfs.h"
#include "TestSupport.h"
#include "gui/memos/MoveToMenu.h"
#include "gui/MainWindow.h"
#include "gui/MemoPane.h"
#include "gui/memos/MemoOutput.h"
#include "gui/memos/MemoNode.h"
#include "core/Database.h"
#include "core/MemoStore.h"
#include "core/Transaction.h"
#include "treeview/MemoTree.h"
#include <QAction>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QMenu>
#include <QPlainTextEdit>
#include <QtTest>
#include <functional>

namespace {

using Operation = FaultVfs::Operation;

// One command as the sweep runs it: the rows it starts from, what happens before the fault is
// armed, and the command itself.
struct Scenario {
    std::function<void(Database &)> seed;
    std::function<void(MainWindow &, MemoPane &)> prepare;
    std::function<void(MainWindow &, MemoPane &)> command;
    QString typed;    // text that must stay on screen when it could not be stored
    QString replaced; // the stored text that the typed one replaces
};

void runAsEvent(MainWindow &mainWindow, MemoPane &frame, const std::function<void(MainWindow &, MemoPane &)> &command)
{
    // Posted, as a command the user starts runs from the event loop.
    QMetaObject::invokeMethod(&frame, [&] { command(mainWindow, frame); }, Qt::QueuedConnection);
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

void select(MemoPane &frame, const QString &content)
{
    frame.tree()->clearSelection();
    MemoTree &tree = *frame.tree();
    for (TreeNode *node = tree.firstNode(); node; node = tree.nextNode(node)) {
        if (memoOf(node).content == content) {
            tree.setSelected(node, true);
            tree.setFocusedNode(node);
        }
    }
}

void seedFamilies(Database &connection)
{
    Transaction batch(connection);
    for (const char *memo : {"A", "B", "C"}) {
        const QString mid = QStringLiteral("{%1}").arg(QLatin1String(memo));
        insertMemoRow(connection, mid, QStringLiteral("root"), QLatin1String(memo));
        for (int i = 1; i <= 2; ++i)
            insertMemoRow(connection, QStringLiteral("{%1%2}").arg(QLatin1String(memo)).arg(i), mid,
                          QStringLiteral("%1%2").arg(QLatin1String(memo)).arg(i));
    }
    batch.commit();
}

void seedThousand(Database &connection)
{
    Transaction batch(connection);
    for (int i = 0; i < 1000; ++i)
        insertMemoRow(connection, QStringLiteral("{%1}").arg(i, 4, 10, QLatin1Char('0')), QStringLiteral("root"),
                      QStringLiteral("memo %1").arg(i, 4, 10, QLatin1Char('0')));
    batch.commit();
}

QPlainTextEdit *typeInto(MemoPane &frame, const QString &text)
{
    QPlainTextEdit *editor = openEditor(frame);
    if (editor) {
        editor->selectAll();
        QTest::keyClicks(editor, text);
    }
    return editor;
}

void moveAUnderB(MainWindow &, MemoPane &frame)
{
    MoveToMenu *menu = findNamed<MoveToMenu>(frame, "moveToMenu");
    menu->rebuild();
    for (QAction *item : menu->actions()) {
        if (item->text() == QLatin1String("B")) {
            item->trigger();
            return;
        }
    }
}

// An exchange file of four memos, two of them sub-memos, written by the program's export.
QString writeExchangeFile(const TestFolder &target)
{
    TestFolder source;
    {
        Database connection;
        connection.open(source.file(QStringLiteral("kvData.kvb")));
        insertMemoRow(connection, QStringLiteral("{F}"), QStringLiteral("root"), QStringLiteral("F"));
        insertMemoRow(connection, QStringLiteral("{F1}"), QStringLiteral("{F}"), QStringLiteral("F1"));
        insertMemoRow(connection, QStringLiteral("{G}"), QStringLiteral("root"), QStringLiteral("G"));
        insertMemoRow(connection, QStringLiteral("{G1}"), QStringLiteral("{G}"), QStringLiteral("G1"));
    }
    ScriptedPrompts prompts;
    StartedProgram program(source.path());
    program.frame().selectAll();
    const QString path = target.file(QStringLiteral("four.kvx"));
    return program.frame().output().exportSelection(path) ? path : QString();
}

} // namespace

class TestFaultSweep : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void commandFailsWhole_data();
    void commandFailsWhole();

private:
    TestFolder m_files;
    QString m_exchangeFile;
    QHash<QString, Scenario> m_scenarios;
};

void TestFaultSweep::initTestCase()
{
    m_exchangeFile = writeExchangeFile(m_files);
    QVERIFY(!m_exchangeFile.isEmpty());
    // The pass's prompts answer the open dialog with the exchange file.
    // Commands run as the user starts them: through their actions.
    const auto trigger = [](const char *action) {
        return [action](MainWindow &, MemoPane &frame) { findAction(frame, action)->trigger(); };
    };
    const auto readFile = [](const char *action) {
        return [action](MainWindow &mainWindow, MemoPane &) { findAction(mainWindow, action)->trigger(); };
    };
    const auto deleteA = [](MainWindow &, MemoPane &frame) {
        select(frame, QStringLiteral("A"));
        frame.controller().deleteMemos();
    };
    m_scenarios = {
        {QStringLiteral("add"),
         {seedFamilies, [](MainWindow &, MemoPane &frame) {
              frame.controller().addMemo();
              typeInto(frame, QStringLiteral("typed memo"));
          },
          [](MainWindow &, MemoPane &frame) { frame.controller().commitOpenEdit(); }, QStringLiteral("typed memo"), QString()}},
        {QStringLiteral("edit"),
         {seedFamilies, [](MainWindow &, MemoPane &frame) {
              select(frame, QStringLiteral("C2"));
              markForEditing(frame, frame.tree()->focusedNode());
              typeInto(frame, QStringLiteral("edited memo"));
          },
          [](MainWindow &, MemoPane &frame) { frame.controller().commitOpenEdit(); }, QStringLiteral("edited memo"),
          QStringLiteral("C2")}},
        {QStringLiteral("delete 1000"),
         {seedThousand, [](MainWindow &, MemoPane &frame) { frame.selectAll(); },
          trigger("delete"), {}, {}}},
        {QStringLiteral("move"),
         {seedFamilies, [](MainWindow &, MemoPane &frame) { select(frame, QStringLiteral("A")); }, moveAUnderB, {}, {}}},
        {QStringLiteral("paste"),
         {seedFamilies, [](MainWindow &, MemoPane &) { QGuiApplication::clipboard()->setText(QStringLiteral("pasted memo")); },
          trigger("paste"), {}, {}}},
        {QStringLiteral("undo"),
         {seedFamilies, deleteA, trigger("undo"), {}, {}}},
        {QStringLiteral("redo"),
         {seedFamilies,
          [deleteA](MainWindow &mainWindow, MemoPane &frame) {
              deleteA(mainWindow, frame);
              frame.controller().undoStep();
          },
          trigger("redo"), {}, {}}},
        {QStringLiteral("expand all"),
         {seedFamilies, [](MainWindow &, MemoPane &) {}, trigger("expandAll"), {}, {}}},
        {QStringLiteral("restore"), {seedFamilies, [](MainWindow &, MemoPane &) {}, readFile("restore"), {}, {}}},
        {QStringLiteral("import"), {seedFamilies, [](MainWindow &, MemoPane &) {}, readFile("import"), {}, {}}},
    };
}

void TestFaultSweep::commandFailsWhole_data()
{
    QTest::addColumn<QString>("scenario");
    QTest::addColumn<int>("operation");
    const std::pair<const char *, Operation> operations[] = {
        {"write", Operation::Write}, {"sync", Operation::Sync}, {"lock", Operation::Lock}, {"read", Operation::Read}};
    for (const char *scenario : {"add", "edit", "delete 1000", "move", "paste", "undo", "redo", "expand all", "restore", "import"}) {
        for (const auto &[name, operation] : operations)
            QTest::addRow("%s/%s", scenario, name) << QString::fromLatin1(scenario) << int(operation);
    }
}

void TestFaultSweep::commandFailsWhole()
{
    QFETCH(QString, scenario);
    QFETCH(int, operation);
    const Scenario &run = m_scenarios[scenario];
    FaultVfs vfs;

    // One folder per pass, made from the same first state.
    TestFolder seeded;
    {
        Database connection;
        connection.open(seeded.file(QStringLiteral("kvData.kvb")));
        run.seed(connection);
    }
    const QByteArray firstState = [&] {
        QFile file(seeded.file(QStringLiteral("kvData.kvb")));
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    }();
    const auto pass = [&](int nth, QStringList &before, QStringList &after, QString &problem) {
        TestFolder folder;
        {
            QFile file(folder.file(QStringLiteral("kvData.kvb")));
            file.open(QIODevice::WriteOnly);
            file.write(firstState);
        }
        ScriptedPrompts prompts;
        prompts.fileAnswers << m_exchangeFile;
        StartedProgram program(folder.path());
        run.prepare(program.mainWindow(), program.frame());
        before = storedShape(folder.path());
        const qsizetype boxesBefore = prompts.shown.size();
        if (nth > 0)
            vfs.arm(Operation(operation), nth);
        runAsEvent(program.mainWindow(), program.frame(), run.command);
        vfs.disarm();
        const bool fired = vfs.fired();
        after = storedShape(folder.path());
        int messages = 0;
        for (qsizetype i = boxesBefore; i < prompts.shown.size(); ++i)
            messages += prompts.shown.at(i).caption != QLatin1String("Ask");
        QStringList shown = shownShape(program.frame());
        QStringList stored = after;
        if (!run.typed.isEmpty() && !stored.join(QLatin1Char('\n')).contains(run.typed)) {
            // The typed text waits on screen, unsaved; the rest must match.
            if (!shown.join(QLatin1Char('\n')).contains(run.typed))
                problem = QStringLiteral("typed text gone");
            shown.removeIf([&](const QString &row) { return row.contains(run.typed); });
            stored.removeIf([&](const QString &row) { return row.contains(QLatin1Char('>') + run.replaced + QLatin1Char('|')); });
        }
        if (problem.isEmpty() && shown != stored)
            problem = QStringLiteral("the list differs from the database: %1 / %2")
                          .arg(shown.join(QLatin1Char(' ')), stored.join(QLatin1Char(' ')));
        if (problem.isEmpty() && fired && after == before && messages != 1)
            problem = QStringLiteral("%1 messages for a command that failed").arg(messages);
        if (problem.isEmpty() && messages > 1)
            problem = QStringLiteral("%1 messages").arg(messages);
        return fired;
    };

    QStringList start, done;
    QString problem;
    pass(0, start, done, problem);
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    QVERIFY(start != done);
    QStringList failures;
    // Every N up to 16, then every fourth: the writes of a large delete number a hundred.
    for (int nth = 1;; nth += nth < 16 ? 1 : 4) {
        QStringList before, after;
        problem.clear();
        const bool fired = pass(nth, before, after, problem);
        if (problem.isEmpty() && after != before && after != done)
            problem = QStringLiteral("the database holds neither the state before nor after");
        if (!problem.isEmpty())
            failures << QStringLiteral("N=%1: %2").arg(nth).arg(problem);
        if (!fired)
            break;
    }
    QVERIFY2(failures.isEmpty(), qPrintable(failures.join(QLatin1String("; "))));
}

JOTWELL_TEST_MAIN(TestFaultSweep)
#include "tst_fault_sweep.moc"
