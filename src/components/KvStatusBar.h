#pragma once
#include <QStatusBar>

class QLabel;

// A status bar of two panels: a narrow first panel that holds a picture, and a second one
// that takes the rest of the width for text.
class KvStatusBar : public QStatusBar {
    Q_OBJECT
public:
    explicit KvStatusBar(QWidget *parent = nullptr);

    QLabel *imagePanel() const { return FImagePanel; }
    void setPanelText(const QString &text);
    QString panelText() const;

private:
    QLabel *FImagePanel;
    QLabel *FTextPanel;
};
