// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QElapsedTimer>
#include <QString>
#include <memory>

class QProgressDialog;

// Progress of a long exchange run on the user-interface thread. Nothing shows for a short
// run; once a run lasts, a modal progress dialog appears and the windows are kept painted
// between steps. The dialog has no cancel button: a run ends only by finishing, by its own
// question (Abort) or by a failure, so what is stored is always what the run reports.
class ProgressDialog {
public:
    ProgressDialog(const QString &label, qint64 total); // total 0: no known end
    ~ProgressDialog();
    ProgressDialog(const ProgressDialog &) = delete;
    ProgressDialog &operator=(const ProgressDialog &) = delete;

    void setLabel(const QString &label, qint64 total);
    // Cheap enough to call for every record.
    void step(qint64 done);
    // The run waited for the user (a question, a message): that time is not the run's own,
    // so a short run that asked something still shows no progress.
    void restartClock();

    static constexpr int kShowAfterMs = 400;
    static constexpr int kPaintEveryMs = 50;

private:
    void show();
    QString m_label;
    qint64 m_total;
    QElapsedTimer m_clock;
    qint64 m_lastPaint = 0;
    std::unique_ptr<QProgressDialog> m_dialog;
};
