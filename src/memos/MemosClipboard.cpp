// Memo texts to and from the clipboard.
#include "app/Fm_Main.h"
#include "app/KvApplication.h"
#include "app/pU_Funcs.h"
#include "memos/Fr_kvMemos.h"
#include "store/MemoId.h"
#include "store/SqlCatalogue.h"
#include "tree/KvVirtualTree.h"
#include <QClipboard>
#include <QGuiApplication>

void TkvMemosFrame::Action_CopyMemoExecute()
{
    // Texts joined by a lone CR; empty texts at the start add nothing.
    QString text;
    for (KvTreeNode *memo : VtMemos->selectedNodes()) {
        if (!text.isEmpty())
            text += QLatin1Char('\r');
        text += memo->data.content;
    }
    if (!text.isEmpty())
        QGuiApplication::clipboard()->setText(text);
}

void TkvMemosFrame::Action_PasteMemoExecute()
{
    PasteAsMemo(QGuiApplication::clipboard()->text());
}

void TkvMemosFrame::PasteAsMemo(const QString &text)
{
    if (FEditNode) {
        // An editor not yet opened has nothing to cancel in the tree; end the edit the same way.
        if (!VtMemos->cancelEditNode())
            VtMemosEditCancelled();
    }
    KvTreeNode *node = VtMemos->addChild(nullptr);
    TMemoInfo &memo = node->data;
    memo.content = TrimRightControls(text);
    memo.mid = NewMemoId();
    memo.pid = QStringLiteral("root");
    memo.createTime = DateTimeNow();
    memo.editTime = DateTimeNow();
    VtMemos->setMultiline(node, true);
    VtMemos->setVerticalAlignment(node, 0);
    VtMemos->invalidateNode(node);
    try {
        ADOQuery1->close();
        ADOQuery1->clearSql();
        ADOQuery1->addSql(Sql::EmptyMemoForAppend());
        ADOQuery1->open();
        ADOQuery1->append();
        ADOQuery1->setField("mid", memo.mid);
        ADOQuery1->setField("pid", memo.pid);
        ADOQuery1->setField("content", memo.content);
        ADOQuery1->setField("createTime", memo.createTime);
        ADOQuery1->setField("editTime", memo.editTime);
        ADOQuery1->post();
    } catch (const std::exception &error) {
        // The memo stays in the tree without an id: its next edit stores it as a new memo.
        memo.mid.clear();
        ShowDefaultErrorBox(QString::fromUtf8(error.what()));
    }
    RefreshCommands();
}
