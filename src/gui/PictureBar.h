// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QImage>
#include <QPainter>
#include <QToolBar>
#include <QWidget>

// A bar drawn over a background picture stretched across its whole rectangle; its buttons
// and boxes draw on top as usual.
template <class Bar>
class PictureBar : public Bar {
public:
    using Bar::Bar;
    void setBackground(const QImage &picture)
    {
        m_background = picture;
        this->update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        if (m_background.isNull())
            painter.fillRect(this->rect(), this->palette().color(QPalette::Window));
        else
            painter.drawImage(this->rect(), m_background);
    }

private:
    QImage m_background;
};

using PictureToolBar = PictureBar<QToolBar>;
using PicturePanel = PictureBar<QWidget>;
