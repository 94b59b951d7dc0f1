// The bounded GET that every online service goes through, when the program quits while it waits.
#include <QCoreApplication>
#include <QTest>
#include <QTimer>

#include "CHttpGet.h"
#include "StreamingHttpServer.h"

class TestHttpGet : public QObject
{
    Q_OBJECT
private slots:
    void onlyAFinishedReplyIsAnAnswer_data();
    void onlyAFinishedReplyIsAnAnswer();
};

void TestHttpGet::onlyAFinishedReplyIsAnAnswer_data()
{
    QTest::addColumn<qint64>("length");
    QTest::addColumn<bool>("holdOpen");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QByteArray>("body");
    QTest::newRow("finished before the quit") << stStreamPlan::LengthOfChunks << false << true << QByteArray("first");
    QTest::newRow("quit halfway through the body") << qint64(100) << true << false << QByteArray();
    QTest::newRow("quit before the end of an unknown length") << stStreamPlan::NoLength << true << false
                                                              << QByteArray();
}

void TestHttpGet::onlyAFinishedReplyIsAnAnswer()
{
    QFETCH(qint64, length);
    QFETCH(bool, holdOpen);
    QFETCH(bool, ok);
    QFETCH(QByteArray, body);
    CStreamingHttpServer server;
    stStreamPlan plan;
    plan.chunks = {QByteArray("first")};
    plan.nContentLength = length;
    plan.bHoldOpen = holdOpen;
    server.SetPlan("/answer", plan);

    // The request runs inside the application's own loop, as every request of the program
    // does, and the application is asked to quit while it waits.
    QTimer quit;
    quit.setSingleShot(true);
    connect(&quit, &QTimer::timeout, qApp, &QCoreApplication::quit);
    stHttpAnswer answer;
    QTimer::singleShot(0, &quit, [&] {
        quit.start(1500);
        answer = CHttpGet::Run(QUrl(server.UrlOf("/answer")), 10000, 1024);
        QCoreApplication::quit();
    });
    QCoreApplication::exec();

    QCOMPARE(server.RequestedPaths().size(), 1);
    QCOMPARE(answer.bOk, ok);
    QCOMPARE(answer.body, body);
}

QTEST_GUILESS_MAIN(TestHttpGet)
#include "tst_httpget.moc"
