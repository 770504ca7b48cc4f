// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestSupport.h"
#include "gui/MainWindow.h"
#include "gui/Program.h"
#include "gui/MemoPane.h"
#include "gui/MemoPaneWatch.h"
#include "gui/memos/MemoOutput.h"
#include "gui/memos/MemoNode.h"
#include "treeview/MemoTree.h"
#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QToolButton>
#include <QtTest>
#include "core/Database.h"
#include "core/DatabaseError.h"
#include "core/MemoStore.h"

#include <QDialog>
#include <QDir>
#include <QPrinter>
#include <sqlite3.h>

BoxAnswer ScriptedPrompts::messageBox(const QString &caption, const QString &text, BoxButtons buttons, BoxIcon icon)
{
    shown.append({caption, text, buttons, icon});
    return answers.isEmpty() ? BoxAnswer::Ok : answers.takeFirst();
}

bool ScriptedPrompts::fileDialog(FileRequest &request)
{
    fileRequests.append(request);
    const QString answer = fileAnswers.isEmpty() ? QString() : fileAnswers.takeFirst();
    if (!fileFilterAnswers.isEmpty())
        request.chosenFilter = fileFilterAnswers.takeFirst();
    if (answer.isEmpty())
        return false;
    request.fileName = answer;
    return true;
}

int ScriptedPrompts::execDialog(QDialog &dialog)
{
    dialog.show();
    QCoreApplication::processEvents();
    if (onDialog)
        onDialog(dialog);
    const QString name = dialogButtons.isEmpty() ? QString() : dialogButtons.takeFirst();
    if (auto *button = name.isEmpty() ? nullptr : dialog.findChild<QAbstractButton *>(name))
        button->click();
    else
        dialog.reject();
    return dialog.result();
}

bool ScriptedPrompts::printDialog(QPrinter &printer)
{
    if (printToPdf.isEmpty())
        return false;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(printToPdf);
    return true;
}


StartedProgram::StartedProgram(const QString &folder) : m_program(new Program(folder))
{
    mainWindow().resize(600, 500);
    mainWindow().show();
    // Reload and ready are posted by the first show; looked for often, since sweeps start hundreds.
    const bool ready = QTest::qWaitFor([this] { return mainWindow().memoPane() && mainWindow().memoPane()->isReady(); }, 10000);
    QVERIFY(ready);
}

StartedProgram::~StartedProgram()
{
    delete m_program;
}

MainWindow &StartedProgram::mainWindow() const
{
    return m_program->mainWindow();
}

MemoPane &StartedProgram::frame() const
{
    return *mainWindow().memoPane();
}

TreeNode *findMemo(MemoPane &frame, const QString &mid)
{
    for (TreeNode *node = frame.tree()->firstNode(); node; node = frame.tree()->nextNode(node)) {
        if (memoOf(node).mid == mid)
            return node;
    }
    return nullptr;
}

QPlainTextEdit *openEditor(MemoPane &frame)
{
    if (!QTest::qWaitFor([&] { return frame.tree()->isEditing(); }, 5000))
        return nullptr;
    return frame.tree()->findChild<QPlainTextEdit *>();
}

void markForEditing(MemoPane &frame, TreeNode *node)
{
    frame.tree()->editNode(node); // refused at first: the pane marks the node and posts the edit
}

void lookNow(MemoPaneWatch &watch)
{
    watch.check();
    QVERIFY(QTest::qWaitFor([&watch] { return !watch.isLooking(); }, 10000));
}

void enterSearchBox(MemoPane &frame)
{
    QFocusEvent focusIn(QEvent::FocusIn, Qt::MouseFocusReason);
    QApplication::sendEvent(findNamed<QLineEdit>(frame, "searchBox"), &focusIn);
}

void clickSearchButton(MemoPane &frame)
{
    findNamed<QToolButton>(frame, "searchButton")->click();
}

void clickTip(MemoPane &frame)
{
    QTest::mouseClick(findNamed<QLabel>(frame, "tipLabel"), Qt::LeftButton);
}

QStringList storedMemoTexts(const QString &folder)
{
    Database connection;
    connection.open(folder + QStringLiteral("kvData.kvb"));
    QStringList texts;
    for (const Memo &memo : MemoStore(connection).allMemos())
        texts << memo.content;
    texts.sort();
    return texts;
}

namespace {
QString shapeLine(const QString &parent, const QString &content, bool expanded)
{
    return parent + QLatin1Char('>') + content + (expanded ? QLatin1String("|+") : QLatin1String("|-"));
}
} // namespace

QStringList storedShape(const QString &folder)
{
    Database connection;
    connection.open(folder + QStringLiteral("kvData.kvb"));
    const std::vector<Memo> memos = MemoStore(connection).allMemos();
    QHash<QString, QString> contentOf;
    for (const Memo &memo : memos)
        contentOf.insert(memo.mid, memo.content);
    QStringList rows;
    for (const Memo &memo : memos)
        rows << shapeLine(contentOf.value(memo.pid, memo.pid), memo.content, memo.expandFlag);
    rows.sort();
    return rows;
}

QStringList shownShape(MemoPane &frame)
{
    QStringList rows;
    for (TreeNode *node = frame.tree()->firstNode(); node; node = frame.tree()->nextNode(node)) {
        const QString parent = node->parent() ? memoOf(node->parent()).content : QStringLiteral("root");
        rows << shapeLine(parent, memoOf(node).content, memoOf(node).expandFlag);
    }
    rows.sort();
    return rows;
}

int storedExpandFlag(MainWindow &mainWindow, const QString &mid)
{
    sqlite3_stmt *stmt = nullptr;
    sqlite3_prepare_v2(mainWindow.connection().handle(), "select expandFlag from memos where mid=?", -1, &stmt, nullptr);
    const QByteArray id = mid.toUtf8();
    sqlite3_bind_text(stmt, 1, id.constData(), int(id.size()), SQLITE_TRANSIENT);
    const int flag = sqlite3_step(stmt) == SQLITE_ROW ? sqlite3_column_int(stmt, 0) : -1;
    sqlite3_finalize(stmt);
    return flag;
}

QString exportOneMemo(const TestFolder &folder)
{
    TestFolder source;
    {
        Database connection;
        connection.open(source.file(QStringLiteral("kvData.kvb")));
        insertMemoRow(connection, QStringLiteral("{11111111-2222-3333-4444-555555555555}"), QStringLiteral("root"),
                      QStringLiteral("imported memo"));
    }
    ScriptedPrompts prompts;
    StartedProgram program(source.path());
    program.frame().selectAll();
    const QString path = folder.file(QStringLiteral("one.kvx"));
    return program.frame().output().exportSelection(path) ? path : QString();
}
