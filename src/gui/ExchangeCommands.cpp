#include "gui/ExchangeCommands.h"
#include "gui/MainWindow.h"
#include "core/IsoTime.h"
#include "gui/Prompts.h"
#include "core/VersionInfo.h"
#include "core/ExchangeFile.h"
#include "gui/ProgressDialog.h"
#include "core/XmlNavigator.h"
#include "core/Query.h"
#include "core/SqlCatalogue.h"

ExchangeCommands::ExchangeCommands(MainWindow *mainWindow)
    : QObject(mainWindow),
      m_openDialog(FileRequest::Kind::Open, QStringLiteral("Korvel Database, (*.kvx)|*.kvx"), QStringLiteral("kvx")),
      m_mainWindow(mainWindow), m_query(std::make_unique<Query>(mainWindow->connection()))
{
}

ExchangeCommands::~ExchangeCommands() = default;

namespace {

// The query is left closed however a run ends: it must not outlive the connection open.
struct CloseAtEnd {
    Query &query;
    ~CloseAtEnd() { query.close(); }
};

} // namespace

bool ExchangeCommands::backupDatabase()
{
    if (!m_mainWindow->exportDialog().execute())
        return false;
    ProgressDialog progress(QStringLiteral("Backing up the database..."), 0);
    const int bias = localBiasMinutes();
    XmlNavigator xml;
    Exchange::startDocument(xml, m_mainWindow->versionInfo()->getValue(2), bias);

    pugi::xml_node memos = xml.findNode(QStringLiteral("korvel,memos"));
    const CloseAtEnd closeAtEnd{*m_query};
    Memo memo;
    qint64 done = 0;
    for (openSql(*m_query, Sql::selectAllMemos()); !m_query->eof(); m_query->next()) {
        memo.mid = m_query->fieldAsString("mid");
        memo.content = m_query->fieldAsString("content");
        memo.assignTime = m_query->fieldAsDateTime("assignTime");
        memo.createTime = m_query->fieldAsDateTime("createTime");
        memo.editTime = m_query->fieldAsDateTime("editTime");
        Exchange::appendMemo(memos, memo, m_query->fieldAsString("pid"), bias);
        progress.step(++done);
    }
    pugi::xml_node tasks = xml.findNode(QStringLiteral("korvel,tasks"));
    for (openSql(*m_query, Sql::selectAllTasks()); !m_query->eof(); m_query->next()) {
        Exchange::appendTask(tasks, *m_query, bias);
        progress.step(++done);
    }
    m_query->close();

    try {
        xml.saveToFile(m_mainWindow->exportDialog().fileName(), [&progress](qint64 written) { progress.step(written); });
    } catch (const std::exception &) {
        errorBox(QStringLiteral("File write failure!"));
        return false;
    }
    return true;
}
