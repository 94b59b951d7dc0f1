// The tray program's side of the prompt sounds: which player it starts with which file, and how
// it cuts off a sound that is still playing. The real player lies beside this test, as it lies
// beside the tray program, and plays on an ALSA device that writes into a file.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>

#include <atomic>
#include <chrono>
#include <csignal>
#include <future>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/CSystemUtil.h"
#include "SpeekChannel.h"
#include "SpeexFixtures.h"
#include "TestHome.h"
#include "stopchannel.h"

namespace {
constexpr int kWaitMs = 10000;
using Clock = std::chrono::steady_clock;
}

class TestSoundClient : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void unknownKindsStartNothing();
    void playerGetsTheWholePath();
    void secondSoundStopsTheFirst();
    void startWaitsForTheAcknowledgement();
    void hungPlayerDoesNotHoldTheTrayUp();

private:
    QString SoundPath(const QString& name) const;
    void MakeFifo(const QString& name);
    // Opens the sound FIFO for writing once a player reads it; -1 when none does in time.
    int WaitForReader(const QString& name, int timeoutMs = kWaitMs);
    bool ReaderGone(int fd, int timeoutMs);

    std::unique_ptr<CTestHome> m_home;
    QString m_sounds;
    std::vector<int> m_writers;
};

void TestSoundClient::initTestCase()
{
    std::signal(SIGPIPE, SIG_IGN);
}

void TestSoundClient::init()
{
    m_home = std::make_unique<CTestHome>();
    // A data folder whose path has spaces and characters outside ASCII in it.
    const QString data = m_home->Path() + QStringLiteral("/用户 数据/share here");
    qputenv("XDG_DATA_HOME", QFile::encodeName(data));
    qputenv("HOME", QFile::encodeName(m_home->Path()));
    QFile config(m_home->Path() + QStringLiteral("/.asoundrc"));
    QVERIFY(config.open(QIODevice::WriteOnly));
    config.write(QStringLiteral("pcm.!default {\n type file\n slave.pcm \"null\"\n file \"%1/played.raw\"\n format \"raw\"\n}\n")
                     .arg(m_home->Path())
                     .toUtf8());
    m_sounds = CSystemUtil::DataFolder() + QStringLiteral("/qzhealthaudio");
    QVERIFY(QDir().mkpath(m_sounds));
    QVERIFY(m_sounds.contains(QStringLiteral("用户 数据")));
}

void TestSoundClient::cleanup()
{
    // End of file for every player still reading: they finish by themselves.
    for (int fd : m_writers)
        close(fd);
    m_writers.clear();
    CStopChannel::Request(kSpeekChannelName, CStopChannel::kStopCode, 1000);
    m_home.reset();
}

QString TestSoundClient::SoundPath(const QString& name) const
{
    return m_sounds + '/' + name;
}

void TestSoundClient::MakeFifo(const QString& name)
{
    QCOMPARE(mkfifo(QFile::encodeName(SoundPath(name)).constData(), 0600), 0);
}

int TestSoundClient::WaitForReader(const QString& name, int timeoutMs)
{
    const QByteArray path = QFile::encodeName(SoundPath(name));
    QElapsedTimer waited;
    waited.start();
    do {
        const int fd = open(path.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0) {
            m_writers.push_back(fd);
            return fd;
        }
        QTest::qWait(5);
    } while (waited.elapsed() < timeoutMs);
    return -1;
}

bool TestSoundClient::ReaderGone(int fd, int timeoutMs)
{
    pollfd wait = {fd, POLLOUT, 0};
    return poll(&wait, 1, timeoutMs) == 1 && (wait.revents & POLLERR) != 0;
}

