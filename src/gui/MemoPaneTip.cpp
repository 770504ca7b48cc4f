// SPDX-License-Identifier: GPL-3.0-or-later
// The tip panel above the search bar.
#include "gui/MemoPane.h"
#include "treeview/MemoTree.h"
#include <QFrame>
#include <QLabel>
#include <algorithm>

const QStringList MemoPane::kTipTexts = {
    QString(),
    QStringLiteral(QT_TR_NOOP("Click here to finish Edit. Press Esc cancel.")),
    QStringLiteral(QT_TR_NOOP("Click here to Add a new Item.")),
    QStringLiteral(QT_TR_NOOP("Search no result")),
};
const int MemoPane::kTipImages[4] = {-1, 14, 13, 17};

void MemoPane::showTip(int mode)
{
    if (mode == 0 && !hasVisibleMemo())
        mode = 2;
    m_tipMode = mode;
    if (mode <= 0) {
        m_tipPanel->hide();
        m_tipLabel->clear();
        return;
    }
    if (m_tipPanel->width() < width())
        m_tipPanel->resize(width(), m_tipPanel->height()); // wrap for the width it will have
    setTipText();
    QPalette palette = m_tipPanel->palette();
    palette.setColor(QPalette::Window, QColor(255, 255, 225));
    m_tipPanel->setPalette(palette);
    m_tipImage->setPixmap(m_images[size_t(kTipImages[mode])].pixmap(16, 16));
    m_tipPanel->show();
}

void MemoPane::setTipText()
{
    m_tipLabel->setFixedWidth(std::max(1, m_tipPanel->width() - m_tipLabel->x()));
    m_tipLabel->setText(tr(kTipTexts[m_tipMode].toUtf8().constData()));
    // A label never reports less than its minimum height: lift it, or a tip wrapped for a
    // narrow window would stay that tall when the window widens again.
    m_tipLabel->setMinimumHeight(0);
    m_tipLabel->setFixedHeight(m_tipLabel->heightForWidth(m_tipLabel->width()));
    m_tipPanel->setFixedHeight(m_tipLabel->height() + 8);
}

void MemoPane::tipPanelResized()
{
    if (m_tipPanel->isVisible() && m_tipMode > 0)
        setTipText();
}

void MemoPane::tipClicked()
{
    switch (m_tipMode) {
    case 1:
        commitOpenEdit();
        break;
    case 2:
        addMemo();
        break;
    case 3:
        searchButtonClicked();
        break;
    default:
        break;
    }
}
