// The real QzHealthSpeek on real ALSA: each case's home holds an ALSA configuration whose
// "default" device writes the samples into a file, so the test hears exactly what a user would.
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

#include <csignal>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include "CCaptureOutput.h"
#include "CPromptPlayer.h"
#include "SpeekChannel.h"
#include "SpeexFixtures.h"
#include "TestHome.h"
#include "stopchannel.h"

using namespace SpeexFixtures;

namespace {
constexpr int kRunMs = 10000;

struct SRun
{
    int status = -1;
    QByteArray diagnostics;
    QByteArray written;
};
}

class TestSpeexPlayer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void playsTheDecodedSamples_data();
    void playsTheDecodedSamples();
    void startFailuresExitWithOne_data();
    void startFailuresExitWithOne();
    void unplayableFilesExitWithZero_data();
    void unplayableFilesExitWithZero();
    void stopBeforeTheFirstBlock();
    void stopWhilePlaying();
    void staleSocketDoesNotBlock();
    void deviceThreadIsRaised();

private:
    void WriteAlsaConfig(const QString& defaultDevice);
    QProcess* Start(const QStringList& arguments);
    SRun Run(const QStringList& arguments);
    QByteArray Written() const;
    // Opens the FIFO for writing once the player has opened it for reading.
    int OpenFifoWriter(const QString& path);
    QString WriteFixture(const std::string& bytes);

    std::unique_ptr<CTestHome> m_home;
    QString m_output;
    std::vector<std::unique_ptr<QProcess>> m_processes;
};

void TestSpeexPlayer::initTestCase()
{
    // Writing into a FIFO whose reader has gone must fail, not end the test.
    std::signal(SIGPIPE, SIG_IGN);
}

void TestSpeexPlayer::init()
{
    m_home = std::make_unique<CTestHome>();
    m_output = m_home->Path() + QStringLiteral("/played.raw");
    WriteAlsaConfig(QStringLiteral("type file\n    slave.pcm \"null\"\n    file \"%1\"\n    format \"raw\"").arg(m_output));
}

void TestSpeexPlayer::cleanup()
{
    for (const auto& process : m_processes) {
        process->kill();
        process->waitForFinished();
    }
    m_processes.clear();
    m_home.reset();
}

void TestSpeexPlayer::WriteAlsaConfig(const QString& defaultDevice)
{
    QFile config(m_home->Path() + QStringLiteral("/.asoundrc"));
    QVERIFY(config.open(QIODevice::WriteOnly));
    config.write(QStringLiteral("pcm.!default {\n    %1\n}\n").arg(defaultDevice).toUtf8());
}

QProcess* TestSpeexPlayer::Start(const QStringList& arguments)
{
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), m_home->Path());
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_home->RuntimeFolder());
    process->setProcessEnvironment(environment);
    process->start(QStringLiteral(QZ_SPEEK_PROGRAM), arguments);
    if (!process->waitForStarted())
        qFatal("the player did not start");
    m_processes.push_back(std::move(process));
    return m_processes.back().get();
}

SRun TestSpeexPlayer::Run(const QStringList& arguments)
{
    QProcess* process = Start(arguments);
    SRun run;
    if (!process->waitForFinished(kRunMs) || process->exitStatus() != QProcess::NormalExit)
        return run;
    run.status = process->exitCode();
    run.diagnostics = process->readAllStandardError();
    run.written = Written();
    return run;
}

QByteArray TestSpeexPlayer::Written() const
{
    QFile file(m_output);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int TestSpeexPlayer::OpenFifoWriter(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    QElapsedTimer waited;
    waited.start();
    int fd = -1;
    while ((fd = open(name.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC)) < 0 && waited.elapsed() < kRunMs)
        QTest::qWait(5);
    return fd;
}

QString TestSpeexPlayer::WriteFixture(const std::string& bytes)
{
    const QString path = m_home->Path() + QStringLiteral("/prompt sound.spx");
    if (!WriteFile(QFile::encodeName(path).toStdString(), bytes))
        qFatal("cannot write the fixture");
    return path;
}

void TestSpeexPlayer::playsTheDecodedSamples_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("channels");
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("narrowband mono") << 0 << 1 << QByteArray("Decoding 8000 Hz audio using narrowband mode (mono)\n");
    QTest::newRow("wideband stereo") << 1 << 2 << QByteArray("Decoding 16000 Hz audio using wideband (sub-band CELP) mode (stereo)\n");
}

