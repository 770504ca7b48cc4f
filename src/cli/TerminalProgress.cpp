// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/TerminalProgress.h"
#include <cstdio>
#include <unistd.h>

namespace {
constexpr qint64 kQuietMs = 1000;  // a run shorter than this shows nothing
constexpr qint64 kRefreshMs = 200; // the line is redrawn at most this often
} // namespace

TerminalProgress::TerminalProgress(const QString &label) : m_label(label), m_terminal(isatty(STDERR_FILENO) == 1)
{
    m_clock.start();
}

TerminalProgress::~TerminalProgress()
{
    clearLine();
}

void TerminalProgress::setLabel(const QString &label, qint64 total)
{
    m_label = label;
    m_total = total;
}

void TerminalProgress::step(qint64 done)
{
    if (!m_terminal)
        return;
    const qint64 elapsed = m_clock.elapsed();
    if (elapsed < kQuietMs || (m_shown && elapsed - m_lastShownMs < kRefreshMs))
        return;
    m_lastShownMs = elapsed;
    m_shown = true;
    const QString figure = m_total > 0 ? QStringLiteral("%1%").arg(qMin<qint64>(100, done * 100 / m_total))
                                       : QString::number(done);
    std::fprintf(stderr, "\r\033[K%s %s", m_label.toLocal8Bit().constData(), figure.toLocal8Bit().constData());
    std::fflush(stderr);
}

void TerminalProgress::restartClock()
{
    clearLine();
    m_clock.restart();
}

void TerminalProgress::clearLine()
{
    if (!m_shown)
        return;
    std::fputs("\r\033[K", stderr);
    std::fflush(stderr);
    m_shown = false;
}
