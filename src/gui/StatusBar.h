// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QStatusBar>

class QLabel;

// A status bar of two panels: a narrow first panel that holds a picture, and a second one
// that takes the rest of the width for text. While sync is on, a third panel at the right
// end tells of its last round.
class StatusBar : public QStatusBar {
    Q_OBJECT
public:
    explicit StatusBar(QWidget *parent = nullptr);

    QLabel *imagePanel() const { return m_imagePanel; }
    void setPanelText(const QString &text);
    QString panelText() const;
    // An empty text hides the sync panel; the detail is its tip.
    void setSyncText(const QString &text, const QString &detail);
    QString syncText() const;

private:
    QLabel *m_imagePanel;
    QLabel *m_textPanel;
    QLabel *m_syncPanel;
};
