#include "exchange/KvProgress.h"
#include <QApplication>
#include <QProgressDialog>

KvProgress::KvProgress(const QString &label, qint64 total) : FLabel(label), FTotal(total)
{
    FClock.start();
}

KvProgress::~KvProgress() = default;

void KvProgress::setLabel(const QString &label, qint64 total)
{
    FLabel = label;
    FTotal = total;
    if (FDialog) {
        FDialog->setLabelText(label);
        FDialog->setRange(0, int(qMin<qint64>(total, INT_MAX)));
    }
}

void KvProgress::show()
{
    FDialog = std::make_unique<QProgressDialog>(FLabel, QString(), 0, int(qMin<qint64>(FTotal, INT_MAX)),
                                                QApplication::activeWindow());
    FDialog->setWindowTitle(QApplication::applicationDisplayName());
    FDialog->setWindowModality(Qt::ApplicationModal);
    FDialog->setMinimumDuration(0);
    FDialog->setAutoClose(false);
    FDialog->setAutoReset(false);
    FDialog->show();
}

void KvProgress::step(qint64 done)
{
    const qint64 now = FClock.elapsed();
    if (now - FLastPaint < kPaintEveryMs || now < kShowAfterMs)
        return;
    FLastPaint = now;
    if (!FDialog)
        show();
    FDialog->setValue(int(qMin<qint64>(done, FDialog->maximum())));
    // The dialog is modal: input reaches it alone, while every window repaints.
    QCoreApplication::processEvents();
}

void KvProgress::restartClock()
{
    if (FDialog)
        return;
    FClock.restart();
    FLastPaint = 0;
}
