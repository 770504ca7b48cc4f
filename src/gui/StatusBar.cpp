// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/StatusBar.h"
#include <QLabel>

StatusBar::StatusBar(QWidget *parent)
    : QStatusBar(parent), m_imagePanel(new QLabel(this)), m_textPanel(new QLabel(this)), m_syncPanel(new QLabel(this))
{
    setSizeGripEnabled(false);
    setFixedHeight(20);
    m_imagePanel->setFixedSize(21, 16);
    m_imagePanel->setAlignment(Qt::AlignCenter);
    m_textPanel->setMinimumWidth(50);
    m_textPanel->setTextFormat(Qt::PlainText);
    addWidget(m_imagePanel);
    addWidget(m_textPanel, 1);
    m_syncPanel->setObjectName(QStringLiteral("syncStatus"));
    m_syncPanel->setTextFormat(Qt::PlainText);
    m_syncPanel->hide();
    addPermanentWidget(m_syncPanel);
}

void StatusBar::setPanelText(const QString &text)
{
    m_textPanel->setText(text);
}

QString StatusBar::panelText() const
{
    return m_textPanel->text();
}

void StatusBar::setSyncText(const QString &text, const QString &detail)
{
    m_syncPanel->setText(text);
    m_syncPanel->setToolTip(detail);
    m_syncPanel->setAccessibleDescription(detail);
    m_syncPanel->setVisible(!text.isEmpty());
}

QString StatusBar::syncText() const
{
    return m_syncPanel->text();
}
