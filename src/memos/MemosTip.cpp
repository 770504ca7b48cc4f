// The tip panel above the search bar.
#include "memos/Fr_kvMemos.h"
#include "tree/KvVirtualTree.h"
#include <QFrame>
#include <QLabel>
#include <algorithm>

const QStringList TkvMemosFrame::TipTexts = {
    QString(),
    QStringLiteral("Click here to finish Edit. Press Esc cancel."),
    QStringLiteral("Click here to Add a new Item."),
    QStringLiteral("Search no result"),
};
const int TkvMemosFrame::TipImages[4] = {-1, 14, 13, 17};

void TkvMemosFrame::ShowTip(int mode)
{
    if (mode == 0 && !HasVisibleMemo())
        mode = 2;
    FTipMode = mode;
    if (mode <= 0) {
        Panel_tip->hide();
        label_tip->clear();
        return;
    }
    if (Panel_tip->width() < width())
        Panel_tip->resize(width(), Panel_tip->height()); // wrap for the width it will have
    SetTipText();
    QPalette palette = Panel_tip->palette();
    palette.setColor(QPalette::Window, QColor(255, 255, 225));
    Panel_tip->setPalette(palette);
    Image_Tip->setPixmap(PngImageList_16[size_t(TipImages[mode])].pixmap(16, 16));
    Panel_tip->show();
}

void TkvMemosFrame::SetTipText()
{
    label_tip->setFixedWidth(std::max(1, Panel_tip->width() - label_tip->x()));
    label_tip->setText(TipTexts[FTipMode]);
    // A label never reports less than its minimum height: lift it, or a tip wrapped for a
    // narrow window would stay that tall when the window widens again.
    label_tip->setMinimumHeight(0);
    label_tip->setFixedHeight(label_tip->heightForWidth(label_tip->width()));
    Panel_tip->setFixedHeight(label_tip->height() + 8);
}

void TkvMemosFrame::Panel_tipResize()
{
    if (Panel_tip->isVisible() && FTipMode > 0)
        SetTipText();
}

void TkvMemosFrame::label_tipClick()
{
    switch (FTipMode) {
    case 1:
        CommitOpenEdit();
        break;
    case 2:
        Action_MemoAddExecute();
        break;
    case 3:
        Btn_SearchClick();
        break;
    default:
        break;
    }
}
