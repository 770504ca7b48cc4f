#include "components/KvStatusBar.h"
#include <QLabel>

KvStatusBar::KvStatusBar(QWidget *parent)
    : QStatusBar(parent), FImagePanel(new QLabel(this)), FTextPanel(new QLabel(this))
{
    setSizeGripEnabled(false);
    setFixedHeight(20);
    FImagePanel->setFixedSize(21, 16);
    FImagePanel->setAlignment(Qt::AlignCenter);
    FTextPanel->setMinimumWidth(50);
    FTextPanel->setTextFormat(Qt::PlainText);
    addWidget(FImagePanel);
    addWidget(FTextPanel, 1);
}

void KvStatusBar::setPanelText(const QString &text)
{
    FTextPanel->setText(text);
}

QString KvStatusBar::panelText() const
{
    return FTextPanel->text();
}
