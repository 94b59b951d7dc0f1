#include <QSignalSpy>
#include <QTest>

#include <csignal>

#include <sys/wait.h>
#include <unistd.h>

#include "terminationwatcher.h"

class TestTerminationWatcher : public QObject
{
    Q_OBJECT
private slots:
    void signalArrivesThroughTheLoop_data();
    void signalArrivesThroughTheLoop();
    void secondSignalEndsAtOnce();
};

void TestTerminationWatcher::signalArrivesThroughTheLoop_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("SIGTERM") << SIGTERM;
    QTest::newRow("SIGINT") << SIGINT;
}

void TestTerminationWatcher::signalArrivesThroughTheLoop()
{
    QFETCH(int, signalNumber);
    CTerminationWatcher watcher;
    QSignalSpy requested(&watcher, &CTerminationWatcher::TerminationRequested);
    QVERIFY(!watcher.Requested());

    QCOMPARE(raise(signalNumber), 0);
    // The process is still here, and nothing has run inside the handler: only the loop tells.
    QCOMPARE(requested.count(), 0);
    QVERIFY(requested.wait(2000));
    QCOMPARE(requested.count(), 1);
    QVERIFY(watcher.Requested());
    QTest::qWait(50);
    QCOMPARE(requested.count(), 1);
}

// A program that hangs while it quits can still be stopped by asking again.
void TestTerminationWatcher::secondSignalEndsAtOnce()
{
    const pid_t child = fork();
    QVERIFY(child >= 0);
    if (child == 0) {
        CTerminationWatcher watcher;
        raise(SIGTERM);
        raise(SIGTERM);
        _exit(0);
    }
    int status = 0;
    QCOMPARE(waitpid(child, &status, 0), child);
    QVERIFY2(WIFSIGNALED(status), "the second SIGTERM did not end the process");
    QCOMPARE(WTERMSIG(status), SIGTERM);
}

QTEST_GUILESS_MAIN(TestTerminationWatcher)
#include "tst_terminationwatcher.moc"
