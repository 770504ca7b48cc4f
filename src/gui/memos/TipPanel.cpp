// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/memos/TipPanel.h"
#include "gui/Artwork.h"
#include <QEvent>
#include <QLabel>
#include <algorithm>

namespace {

struct Tip {
    const char *text;
    Artwork::Picture picture;
};

Tip tipOf(TipMode mode)
{
    switch (mode) {
    case TipMode::FinishEdit:
        return {QT_TRANSLATE_NOOP("TipPanel", "Click here to finish Edit. Press Esc cancel."), Artwork::Picture::FinishEdit};
    case TipMode::AddMemo:
        return {QT_TRANSLATE_NOOP("TipPanel", "Click here to Add a new Item."), Artwork::Picture::AddMemo};
    case TipMode::NoSearchResult:
        return {QT_TRANSLATE_NOOP("TipPanel", "Search no result"), Artwork::Picture::Tip};
    case TipMode::None:
        break;
    }
    return {"", Artwork::Picture::Tip};
}

} // namespace

TipPanel::TipPanel(QWidget *parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("tipPanel"));
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Sunken);
    setAutoFillBackground(true);
    m_image = new QLabel(this);
    m_image->setObjectName(QStringLiteral("tipImage"));
    m_image->setGeometry(4, 4, 16, 16);
    m_image->setPixmap(Artwork::listIcon(Artwork::Picture::Tip).pixmap(16, 16));
    m_image->setAccessibleName(tr("Tip"));
    m_label = new QLabel(this);
    m_label->setObjectName(QStringLiteral("tipLabel"));
    m_label->move(24, 4);
    m_label->setWordWrap(true);
    m_label->setCursor(Qt::PointingHandCursor);
    QFont font = m_label->font();
    font.setUnderline(true);
    m_label->setFont(font);
    QPalette palette = m_label->palette();
    palette.setColor(QPalette::WindowText, QColor(0, 0, 255));
    m_label->setPalette(palette);
    m_label->installEventFilter(this);
    hide();
}

void TipPanel::showTip(TipMode mode)
{
    m_mode = mode;
    if (mode == TipMode::None) {
        hide();
        m_label->clear();
        return;
    }
    if (QWidget *owner = parentWidget(); owner && width() < owner->width())
        resize(owner->width(), height()); // wrap for the width it will have
    setTipText();
    QPalette background = palette();
    background.setColor(QPalette::Window, QColor(255, 255, 225));
    setPalette(background);
    m_image->setPixmap(Artwork::listIcon(tipOf(mode).picture).pixmap(16, 16));
    show();
}

void TipPanel::setTipText()
{
    m_label->setFixedWidth(std::max(1, width() - m_label->x()));
    m_label->setText(tr(tipOf(m_mode).text));
    // A label never reports less than its minimum height: lift it, or a tip wrapped for a
    // narrow window would stay that tall when the window widens again.
    m_label->setMinimumHeight(0);
    m_label->setFixedHeight(m_label->heightForWidth(m_label->width()));
    setFixedHeight(m_label->height() + 8);
}

void TipPanel::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    if (isVisible() && m_mode != TipMode::None)
        setTipText();
}

bool TipPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_label && event->type() == QEvent::MouseButtonRelease)
        emit clicked(m_mode);
    return QFrame::eventFilter(watched, event);
}