void TestSoundClient::unknownKindsStartNothing()
{
    MakeFifo(QStringLiteral("drinkwater.spx"));
    MakeFifo(QStringLiteral("drinkprompt.spx"));
    CStopChannel listener(kSpeekChannelName);
    QVERIFY(listener.Listen());
    auto stopped = std::async(std::launch::async, [&] { return listener.WaitForStop(); });
    for (int kind : {0, -1, 3, 100})
        QVERIFY(!CSystemUtil::Instance()->PlayPromptSound(kind));
    QCOMPARE(WaitForReader(QStringLiteral("drinkwater.spx"), 300), -1);
    QCOMPARE(WaitForReader(QStringLiteral("drinkprompt.spx"), 10), -1);
    listener.Wake();
    QVERIFY(!stopped.get());
}

void TestSoundClient::playerGetsTheWholePath()
{
    MakeFifo(QStringLiteral("drinkwater.spx"));
    QVERIFY(CSystemUtil::Instance()->PlayPromptSound(1));
    const int writer = WaitForReader(QStringLiteral("drinkwater.spx"));
    QVERIFY(writer >= 0);
    const std::string sound = CSpeexOggWriter({}).Encode(SpeexFixtures::Tone(440, 0.4, 8000));
    QCOMPARE(write(writer, sound.data(), sound.size()), static_cast<ssize_t>(sound.size()));
    close(writer);
    m_writers.clear();
    // The player read the very file it was given and played it to the device.
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(m_home->Path() + QStringLiteral("/played.raw")).size() >= 0.4 * 8000 * 2, kWaitMs);
}

void TestSoundClient::secondSoundStopsTheFirst()
{
    MakeFifo(QStringLiteral("drinkwater.spx"));
    MakeFifo(QStringLiteral("drinkprompt.spx"));
    QVERIFY(CSystemUtil::Instance()->PlayPromptSound(1));
    const int first = WaitForReader(QStringLiteral("drinkwater.spx"));
    QVERIFY(first >= 0);
    // The first player has opened its file, so it is listening for a stop by now.
    QTRY_VERIFY(QFileInfo::exists(QString::fromStdString(CStopChannel::SocketPath(kSpeekChannelName))));
    QVERIFY(!ReaderGone(first, 0));

    QVERIFY(CSystemUtil::Instance()->PlayPromptSound(2));
    QVERIFY(ReaderGone(first, kWaitMs));
    QVERIFY(WaitForReader(QStringLiteral("drinkprompt.spx")) >= 0);
}

void TestSoundClient::startWaitsForTheAcknowledgement()
{
    MakeFifo(QStringLiteral("drinkprompt.spx"));
    CStopChannel listener(kSpeekChannelName);
    QVERIFY(listener.Listen());
    std::atomic<bool> stopRequested{false};
    Clock::time_point acknowledgedAt;
    std::thread player([&] {
        if (!listener.WaitForStop())
            return;
        stopRequested = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        acknowledgedAt = Clock::now();
        listener.Acknowledge();
    });
    QVERIFY(CSystemUtil::Instance()->PlayPromptSound(2));
    const Clock::time_point returnedAt = Clock::now();
    player.join();
    QVERIFY(stopRequested);
    QVERIFY(returnedAt >= acknowledgedAt);
    QVERIFY(WaitForReader(QStringLiteral("drinkprompt.spx")) >= 0);
}

void TestSoundClient::hungPlayerDoesNotHoldTheTrayUp()
{
    MakeFifo(QStringLiteral("drinkprompt.spx"));
    CStopChannel listener(kSpeekChannelName);
    QVERIFY(listener.Listen());
    // Takes the request and never answers.
    auto hung = std::async(std::launch::async, [&] { return listener.WaitForStop(); });
    QElapsedTimer timer;
    timer.start();
    QVERIFY(CSystemUtil::Instance()->PlayPromptSound(2));
    QVERIFY2(timer.elapsed() < 1000, qPrintable(QString::number(timer.elapsed())));
    QVERIFY(hung.get());
    QVERIFY(WaitForReader(QStringLiteral("drinkprompt.spx")) >= 0);
}

QTEST_GUILESS_MAIN(TestSoundClient)
#include "tst_soundclient.moc"
