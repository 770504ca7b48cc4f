#include "gui/ExchangeCommands.h"
#include "gui/MainWindow.h"
#include "core/IsoTime.h"
#include "gui/Prompts.h"
#include "core/VersionInfo.h"
#include "core/ExchangeFile.h"
#include "gui/ProgressDialog.h"
#include "core/XmlNavigator.h"
#include "core/MemoStore.h"

ExchangeCommands::ExchangeCommands(MainWindow *mainWindow, MemoStore &store)
    : QObject(mainWindow),
      //: A file filter, "description|patterns|...": only the descriptions are translated.
      m_openDialog(FileRequest::Kind::Open, tr("Korvel Database, (*.kvx)|*.kvx"), QStringLiteral("kvx")),
      m_mainWindow(mainWindow), m_store(store)
{
}

ExchangeCommands::~ExchangeCommands() = default;

bool ExchangeCommands::backupDatabase()
{
    if (!m_mainWindow->exportDialog().execute())
        return false;
    ProgressDialog progress(tr("Backing up the database..."), 0);
    const int bias = localBiasMinutes();
    XmlNavigator xml;
    Exchange::startDocument(xml, m_mainWindow->versionInfo()->getValue(2), bias);

    pugi::xml_node memos = xml.findNode(QStringLiteral("korvel,memos"));
    qint64 done = 0;
    for (const Memo &memo : m_store.allMemos()) {
        Exchange::appendMemo(memos, memo, memo.pid, bias);
        progress.step(++done);
    }
    pugi::xml_node tasks = xml.findNode(QStringLiteral("korvel,tasks"));
    for (const Task &task : m_store.allTasks()) {
        Exchange::appendTask(tasks, task, bias);
        progress.step(++done);
    }

    try {
        xml.saveToFile(m_mainWindow->exportDialog().fileName(), [&progress](qint64 written) { progress.step(written); });
    } catch (const std::exception &) {
        errorBox(tr("File write failure!"));
        return false;
    }
    return true;
}
