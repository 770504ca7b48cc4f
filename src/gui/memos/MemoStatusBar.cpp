// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/memos/MemoStatusBar.h"
#include "gui/memos/MemoNode.h"
#include "gui/Artwork.h"
#include "core/MemoText.h"
#include "core/TimeStamp.h"
#include <QLabel>
#include <QRandomGenerator>

const QStringList MemoStatusBar::kTips = {
    QStringLiteral(QT_TR_NOOP("Ctrl+Enter: Finish edit.")),
    QStringLiteral(QT_TR_NOOP("Esc: Cancel edit.")),
    QStringLiteral(QT_TR_NOOP("Mouse double click blank: shortcut add.")),
    QStringLiteral(QT_TR_NOOP("Enter: add a new item.")),
    QStringLiteral(QT_TR_NOOP("Ctrl+Enter: add a new Child item.")),
    QStringLiteral(QT_TR_NOOP("Ctrl+F12: Minimize window.")),
};

MemoStatusBar::MemoStatusBar(QWidget *parent) : StatusBar(parent)
{
    setObjectName(QStringLiteral("statusBar"));
    imagePanel()->setPixmap(Artwork::bulbIcon().pixmap(16, 16));
    imagePanel()->setAccessibleName(tr("Tip"));
}

void MemoStatusBar::showSelection(TreeNode *node, int unsaved)
{
    if (unsaved > 0) {
        showUnsaved(unsaved); // until it is stored, nothing says more
    } else if (node) {
        setPanelText(dateAndTimeText(dateTimeToQDateTime(memoOf(node).createTime), true) + tr(" created"));
        imagePanel()->hide();
    } else {
        imagePanel()->show();
        showRandomTip();
    }
}

void MemoStatusBar::showUnsaved(int count)
{
    if (count > 0)
        setPanelText(tr("%n memo(s) not stored yet: stored as soon as the database takes them.", "", count));
    else
        showRandomTip();
}

void MemoStatusBar::showRandomTip()
{
    setPanelText(tr(kTips[QRandomGenerator::global()->bounded(int(kTips.size()))].toUtf8().constData()));
}
