#include "exchange/Dm_Io.h"
#include "app/Fm_Main.h"
#include "app/pU_Funcs.h"
#include "components/KvVersionInfo.h"
#include "exchange/ExchangeFile.h"
#include "exchange/KvProgress.h"
#include "exchange/pU_XmlTry.h"
#include "store/KvQuery.h"
#include "store/SqlCatalogue.h"

TIoDm::TIoDm(TmainFm *mainFm)
    : QObject(mainFm),
      OpenDialog1(KvFileRequest::Kind::Open, QStringLiteral("Korvel Database, (*.kvx)|*.kvx"), QStringLiteral("kvx")),
      FMainFm(mainFm), ADOQuery1(std::make_unique<KvQuery>(mainFm->connection()))
{
}

TIoDm::~TIoDm() = default;

namespace {

// The query is left closed however a run ends: it must not outlive the connection open.
struct CloseAtEnd {
    KvQuery &query;
    ~CloseAtEnd() { query.close(); }
};

} // namespace

bool TIoDm::BackupDatabase()
{
    if (!FMainFm->ExportDialog.Execute())
        return false;
    KvProgress progress(QStringLiteral("Backing up the database..."), 0);
    const int bias = LocalBiasMinutes();
    Txmltry xml;
    Exchange::StartDocument(xml, FMainFm->KvVersionInfo1->GetValue(2), bias);

    pugi::xml_node memos = xml.FindNode(QStringLiteral("korvel,memos"));
    const CloseAtEnd closeAtEnd{*ADOQuery1};
    TMemoInfo memo;
    qint64 done = 0;
    for (OpenSql(*ADOQuery1, Sql::SelectAllMemos()); !ADOQuery1->eof(); ADOQuery1->next()) {
        memo.mid = ADOQuery1->fieldAsString("mid");
        memo.content = ADOQuery1->fieldAsString("content");
        memo.assignTime = ADOQuery1->fieldAsDateTime("assignTime");
        memo.createTime = ADOQuery1->fieldAsDateTime("createTime");
        memo.editTime = ADOQuery1->fieldAsDateTime("editTime");
        Exchange::AppendMemo(memos, memo, ADOQuery1->fieldAsString("pid"), bias);
        progress.step(++done);
    }
    pugi::xml_node tasks = xml.FindNode(QStringLiteral("korvel,tasks"));
    for (OpenSql(*ADOQuery1, Sql::SelectAllTasks()); !ADOQuery1->eof(); ADOQuery1->next()) {
        Exchange::AppendTask(tasks, *ADOQuery1, bias);
        progress.step(++done);
    }
    ADOQuery1->close();

    try {
        xml.SaveToFile(FMainFm->ExportDialog.FileName, [&progress](qint64 written) { progress.step(written); });
    } catch (const std::exception &) {
        ErrorBox(QStringLiteral("File write failure!"));
        return false;
    }
    return true;
}
