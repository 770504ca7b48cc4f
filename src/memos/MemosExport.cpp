// Export of the selected memos to an exchange file.
#include "app/Fm_Main.h"
#include "app/pU_Funcs.h"
#include "components/KvVersionInfo.h"
#include "exchange/ExchangeFile.h"
#include "exchange/pU_XmlTry.h"
#include "memos/Fr_kvMemos.h"
#include "tree/KvVirtualTree.h"

bool TkvMemosFrame::ExportSelection(const QString &fileName)
{
    const int bias = LocalBiasMinutes();
    Txmltry xml;
    Exchange::StartDocument(xml, FMainFm->KvVersionInfo1->GetValue(2), bias);
    pugi::xml_node memos = xml.FindNode(QStringLiteral("korvel,memos"));
    // A selected memo goes out as a top-level one; a top-level memo takes all its sub-memos
    // along, selected or not, so a selected sub-memo of a selected memo goes out twice.
    for (KvTreeNode *node : VtMemos->selectedNodes()) {
        Exchange::AppendMemo(memos, node->data, QStringLiteral("root"), bias);
        if (node->level() == 0) {
            for (int i = 0; i < node->childCount(); ++i)
                Exchange::AppendMemo(memos, node->child(i)->data, node->child(i)->data.pid, bias);
        }
    }
    try {
        xml.SaveToFile(fileName);
    } catch (const std::exception &) {
        ErrorBox(QStringLiteral("File Write Failure !"));
        return false;
    }
    return true;
}

void TkvMemosFrame::Action_ExportExecute()
{
    if (FEditNode)
        return;
    if (!VtMemos->firstSelected()) {
        WarningBox(QStringLiteral("Please select a memo!"));
        return;
    }
    if (FMainFm->ExportDialog.Execute())
        ExportSelection(FMainFm->ExportDialog.FileName);
}
