// Loading the whole memo list from the database.
#include "app/Fm_Main.h"
#include "app/KvApplication.h"
#include "app/KvIniFile.h"
#include "app/pU_Funcs.h"
#include "memos/Fr_kvMemos.h"
#include "memos/MemoSettings.h"
#include "store/SqlCatalogue.h"
#include "tree/KvTreeUpdate.h"
#include "tree/KvVirtualTree.h"
#include <QAction>
#include <QLineEdit>
#include <QMenuBar>

void TkvMemosFrame::ReloadMemos()
{
    // What is being typed is stored before the list it belongs to is read again.
    CommitOpenEdit();
    FLoading = true;
    FFocusedOnce = false;
    FHoverNode = nullptr;
    FEditNode = nullptr;
    VtMemos->clear();

    const KvIniFile ini(FMainFm->confPath());
    FSortAscending = ini.readBool(kMemoSection, kViewAscEn, true);
    ShowSortDirection();
    Action_ViewList->setChecked(ini.readBool(kMemoSection, kViewListEn, false));
    Action_searchWide->setChecked(ini.readBool(kMemoSection, kSearchWideEn, false));

    FMainFm->FPrivateMemos = CountMemos();
    FMainFm->FPublicMemos = 0;
    try {
        const KvIniFile log(FMainFm->confPath());
        log.writeInteger(kLogSection, QStringLiteral("privateMemos"), FMainFm->FPrivateMemos);
        log.writeInteger(kLogSection, QStringLiteral("publicMemos"), FMainFm->FPublicMemos);
    } catch (const std::exception &error) {
        // Usage figures that cannot be written must not keep the memos from being shown.
        ShowDefaultErrorBox(QString::fromUtf8(error.what()));
    }
    FLoading = false;

    LoadMemos();
    ApplyFilter();
    RefreshCommands();
    SetSearchIdle();
    VtMemos->setHint(QStringLiteral("Double click to add a Memo!"));
    ShowRandomStatusTip();
}

void TkvMemosFrame::LoadMemos()
{
    // One layout for the whole load, also when a row fails to read.
    const KvTreeUpdate update(*VtMemos);
    const auto fill = [](KvTreeNode *node, const KvQuery &query) {
        node->data.mid = query.fieldAsString("mid");
        node->data.pid = query.fieldAsString("pid");
        node->data.content = query.fieldAsString("content");
        node->data.expandFlag = query.fieldAsBool("expandFlag");
        node->data.assignTime = query.fieldAsDateTime("assignTime");
        node->data.createTime = query.fieldAsDateTime("createTime");
        node->data.editTime = query.fieldAsDateTime("editTime");
    };

    OpenSql(*ADOQuery1, Sql::SelectMemosByPid(QStringLiteral("root")));
    for (; !ADOQuery1->eof(); ADOQuery1->next()) {
        KvTreeNode *memo = AddMemoNode(nullptr);
        fill(memo, *ADOQuery1);
        OpenSql(*ADOQuery2, Sql::SelectMemosByPid(memo->data.mid));
        for (; !ADOQuery2->eof(); ADOQuery2->next())
            fill(AddMemoNode(memo), *ADOQuery2);
        VtMemos->setExpanded(memo, memo->data.expandFlag);
    }
}

qint64 TkvMemosFrame::CountMemos()
{
    OpenSql(*ADOQuery1, Sql::CountMemos());
    return ADOQuery1->fieldAsInteger("cnt");
}

void TkvMemosFrame::MemosReady()
{
    FMainFm->setMenuBar(MainMenu1);
    MainMenu1->show();
    VtMemos->sortTree(FSortAscending);
    if (!FFocusedOnce) {
        VtMemos->setFocus();
        FFocusedOnce = true;
    }
}
