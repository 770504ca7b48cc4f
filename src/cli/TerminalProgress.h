// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QElapsedTimer>
#include <QString>

// Progress of a long run on standard error: shown only when it is a terminal and once the
// run has lasted a second, so that scripts and short runs see nothing of it.
class TerminalProgress {
public:
    explicit TerminalProgress(const QString &label);
    ~TerminalProgress();
    TerminalProgress(const TerminalProgress &) = delete;
    TerminalProgress &operator=(const TerminalProgress &) = delete;

    void setLabel(const QString &label, qint64 total);
    void step(qint64 done);
    // Time spent waiting for the user is not the run's.
    void restartClock();

private:
    void clearLine();

    QString m_label;
    qint64 m_total = 0;
    bool m_terminal;
    bool m_shown = false;
    QElapsedTimer m_clock;
    qint64 m_lastShownMs = 0;
};