void TestSpeexPlayer::playsTheDecodedSamples()
{
    QFETCH(int, mode);
    QFETCH(int, channels);
    QFETCH(QByteArray, line);
    CSpeexOggWriter::SOptions options;
    options.mode = mode;
    options.channels = channels;
    options.framesPerPacket = 2;
    const int rate = mode == 0 ? 8000 : 16000;
    const QString path = WriteFixture(CSpeexOggWriter(options).Encode(Tone(523, 1.3, rate, channels, 9000, 0.5)));

    CCaptureOutput capture;
    std::FILE* quiet = std::fopen("/dev/null", "w");
    {
        CPromptPlayer reference(capture, quiet);
        reference.Play(QFile::encodeName(path).toStdString());
    }
    std::fclose(quiet);
    const std::vector<int16_t> expected = capture.Samples();
    QVERIFY(expected.size() > static_cast<size_t>(rate * channels));

    const SRun run = Run({path});
    QCOMPARE(run.status, 0);
    QCOMPARE(run.diagnostics, line);
    QCOMPARE(run.written.size(), static_cast<int>(expected.size() * sizeof(int16_t)));
    QVERIFY(std::memcmp(run.written.constData(), expected.data(), static_cast<size_t>(run.written.size())) == 0);
    QVERIFY(!QFileInfo::exists(QString::fromStdString(CStopChannel::SocketPath(kSpeekChannelName))));
}

void TestSpeexPlayer::startFailuresExitWithOne_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("device");
    QTest::newRow("no argument") << QStringList() << true;
    QTest::newRow("empty argument") << QStringList{QString()} << true;
    QTest::newRow("no usable device") << QStringList{QStringLiteral("@")} << false;
}

void TestSpeexPlayer::startFailuresExitWithOne()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, device);
    if (!device)
        WriteAlsaConfig(QStringLiteral("type hw\n    card 77"));
    if (arguments.value(0) == QStringLiteral("@"))
        arguments[0] = WriteFixture(CSpeexOggWriter({}).Encode(Tone(440, 0.3, 8000)));
    const SRun run = Run(arguments);
    QCOMPARE(run.status, 1);
    QCOMPARE(run.diagnostics, QByteArray());
    QVERIFY(run.written.isEmpty());
}

void TestSpeexPlayer::unplayableFilesExitWithZero_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("exists");
    CSpeexOggWriter::SOptions options;
    options.adjustHeader = [](SpeexHeader& header) { header.speex_version_id = 9; };
    const std::string badHeader = CSpeexOggWriter(options).Encode(Tone(440, 0.3, 8000));
    QTest::newRow("missing file") << QByteArray() << false;
    QTest::newRow("unusable header") << QByteArray(badHeader.data(), static_cast<int>(badHeader.size())) << true;
    QTest::newRow("garbage") << QByteArray(3000, 'x') << true;
}

void TestSpeexPlayer::unplayableFilesExitWithZero()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, exists);
    const QString path = exists ? WriteFixture(bytes.toStdString()) : m_home->Path() + QStringLiteral("/nothing.spx");
    const SRun run = Run({path});
    QCOMPARE(run.status, 0);
    QCOMPARE(run.diagnostics, QByteArray());
    QVERIFY(run.written.isEmpty());
}

void TestSpeexPlayer::stopBeforeTheFirstBlock()
{
    const QString fifo = m_home->Path() + QStringLiteral("/slow.spx");
    QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QProcess* player = Start({fifo});
    const int writer = OpenFifoWriter(fifo);
    QVERIFY(writer >= 0);
    const CSpeexOggWriter speex({});
    const std::vector<std::string> pages = speex.Pages(speex.Packets(Tone(440, 2.0, 8000)));
    const std::string headers = pages[0] + pages[1];
    QCOMPARE(write(writer, headers.data(), headers.size()), static_cast<ssize_t>(headers.size()));

    QVERIFY(CStopChannel::Request(kSpeekChannelName, CStopChannel::kStopCode, 2000));
    QVERIFY(player->waitForFinished(kRunMs));
    QCOMPARE(player->exitStatus(), QProcess::NormalExit);
    QCOMPARE(player->exitCode(), 0);
    QVERIFY(Written().isEmpty());
    close(writer);
}

