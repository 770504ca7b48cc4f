// What each memo row shows: its text, list-view numbering, height, picture and order.
#include "app/Fm_Main.h"
#include "app/KvIniFile.h"
#include "app/pU_Funcs.h"
#include "memos/Fr_kvMemos.h"
#include "memos/MemoSettings.h"
#include "tree/KvTreeUpdate.h"
#include "tree/KvVirtualTree.h"
#include <QAction>
#include <algorithm>
#include <climits>

QString TkvMemosFrame::VtMemosGetText(KvTreeNode *node) const
{
    const QString &content = node->data.content;
    if (node == FEditNode)
        return content;
    if (content.isEmpty())
        return QStringLiteral("Input content here");
    if (!Action_ViewList->isChecked())
        return content;
    const QString body = node == FHoverNode ? content : FlattenLineBreaks(content);
    const QString number = QString::number(node->index() + 1);
    return node->level() > 0 ? QLatin1Char('(') + number + QLatin1String(") ") + body
                             : number + QLatin1String(". ") + body;
}

int TkvMemosFrame::VtMemosCompareNodes(KvTreeNode *node1, KvTreeNode *node2) const
{
    if (!node1 || !node2)
        return 0;
    // Only the letters a to z are folded; every other character compares by its code.
    const auto fold = [](char16_t c) { return c >= u'a' && c <= u'z' ? char16_t(c - 32) : c; };
    const QString &a = node1->data.content;
    const QString &b = node2->data.content;
    const qsizetype common = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < common; ++i) {
        const int difference = int(fold(a[i].unicode())) - int(fold(b[i].unicode()));
        if (difference != 0)
            return difference < 0 ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

void TkvMemosFrame::ShowSortDirection()
{
    // The button names the direction that a click switches to.
    Action_ViewAsc->setIcon(PngImageList_16[FSortAscending ? 8 : 7]);
    Action_ViewAsc->setToolTip(FSortAscending ? QStringLiteral("Descending Sort") : QStringLiteral("Ascending Sort"));
}

void TkvMemosFrame::Action_ViewAscExecute()
{
    FSortAscending = !FSortAscending;
    ShowSortDirection();
    VtMemos->sortTree(FSortAscending);
    KvIniFile(FMainFm->confPath()).writeBool(kMemoSection, kViewAscEn, FSortAscending);
}

void TkvMemosFrame::Action_ViewListExecute()
{
    if (FLoading)
        return;
    {
        const KvTreeUpdate update(*VtMemos);
        VtMemos->invalidateAll();
    }
    KvIniFile(FMainFm->confPath()).writeBool(kMemoSection, kViewListEn, Action_ViewList->isChecked());
}

void TkvMemosFrame::VtMemosMeasureItem(KvTreeNode *node, int &nodeHeight)
{
    if (!node)
        return;
    const int line = VtMemos->textHeight(node, QStringLiteral("l"));
    const bool oneLine = Action_ViewList->isChecked() && node != FHoverNode && node != FEditNode;
    const int base = oneLine ? line + 4 : VtMemos->textHeight(node, VtMemosGetText(node)) + 4;
    int minimum = line + 4;
    int maximum = INT_MAX;
    if (node == FEditNode) {
        // Room for the editor, but never more than the tree can show.
        minimum = 4 * line + 4;
        maximum = VtMemos->height() - line;
    }
    nodeHeight = std::min(std::max(base, minimum), maximum);
}

int TkvMemosFrame::VtMemosGetImageIndex(KvTreeNode *node) const
{
    return node->level() == 0 ? 0 : 21;
}

void TkvMemosFrame::VtMemosFreeNode(KvTreeNode *node)
{
    // The record goes with its node; only the frame's own references to it need clearing.
    if (node == FHoverNode)
        FHoverNode = nullptr;
    if (node == FEditNode)
        FEditNode = nullptr;
}
