// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "gui/memos/TipMode.h"
#include <QFrame>

class QLabel;

// The tip panel above the search bar: a picture and one underlined line of text, wrapped to
// the panel's width.
class TipPanel : public QFrame {
    Q_OBJECT
public:
    explicit TipPanel(QWidget *parent);

    // Shows the tip of mode, or hides the panel for TipMode::None.
    void showTip(TipMode mode);
    TipMode mode() const { return m_mode; }

signals:
    void clicked(TipMode mode);

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setTipText();

    QLabel *m_image;
    QLabel *m_label;
    TipMode m_mode = TipMode::None;
};