void TestSpeexPlayer::stopWhilePlaying()
{
    const QString fifo = m_home->Path() + QStringLiteral("/slow.spx");
    QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QProcess* player = Start({fifo});
    const int writer = OpenFifoWriter(fifo);
    QVERIFY(writer >= 0);
    const CSpeexOggWriter speex({});
    const std::vector<std::string> pages = speex.Pages(speex.Packets(Tone(440, 4.0, 8000)));
    // The first half of the file: playback has to begin before the rest arrives.
    std::string firstHalf;
    for (size_t i = 0; i < pages.size() / 2; ++i)
        firstHalf += pages[i];
    QCOMPARE(write(writer, firstHalf.data(), firstHalf.size()), static_cast<ssize_t>(firstHalf.size()));
    QTRY_VERIFY_WITH_TIMEOUT(!Written().isEmpty(), kRunMs);

    QVERIFY(CStopChannel::Request(kSpeekChannelName, CStopChannel::kStopCode, 2000));
    const int playedAtStop = Written().size();
    std::string rest;
    for (size_t i = pages.size() / 2; i < pages.size(); ++i)
        rest += pages[i];
    write(writer, rest.data(), rest.size());
    QVERIFY(player->waitForFinished(kRunMs));
    QCOMPARE(player->exitCode(), 0);
    QCOMPARE(Written().size(), playedAtStop);
    close(writer);

    // What was played is the tone's beginning, as the whole file plays it.
    CCaptureOutput capture;
    std::FILE* quiet = std::fopen("/dev/null", "w");
    CPromptPlayer(capture, quiet).Play(QFile::encodeName(WriteFixture(Join(pages))).toStdString());
    std::fclose(quiet);
    const std::vector<int16_t> whole = capture.Samples();
    QVERIFY(static_cast<size_t>(playedAtStop) < whole.size() * sizeof(int16_t));
    QVERIFY(std::memcmp(Written().constData(), whole.data(), static_cast<size_t>(playedAtStop)) == 0);
}

void TestSpeexPlayer::staleSocketDoesNotBlock()
{
    // What a killed player leaves behind: the socket file with no one listening on it.
    const std::string socketPath = CStopChannel::SocketPath(kSpeekChannelName);
    const int stale = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socketPath.c_str(), sizeof address.sun_path - 1);
    QCOMPARE(bind(stale, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    close(stale);
    QVERIFY(QFileInfo::exists(QString::fromStdString(socketPath)));
    QVERIFY(!CStopChannel::Request(kSpeekChannelName, CStopChannel::kStopCode, 200));

    const QString fifo = m_home->Path() + QStringLiteral("/slow.spx");
    QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QProcess* player = Start({fifo});
    const int writer = OpenFifoWriter(fifo);
    QVERIFY(writer >= 0);
    QVERIFY(CStopChannel::Request(kSpeekChannelName, CStopChannel::kStopCode, 2000));
    QVERIFY(player->waitForFinished(kRunMs));
    QCOMPARE(player->exitCode(), 0);
    QVERIFY(!QFileInfo::exists(QString::fromStdString(socketPath)));
    close(writer);
}

// The thread that hands the sound to the device is the one that must not starve.
void TestSpeexPlayer::deviceThreadIsRaised()
{
    if (setpriority(PRIO_PROCESS, 0, -1) != 0)
        QSKIP("this user may not raise a priority");
    setpriority(PRIO_PROCESS, 0, 0);
    const QString path = WriteFixture(CSpeexOggWriter({}).Encode(Tone(440, 0.3, 8000)));
    CCaptureOutput capture;
    std::FILE* quiet = std::fopen("/dev/null", "w");
    CPromptPlayer(capture, quiet).Play(QFile::encodeName(path).toStdString());
    std::fclose(quiet);
    // The test's own thread goes back to where it was.
    setpriority(PRIO_PROCESS, 0, 0);
    QVERIFY(capture.Writes() > 0);
    QVERIFY2(capture.WriterNice() < 0, qPrintable(QString::number(capture.WriterNice())));
}

QTEST_GUILESS_MAIN(TestSpeexPlayer)
#include "tst_speexplayer.moc"
