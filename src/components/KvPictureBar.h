#pragma once
#include <QImage>
#include <QPainter>
#include <QToolBar>
#include <QWidget>

// A bar drawn over a background picture stretched across its whole rectangle; its buttons
// and boxes draw on top as usual.
template <class Bar>
class KvPictureBar : public Bar {
public:
    using Bar::Bar;
    void setBackground(const QImage &picture)
    {
        FBackground = picture;
        this->update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        if (FBackground.isNull())
            painter.fillRect(this->rect(), this->palette().color(QPalette::Window));
        else
            painter.drawImage(this->rect(), FBackground);
    }

private:
    QImage FBackground;
};

using KvPictureToolBar = KvPictureBar<QToolBar>;
using KvPicturePanel = KvPictureBar<QWidget>;
