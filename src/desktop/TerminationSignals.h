// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QObject>
#include <array>
#include <csignal>

class QSocketNotifier;

// SIGTERM, SIGINT and SIGHUP (a session that ends programs without the session protocol,
// Ctrl+C, a closed terminal) reach the event loop as requested(), so that the program ends as
// its own Exit does instead of dropping what is being typed. The handler only writes a byte to
// a socket pair; a second signal while the first one's ending runs ends the process at once.
// One object at a time; the handlers found before come back when it goes.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject *parent = nullptr);
    ~TerminationSignals() override;
    TerminationSignals(const TerminationSignals &) = delete;
    TerminationSignals &operator=(const TerminationSignals &) = delete;

    // Signals are taken from construction on, but reach requested() only from here on, in the
    // event loop: a box of the start runs a loop of its own, which no quit could end for good.
    void start();

signals:
    void requested();

private:
    void takeSignal();

    std::array<int, 2> m_pair = {-1, -1};
    QSocketNotifier *m_notifier = nullptr;
    std::array<struct sigaction, 3> m_previous{};
};
