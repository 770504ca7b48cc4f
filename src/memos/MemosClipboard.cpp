// Memo texts to and from the clipboard.
#include "app/Fm_Main.h"
#include "app/pU_Funcs.h"
#include "memos/Fr_kvMemos.h"
#include "store/MemoId.h"
#include "tree/KvTreeText.h"
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
    // What is being typed is kept: the open edit is stored before the new memo comes.
    CommitOpenEdit();
    KvTreeNode *node = AddMemoNode(nullptr);
    TMemoInfo &memo = node->data;
    // Line breaks of any program become the CR LF that typed memos have.
    memo.content = TrimRightControls(KvTreeText::toCrLf(text));
    memo.mid = NewMemoId();
    memo.pid = QStringLiteral("root");
    memo.createTime = DateTimeNow();
    memo.editTime = DateTimeNow();
    VtMemos->invalidateNode(node);
    StoreOrReport(memo, true, [&] { InsertMemoRow(memo); });
    RefreshCommands();
}
