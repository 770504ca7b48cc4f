// Loading the whole memo list from the database.
#include "gui/MainWindow.h"
#include "gui/Application.h"
#include "core/SettingsFile.h"
#include "core/Query.h"
#include "gui/MemoPane.h"
#include "core/MemoSettingsKeys.h"
#include "core/SqlCatalogue.h"
#include "treeview/TreeUpdateGuard.h"
#include "treeview/MemoTree.h"
#include <QAction>
#include <QLineEdit>
#include <QMenuBar>

void MemoPane::reloadMemos()
{
    // What is being typed is stored before the list it belongs to is read again.
    commitOpenEdit();
    m_loading = true;
    m_focusedOnce = false;
    m_hoverNode = nullptr;
    m_editNode = nullptr;
    m_tree->clear();

    const SettingsFile ini(m_mainWindow->confPath());
    m_sortAscending = ini.readBool(kMemoSection, kViewAscEn, true);
    showSortDirection();
    m_listViewAction->setChecked(ini.readBool(kMemoSection, kViewListEn, false));
    m_wideSearchAction->setChecked(ini.readBool(kMemoSection, kSearchWideEn, false));

    m_mainWindow->usage().privateMemos = countMemos();
    m_mainWindow->usage().publicMemos = 0;
    try {
        const SettingsFile log(m_mainWindow->confPath());
        log.writeInteger(kLogSection, QStringLiteral("privateMemos"), m_mainWindow->usage().privateMemos);
        log.writeInteger(kLogSection, QStringLiteral("publicMemos"), m_mainWindow->usage().publicMemos);
    } catch (const std::exception &error) {
        // Usage figures that cannot be written must not keep the memos from being shown.
        showDefaultErrorBox(QString::fromUtf8(error.what()));
    }
    m_loading = false;

    loadMemos();
    applyFilter();
    refreshCommands();
    setSearchIdle();
    m_tree->setHint(QStringLiteral("Double click to add a Memo!"));
    showRandomStatusTip();
}

void MemoPane::loadMemos()
{
    // One layout for the whole load, also when a row fails to read.
    const TreeUpdateGuard update(*m_tree);
    const auto fill = [](TreeNode *node, const Query &query) {
        node->memo.mid = query.fieldAsString("mid");
        node->memo.pid = query.fieldAsString("pid");
        node->memo.content = query.fieldAsString("content");
        node->memo.expandFlag = query.fieldAsBool("expandFlag");
        node->memo.assignTime = query.fieldAsDateTime("assignTime");
        node->memo.createTime = query.fieldAsDateTime("createTime");
        node->memo.editTime = query.fieldAsDateTime("editTime");
    };

    openSql(*m_query, Sql::selectMemosByPid(QStringLiteral("root")));
    for (; !m_query->eof(); m_query->next()) {
        TreeNode *memo = addMemoNode(nullptr);
        fill(memo, *m_query);
        openSql(*m_childQuery, Sql::selectMemosByPid(memo->memo.mid));
        for (; !m_childQuery->eof(); m_childQuery->next())
            fill(addMemoNode(memo), *m_childQuery);
        m_tree->setExpanded(memo, memo->memo.expandFlag);
    }
}

qint64 MemoPane::countMemos()
{
    openSql(*m_query, Sql::countMemos());
    return m_query->fieldAsInteger("cnt");
}

void MemoPane::memosReady()
{
    m_mainWindow->setMenuBar(m_menuBar);
    m_menuBar->show();
    m_tree->sortTree(m_sortAscending);
    if (!m_focusedOnce) {
        m_tree->setFocus();
        m_focusedOnce = true;
    }
}
