// SPDX-License-Identifier: GPL-3.0-or-later
// A signal reaches the event loop and nothing else; a second one ends the process at once.
#include "desktop/TerminationSignals.h"
#include <QSignalSpy>
#include <QtTest>
#include <sys/wait.h>
#include <unistd.h>

class TestTerminationSignals : public QObject {
    Q_OBJECT
private slots:
    void firstAsksSecondEnds();
};

void TestTerminationSignals::firstAsksSecondEnds()
{
    {
        TerminationSignals termination;
        termination.start();
        QSignalSpy requested(&termination, &TerminationSignals::requested);
        ::raise(SIGTERM);
        QVERIFY(requested.wait(5000));
        QCOMPARE(requested.size(), 1);
    }
    // In a child: the first signal is only noted, the second (the ending is stuck) ends it.
    const pid_t child = ::fork();
    if (child == 0) {
        TerminationSignals termination;
        ::raise(SIGHUP);
        ::raise(SIGHUP);
        ::_exit(0);
    }
    int status = 0;
    QCOMPARE(::waitpid(child, &status, 0), child);
    QVERIFY(WIFSIGNALED(status));
    QCOMPARE(WTERMSIG(status), SIGHUP);
}

QTEST_GUILESS_MAIN(TestTerminationSignals)
#include "tst_terminationsignals.moc"
