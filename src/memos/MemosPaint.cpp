// How memo rows are drawn: placeholder style, row backgrounds and the hover view of list view.
#include "app/Fm_Main.h"
#include "memos/Fr_kvMemos.h"
#include "tree/KvVirtualTree.h"
#include <QAction>
#include <QPainter>
#include <QTimer>

void TkvMemosFrame::VtMemosPaintText(KvTreeNode *node, QFont &font, QColor &colour) const
{
    if (node != FEditNode && node->data.content.isEmpty()) {
        colour = palette().color(QPalette::PlaceholderText);
        font.setItalic(true);
    }
}

void TkvMemosFrame::VtMemosBeforeCellPaint(QPainter &painter, KvTreeNode *node, const QRect &cellRect) const
{
    if (!node)
        return;
    if (node == FEditNode) {
        painter.fillRect(cellRect, VtMemos->palette().color(QPalette::Base)); // plain under the editor
    } else if (node == VtMemos->hotNode()) {
        painter.fillRect(cellRect, palette().color(QPalette::ToolTipBase));
    } else if (node->level() > 0) {
        painter.drawImage(cellRect, FMainFm->FGroupBackground);
    } else {
        // Siblings hidden by a search count too, so a memo keeps its colour while filtering.
        painter.drawImage(cellRect, node->index() % 2 == 0 ? FMainFm->FItemBackground0 : FMainFm->FItemBackground1);
    }
}

void TkvMemosFrame::VtMemosHotChange(KvTreeNode *, KvTreeNode *newNode)
{
    if (!Action_ViewList->isChecked())
        return;
    Timer_HotDelay->stop();
    if (newNode)
        Timer_HotDelay->start();
}

void TkvMemosFrame::Timer_HotDelayTimer()
{
    Timer_HotDelay->stop();
    KvTreeNode *hot = VtMemos->hotNode();
    if (hot == FHoverNode)
        return;
    KvTreeNode *old = FHoverNode;
    FHoverNode = hot;
    if (hot)
        VtMemos->invalidateNode(hot);
    if (old)
        VtMemos->invalidateNode(old);
}
