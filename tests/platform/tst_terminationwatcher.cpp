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
    void ignoredHangupStaysIgnored();
    // Last: its child writes into the pipe this process shares with it.
    void secondSignalEndsAtOnce();
};

void TestTerminationWatcher::signalArrivesThroughTheLoop_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("SIGTERM") << SIGTERM;
    QTest::newRow("SIGINT") << SIGINT;
    QTest::newRow("SIGHUP") << SIGHUP;
    QTest::newRow("SIGQUIT") << SIGQUIT;
}

void TestTerminationWatcher::signalArrivesThroughTheLoop()
{
    QFETCH(int, signalNumber);
    // As at a start from an interactive terminal, whatever started this test.
    signal(signalNumber, SIG_DFL);
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

// Started under `nohup`: closing the terminal must not end the program.
void TestTerminationWatcher::ignoredHangupStaysIgnored()
{
    signal(SIGHUP, SIG_IGN);
    {
        CTerminationWatcher watcher;
        QSignalSpy requested(&watcher, &CTerminationWatcher::TerminationRequested);
        QCOMPARE(raise(SIGHUP), 0);
        QTest::qWait(100);
        QCOMPARE(requested.count(), 0);
    }
    struct sigaction action {};
    QCOMPARE(sigaction(SIGHUP, nullptr, &action), 0);
    QVERIFY(action.sa_handler == SIG_IGN);
    signal(SIGHUP, SIG_DFL);
}

QTEST_GUILESS_MAIN(TestTerminationWatcher)
#include "tst_terminationwatcher.moc"
