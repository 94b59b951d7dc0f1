// The stop channel between a new sound request and a playing sound: requests, acknowledgements,
// time-outs and what a crashed listener leaves behind.
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTest>

#include <atomic>
#include <cstring>
#include <future>
#include <thread>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "TestHome.h"
#include "stopchannel.h"

namespace {
const std::string kName = "stop-channel-test";
}

class TestStopChannel : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void nobodyListening();
    void stopIsAcknowledged();
    void otherCodesAreIgnored();
    void unansweredRequestTimesOut();
    void staleSocketIsTakenOver();
    void newerListenerKeepsItsName();

private:
    std::unique_ptr<CTestHome> m_home;
};

void TestStopChannel::init()
{
    m_home = std::make_unique<CTestHome>();
}

void TestStopChannel::cleanup()
{
    m_home.reset();
}

void TestStopChannel::nobodyListening()
{
    QElapsedTimer timer;
    timer.start();
    QVERIFY(!CStopChannel::Request(kName, CStopChannel::kStopCode, 2000));
    QVERIFY(timer.elapsed() < 500);
    QCOMPARE(QString::fromStdString(CStopChannel::SocketPath(kName)),
        m_home->RuntimeFolder() + QStringLiteral("/stop-channel-test"));
}

void TestStopChannel::stopIsAcknowledged()
{
    CStopChannel channel(kName);
    QVERIFY(channel.Listen());
    const QString socketFile = QString::fromStdString(CStopChannel::SocketPath(kName));
    QVERIFY(QFileInfo::exists(socketFile));
    QCOMPARE(QFileInfo(socketFile).permissions() & (QFile::ReadGroup | QFile::ReadOther | QFile::WriteOther), QFile::Permissions());
    std::atomic<bool> acknowledged{false};
    std::thread listener([&] {
        if (channel.WaitForStop()) {
            QTest::qSleep(100);
            acknowledged = true;
            channel.Acknowledge();
        }
    });
    QElapsedTimer timer;
    timer.start();
    const bool answered = CStopChannel::Request(kName, CStopChannel::kStopCode, 2000);
    listener.join();
    QVERIFY(answered);
    QVERIFY(acknowledged);
    QVERIFY(timer.elapsed() >= 100);
    QVERIFY(!QFileInfo::exists(socketFile));
}

void TestStopChannel::otherCodesAreIgnored()
{
    CStopChannel channel(kName);
    QVERIFY(channel.Listen());
    auto waiting = std::async(std::launch::async, [&] { return channel.WaitForStop(); });
    QVERIFY(!CStopChannel::Request(kName, 2, 300));
    QVERIFY(!CStopChannel::Request(kName, 0, 300));
    QCOMPARE(waiting.wait_for(std::chrono::milliseconds(0)), std::future_status::timeout);
    channel.Wake();
    QCOMPARE(waiting.get(), false);
}

void TestStopChannel::unansweredRequestTimesOut()
{
    CStopChannel channel(kName);
    QVERIFY(channel.Listen());
    // The listener takes the request and then hangs: the requester must not hang with it.
    std::thread listener([&] { channel.WaitForStop(); });
    QElapsedTimer timer;
    timer.start();
    QVERIFY(!CStopChannel::Request(kName, CStopChannel::kStopCode, 300));
    QVERIFY(timer.elapsed() >= 250);
    QVERIFY(timer.elapsed() < 900);
    listener.join();
}

void TestStopChannel::staleSocketIsTakenOver()
{
    const std::string path = CStopChannel::SocketPath(kName);
    const int dead = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    QCOMPARE(bind(dead, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    close(dead);

    CStopChannel channel(kName);
    QVERIFY(channel.Listen());
    std::thread listener([&] {
        if (channel.WaitForStop())
            channel.Acknowledge();
    });
    QVERIFY(CStopChannel::Request(kName, CStopChannel::kStopCode, 2000));
    listener.join();
}

void TestStopChannel::newerListenerKeepsItsName()
{
    auto older = std::make_unique<CStopChannel>(kName);
    QVERIFY(older->Listen());
    CStopChannel newer(kName);
    QVERIFY(newer.Listen());
    // The older one ends and tidies up: the newer one's socket file must survive that.
    older.reset();
    QVERIFY(QFileInfo::exists(QString::fromStdString(CStopChannel::SocketPath(kName))));
    std::thread listener([&] {
        if (newer.WaitForStop())
            newer.Acknowledge();
    });
    QVERIFY(CStopChannel::Request(kName, CStopChannel::kStopCode, 2000));
    listener.join();
}

QTEST_GUILESS_MAIN(TestStopChannel)
#include "tst_stopchannel.moc"
