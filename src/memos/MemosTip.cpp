// The tip panel above the search bar.
#include "memos/Fr_kvMemos.h"
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
    label_tip->setFixedWidth(std::max(Panel_tip->width(), width()) - label_tip->x());
    label_tip->setText(TipTexts[mode]);
    label_tip->adjustSize();
    QPalette palette = Panel_tip->palette();
    palette.setColor(QPalette::Window, QColor(255, 255, 225));
    Panel_tip->setPalette(palette);
    Panel_tip->setFixedHeight(label_tip->height() + 8);
    Image_Tip->setPixmap(PngImageList_16[size_t(TipImages[mode])].pixmap(16, 16));
    Panel_tip->show();
}
