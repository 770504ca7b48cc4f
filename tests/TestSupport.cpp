#include "TestSupport.h"
#include "app/Fm_Main.h"
#include "app/Program.h"
#include "memos/Fr_kvMemos.h"
#include "tree/KvVirtualTree.h"
#include <QPlainTextEdit>
#include <QtTest>
#include "store/KvConnection.h"
#include "store/KvDbError.h"
#include "store/KvQuery.h"
#include "store/SqlCatalogue.h"
#include "app/pU_Funcs.h"
#include <QDialog>
#include <QDir>
#include <QPrinter>
#include <sqlite3.h>

int ScriptedPrompts::messageBox(const QString &caption, const QString &text, int flags, KvBoxIcon icon)
{
    shown.append({caption, text, flags, icon});
    return answers.isEmpty() ? IDOK : answers.takeFirst();
}

bool ScriptedPrompts::fileDialog(KvFileRequest &request)
{
    fileRequests.append(request);
    const QString answer = fileAnswers.isEmpty() ? QString() : fileAnswers.takeFirst();
    if (!fileFilterAnswers.isEmpty())
        request.filterIndex = fileFilterAnswers.takeFirst();
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
    const int result = dialogAnswers.isEmpty() ? int(QDialog::Rejected) : dialogAnswers.takeFirst();
    dialog.done(result);
    return result;
}

bool ScriptedPrompts::printDialog(QPrinter &printer)
{
    if (printToPdf.isEmpty())
        return false;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(printToPdf);
    return true;
}

TestFolder::TestFolder() : FDir(QDir::tempPath() + QStringLiteral("/jotwell-test-XXXXXX")) {}

QString TestFolder::path() const
{
    return FDir.path() + QLatin1Char('/');
}

void InsertMemoRow(KvConnection &connection, const QString &mid, const QString &pid, const QString &content,
                   bool expandFlag, double createTime)
{
    sqlite3_stmt *stmt = nullptr;
    sqlite3_prepare_v2(connection.handle(),
                       "insert into memos (mid, pid, content, expandFlag, assignTime, createTime, editTime)"
                       " values (?, ?, ?, ?, ?, ?, ?)",
                       -1, &stmt, nullptr);
    const QByteArray m = mid.toUtf8(), p = pid.toUtf8(), c = content.toUtf8();
    sqlite3_bind_text(stmt, 1, m.constData(), int(m.size()), SQLITE_TRANSIENT);
    sqlite3_bind_text(stmt, 2, p.constData(), int(p.size()), SQLITE_TRANSIENT);
    sqlite3_bind_text(stmt, 3, c.constData(), int(c.size()), SQLITE_TRANSIENT);
    sqlite3_bind_int(stmt, 4, expandFlag ? 1 : 0);
    sqlite3_bind_double(stmt, 5, createTime);
    sqlite3_bind_double(stmt, 6, createTime);
    sqlite3_bind_double(stmt, 7, createTime);
    const int rc = sqlite3_step(stmt);
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE)
        throw KvDbError(QString::fromUtf8(sqlite3_errmsg(connection.handle())));
}

StartedProgram::StartedProgram(const QString &folder) : FProgram(new TProgram(folder))
{
    mainFm().resize(600, 500);
    mainFm().show();
    // Reload and ready are posted by the first show.
    QTRY_VERIFY_WITH_TIMEOUT(mainFm().memosFrame() && mainFm().memosFrame()->FFocusedOnce, 10000);
}

StartedProgram::~StartedProgram()
{
    delete FProgram;
}

TmainFm &StartedProgram::mainFm() const
{
    return FProgram->mainFm();
}

TkvMemosFrame &StartedProgram::frame() const
{
    return *mainFm().memosFrame();
}

KvTreeNode *FindMemo(TkvMemosFrame &frame, const QString &mid)
{
    for (KvTreeNode *node = frame.VtMemos->firstNode(); node; node = frame.VtMemos->nextNode(node)) {
        if (node->data.mid == mid)
            return node;
    }
    return nullptr;
}

QPlainTextEdit *OpenEditor(TkvMemosFrame &frame)
{
    if (!QTest::qWaitFor([&] { return frame.VtMemos->isEditing(); }, 5000))
        return nullptr;
    return frame.VtMemos->findChild<QPlainTextEdit *>();
}

QStringList StoredMemoTexts(const QString &folder)
{
    KvConnection connection;
    connection.open(folder + QStringLiteral("kvData.kvb"));
    KvQuery query(connection);
    QStringList texts;
    for (OpenSql(query, Sql::SelectAllMemos()); !query.eof(); query.next())
        texts << query.fieldAsString("content");
    texts.sort();
    return texts;
}

int StoredExpandFlag(TmainFm &mainFm, const QString &mid)
{
    sqlite3_stmt *stmt = nullptr;
    sqlite3_prepare_v2(mainFm.connection().handle(), "select expandFlag from memos where mid=?", -1, &stmt, nullptr);
    const QByteArray id = mid.toUtf8();
    sqlite3_bind_text(stmt, 1, id.constData(), int(id.size()), SQLITE_TRANSIENT);
    const int flag = sqlite3_step(stmt) == SQLITE_ROW ? sqlite3_column_int(stmt, 0) : -1;
    sqlite3_finalize(stmt);
    return flag;
}
