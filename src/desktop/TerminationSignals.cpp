// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/TerminationSignals.h"
#include <QSocketNotifier>
#include <cerrno>
#include <sys/socket.h>
#include <unistd.h>

namespace {
constexpr std::array<int, 3> kSignals = {SIGTERM, SIGINT, SIGHUP};

// Written by the handler, read by the event loop; the handler touches nothing else.
int gWriteEnd = -1;
volatile std::sig_atomic_t gReceived = 0;

void onSignal(int number)
{
    if (gReceived) {
        // The first ending is stuck (a box nobody answers, a disk that hangs): end now.
        std::signal(number, SIG_DFL);
        std::raise(number);
        return;
    }
    gReceived = 1;
    const int savedErrno = errno;
    const char byte = char(number);
    [[maybe_unused]] const ssize_t written = ::write(gWriteEnd, &byte, 1);
    errno = savedErrno;
}
} // namespace

TerminationSignals::TerminationSignals(QObject *parent) : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, m_pair.data()) != 0)
        return; // the program still ends by Exit; a signal then ends it as it would anyway
    gWriteEnd = m_pair[0];
    gReceived = 0;
    m_notifier = new QSocketNotifier(m_pair[1], QSocketNotifier::Read, this);
    m_notifier->setEnabled(false);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::takeSignal);
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (size_t i = 0; i < kSignals.size(); ++i)
        sigaction(kSignals[i], &action, &m_previous[i]);
}

TerminationSignals::~TerminationSignals()
{
    if (!m_notifier)
        return;
    for (size_t i = 0; i < kSignals.size(); ++i)
        sigaction(kSignals[i], &m_previous[i], nullptr);
    gWriteEnd = -1;
    delete m_notifier;
    ::close(m_pair[0]);
    ::close(m_pair[1]);
}

void TerminationSignals::start()
{
    if (m_notifier)
        m_notifier->setEnabled(true);
}

void TerminationSignals::takeSignal()
{
    char byte = 0;
    if (::read(m_pair[1], &byte, 1) == 1)
        emit requested();
}
