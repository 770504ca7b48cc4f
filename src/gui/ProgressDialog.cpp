// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/ProgressDialog.h"
#include <QApplication>
#include <QProgressDialog>

ProgressDialog::ProgressDialog(const QString &label, qint64 total) : m_label(label), m_total(total)
{
    m_clock.start();
}

ProgressDialog::~ProgressDialog() = default;

void ProgressDialog::setLabel(const QString &label, qint64 total)
{
    m_label = label;
    m_total = total;
    if (m_dialog) {
        m_dialog->setLabelText(label);
        m_dialog->setRange(0, int(qMin<qint64>(total, INT_MAX)));
    }
}

void ProgressDialog::show()
{
    m_dialog = std::make_unique<QProgressDialog>(m_label, QString(), 0, int(qMin<qint64>(m_total, INT_MAX)),
                                                QApplication::activeWindow());
    m_dialog->setWindowTitle(QApplication::applicationDisplayName());
    m_dialog->setWindowModality(Qt::ApplicationModal);
    m_dialog->setMinimumDuration(0);
    m_dialog->setAutoClose(false);
    m_dialog->setAutoReset(false);
    m_dialog->show();
}

void ProgressDialog::step(qint64 done)
{
    const qint64 now = m_clock.elapsed();
    if (now - m_lastPaint < kPaintEveryMs || now < kShowAfterMs)
        return;
    m_lastPaint = now;
    if (!m_dialog)
        show();
    m_dialog->setValue(int(qMin<qint64>(done, m_dialog->maximum())));
    // The dialog is modal: input reaches it alone, while every window repaints.
    QCoreApplication::processEvents();
}

void ProgressDialog::restartClock()
{
    if (m_dialog)
        return;
    m_clock.restart();
    m_lastPaint = 0;
}
