// The player's decoding and queueing, with a capture device in place of the sound card: what
// reaches the device, in which format, how much of it, and what happens to unusable files.
#include <QTest>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "CCaptureOutput.h"
#include "COutputQueue.h"
#include "CPromptPlayer.h"
#include "SpeexFixtures.h"
#include "TestHome.h"

using namespace SpeexFixtures;

namespace {
struct SPlayed
{
    std::vector<int16_t> samples;
    int rate = 0;
    int channels = 0;
    std::string diagnostics;
    bool drained = false;
};

const int kRates[] = {8000, 16000, 32000};
}

class TestSpeexDecoder : public QObject
{
    Q_OBJECT

private slots:
    void decodesWhatTheGranulesSay_data();
    void decodesWhatTheGranulesSay();
    void refusesUnusableStreams_data();
    void refusesUnusableStreams();
    void survivesHostileGranules();
    void truncatedFileEndsEarly();
    void otherLogicalStreamIsDropped();
    void deviceProblemsLeaveDecodingQuiet();
    void queueHoldsAtMost32Blocks();
    void abortEndsPlaybackAtOnce();
    void builtSoundsAreTheChimeAndTheDrop();

private:
    SPlayed Play(const std::string& bytes, CCaptureOutput& output);
    SPlayed Play(const std::string& bytes);

    CTestHome m_home;
};

SPlayed TestSpeexDecoder::Play(const std::string& bytes, CCaptureOutput& output)
{
    const std::string path = (m_home.Path() + QStringLiteral("/sound.spx")).toStdString();
    if (!WriteFile(path, bytes))
        qFatal("cannot write the fixture");
    char* text = nullptr;
    size_t size = 0;
    std::FILE* diagnostics = open_memstream(&text, &size);
    {
        CPromptPlayer player(output, diagnostics);
        player.Play(path);
    }
    std::fclose(diagnostics);
    SPlayed played;
    played.diagnostics.assign(text, size);
    std::free(text);
    played.samples = output.Samples();
    played.rate = output.Rate();
    played.channels = output.Channels();
    played.drained = output.Drained();
    return played;
}

SPlayed TestSpeexDecoder::Play(const std::string& bytes)
{
    CCaptureOutput output;
    return Play(bytes, output);
}

void TestSpeexDecoder::decodesWhatTheGranulesSay_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("framesPerPacket");
    QTest::addColumn<int>("headerFramesPerPacket");
    QTest::addColumn<int>("extraHeaders");
    QTest::addColumn<int>("headerExtraHeaders");
    QTest::addColumn<bool>("vbr");
    QTest::addColumn<double>("hz");
    QTest::addColumn<QString>("line");

    QTest::newRow("narrowband mono") << 0 << 1 << 1 << 1 << 0 << 0 << false << 440.0
                                     << "Decoding 8000 Hz audio using narrowband mode (mono)\n";
    QTest::newRow("wideband mono") << 1 << 1 << 1 << 1 << 0 << 0 << false << 1000.0
                                   << "Decoding 16000 Hz audio using wideband (sub-band CELP) mode (mono)\n";
    QTest::newRow("ultra-wideband") << 2 << 1 << 1 << 1 << 0 << 0 << false << 2000.0
                                    << "Decoding 32000 Hz audio using ultra-wideband (sub-band CELP) mode (mono)\n";
    QTest::newRow("narrowband VBR") << 0 << 1 << 1 << 1 << 0 << 0 << true << 440.0
                                    << "Decoding 8000 Hz audio using narrowband mode (mono, VBR)\n";
    QTest::newRow("wideband stereo") << 1 << 2 << 1 << 1 << 0 << 0 << false << 700.0
                                     << "Decoding 16000 Hz audio using wideband (sub-band CELP) mode (stereo)\n";
    QTest::newRow("two frames per packet") << 0 << 1 << 2 << 2 << 0 << 0 << false << 440.0
                                           << "Decoding 8000 Hz audio using narrowband mode (mono)\n";
    QTest::newRow("header says 0 frames per packet") << 0 << 1 << 1 << 0 << 0 << 0 << false << 440.0
                                                     << "Decoding 8000 Hz audio using narrowband mode (mono)\n";
    QTest::newRow("negative extra headers") << 0 << 1 << 1 << 1 << 0 << -3 << false << 440.0
                                            << "Decoding 8000 Hz audio using narrowband mode (mono)\n";
    QTest::newRow("extra header packets") << 1 << 1 << 1 << 1 << 3 << 3 << false << 1000.0
                                          << "Decoding 16000 Hz audio using wideband (sub-band CELP) mode (mono)\n";
}

void TestSpeexDecoder::decodesWhatTheGranulesSay()
{
    QFETCH(int, mode);
    QFETCH(int, channels);
    QFETCH(int, framesPerPacket);
    QFETCH(int, headerFramesPerPacket);
    QFETCH(int, extraHeaders);
    QFETCH(int, headerExtraHeaders);
    QFETCH(bool, vbr);
    QFETCH(double, hz);
    QFETCH(QString, line);

    CSpeexOggWriter::SOptions options;
    options.mode = mode;
    options.channels = channels;
    options.framesPerPacket = framesPerPacket;
    options.extraHeaders = extraHeaders;
    options.vbr = vbr;
    options.packetsPerPage = 4;
    options.adjustHeader = [headerFramesPerPacket, headerExtraHeaders](SpeexHeader& header) {
        header.frames_per_packet = headerFramesPerPacket;
        header.extra_headers = headerExtraHeaders;
    };
    const CSpeexOggWriter writer(options);
    const int rate = kRates[mode];
    // Half a frame past the sound's end: the last page has to cut it off again.
    const int64_t length = LengthWithExcess(writer, framesPerPacket, 30, writer.FrameSize() / 2 + 3);
    const double level = 8000;
    const std::vector<int16_t> input = Tone(hz, static_cast<double>(length) / rate, rate, channels, level, 0.25);
    const std::vector<CSpeexOggWriter::SPacket> packets = writer.Packets(input);
    QCOMPARE(packets.back().granule, length);

    const SPlayed played = Play(Join(writer.Pages(packets)));
    QCOMPARE(QString::fromStdString(played.diagnostics), line);
    QCOMPARE(played.rate, rate);
    QCOMPARE(played.channels, channels);
    QCOMPARE(static_cast<int64_t>(played.samples.size()), length * channels);
    QVERIFY(played.drained);

    // Past the codec's settling time at the start, the tone comes out as it went in.
    const std::vector<int16_t> left = Channel(played.samples, channels, 0);
    const std::vector<int16_t> middle(left.begin() + left.size() / 5, left.end() - left.size() / 5);
    QVERIFY2(std::abs(Frequency(middle, rate) - hz) < hz * 0.02, qPrintable(QString::number(Frequency(middle, rate))));
    const double expectedRms = level / std::sqrt(2.0);
    QVERIFY2(std::abs(Rms(middle) - expectedRms) < expectedRms * 0.2, qPrintable(QString::number(Rms(middle))));
    if (channels == 2) {
        const std::vector<int16_t> right = Channel(played.samples, 2, 1);
        const std::vector<int16_t> rightMiddle(right.begin() + right.size() / 5, right.end() - right.size() / 5);
        QVERIFY(std::abs(Frequency(rightMiddle, rate) - hz) < hz * 0.02);
        QVERIFY2(Rms(middle) > 2.5 * Rms(rightMiddle), qPrintable(QString::number(Rms(rightMiddle))));
    }
}

void TestSpeexDecoder::refusesUnusableStreams_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const std::vector<int16_t> tone = Tone(440, 0.5, 8000);
    auto withHeader = [&tone](std::function<void(SpeexHeader&)> adjust) {
        CSpeexOggWriter::SOptions options;
        options.adjustHeader = std::move(adjust);
        const std::string bytes = CSpeexOggWriter(options).Encode(tone);
        return QByteArray(bytes.data(), static_cast<int>(bytes.size()));
    };
    QTest::newRow("mode 3") << withHeader([](SpeexHeader& h) { h.mode = 3; });
    QTest::newRow("negative mode") << withHeader([](SpeexHeader& h) { h.mode = -1; });
    QTest::newRow("newer version id") << withHeader([](SpeexHeader& h) { h.speex_version_id = 2; });
    QTest::newRow("other bit-stream version") << withHeader([](SpeexHeader& h) { h.mode_bitstream_version += 1; });
    QTest::newRow("huge frames per packet") << withHeader([](SpeexHeader& h) { h.frames_per_packet = 1 << 30; });
    QTest::newRow("negative frames per packet") << withHeader([](SpeexHeader& h) { h.frames_per_packet = -2; });

    const CSpeexOggWriter writer({});
    std::vector<CSpeexOggWriter::SPacket> packets = writer.Packets(tone);
    packets[0].data = "OpusHead is not what this player reads" + std::string(60, '\1');
    const std::string notSpeex = Join(writer.Pages(packets));
    QTest::newRow("first packet not a Speex header") << QByteArray(notSpeex.data(), static_cast<int>(notSpeex.size()));
    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("not Ogg at all") << QByteArray(5000, '\x7f');
}

void TestSpeexDecoder::refusesUnusableStreams()
{
    QFETCH(QByteArray, bytes);
    const SPlayed played = Play(bytes.toStdString());
    QCOMPARE(played.rate, 0);
    QVERIFY(played.samples.empty());
    QVERIFY(played.diagnostics.find("Decoding") == std::string::npos);
}

void TestSpeexDecoder::survivesHostileGranules()
{
    CSpeexOggWriter::SOptions options;
    options.packetsPerPage = 3;
    options.framesPerPacket = 3;
    const CSpeexOggWriter writer(options);
    const std::vector<int16_t> tone = Tone(440, 1.0, 8000);
    const int64_t hostile[] = {INT64_MAX, INT64_MIN + 1, -1, 1, INT64_MAX / 2, -(INT64_MAX / 3)};
    for (int64_t first : hostile) {
        for (int64_t last : hostile) {
            std::vector<CSpeexOggWriter::SPacket> packets = writer.Packets(tone);
            const size_t audio = static_cast<size_t>(writer.HeaderPackets());
            packets[audio + 2].granule = first;
            packets[audio + 5].granule = last;
            packets.back().granule = last;
            const SPlayed played = Play(Join(writer.Pages(packets)));
            const size_t decoded = (packets.size() - audio) * 3 * static_cast<size_t>(writer.FrameSize());
            QVERIFY(!played.samples.empty());
            QVERIFY2(played.samples.size() <= decoded, qPrintable(QStringLiteral("%1 %2").arg(first).arg(last)));
        }
    }
}

void TestSpeexDecoder::truncatedFileEndsEarly()
{
    const std::vector<int16_t> tone = Tone(440, 2.0, 8000);
    const std::string whole = CSpeexOggWriter({}).Encode(tone);
    const SPlayed full = Play(whole);
    const SPlayed cut = Play(whole.substr(0, whole.size() * 3 / 5 + 17));
    QVERIFY(!cut.samples.empty());
    QVERIFY(cut.samples.size() < full.samples.size() * 4 / 5);
    QVERIFY(std::equal(cut.samples.begin(), cut.samples.end(), full.samples.begin()));
    QVERIFY(cut.drained);
}

void TestSpeexDecoder::otherLogicalStreamIsDropped()
{
    const CSpeexOggWriter speex({});
    const std::vector<std::string> speexPages = speex.Pages(speex.Packets(Tone(440, 1.0, 8000)));

    // A second stream of another kind, its pages slotted in between the Speex pages.
    CSpeexOggWriter::SOptions otherOptions;
    otherOptions.serial = 0xbeef;
    otherOptions.packetsPerPage = 1;
    const CSpeexOggWriter other(otherOptions);
    std::vector<CSpeexOggWriter::SPacket> otherPackets;
    for (int i = 0; i < static_cast<int>(speexPages.size()); ++i)
        otherPackets.push_back({"metadata packet " + std::to_string(i) + std::string(30, 'm'), i * 1000});
    const std::vector<std::string> otherPages = other.Pages(otherPackets);

    std::string mixed;
    for (size_t i = 0; i < speexPages.size(); ++i)
        mixed += (i == 0 ? speexPages[i] + otherPages[i] : otherPages[i] + speexPages[i]);
    const SPlayed alone = Play(Join(speexPages));
    const SPlayed together = Play(mixed);
    QVERIFY(!alone.samples.empty());
    QVERIFY(together.samples == alone.samples);
}

void TestSpeexDecoder::deviceProblemsLeaveDecodingQuiet()
{
    const std::string bytes = CSpeexOggWriter({}).Encode(Tone(440, 0.5, 8000));
    const std::string line = "Decoding 8000 Hz audio using narrowband mode (mono)\n";
    CCaptureOutput absent;
    absent.SetOpenResult(CAudioOutput::EOpenResult::NoDevice);
    const SPlayed noDevice = Play(bytes, absent);
    QCOMPARE(noDevice.diagnostics, line + "No audio device present.\n");
    QVERIFY(noDevice.samples.empty());

    CCaptureOutput refusing;
    refusing.SetOpenResult(CAudioOutput::EOpenResult::Failed);
    const SPlayed refused = Play(bytes, refusing);
    QCOMPARE(refused.diagnostics, line);
    QVERIFY(refused.samples.empty());
}

void TestSpeexDecoder::queueHoldsAtMost32Blocks()
{
    CCaptureOutput output;
    COutputQueue queue(output);
    QCOMPARE(queue.Open(8000, 1), CAudioOutput::EOpenResult::Opened);
    output.Hold();
    std::atomic<int> pushed{0};
    std::thread decoder([&] {
        for (int16_t block = 0; block < 50; ++block) {
            const std::vector<int16_t> samples(160, block);
            queue.Push(samples.data(), samples.size());
            ++pushed;
        }
    });
    QTRY_COMPARE(pushed.load(), COutputQueue::kMaxBlocks);
    QTest::qWait(100);
    QCOMPARE(pushed.load(), COutputQueue::kMaxBlocks);
    QCOMPARE(queue.Scheduled(), COutputQueue::kMaxBlocks);
    output.Release();
    decoder.join();
    queue.Drain();
    const std::vector<int16_t> samples = output.Samples();
    QCOMPARE(samples.size(), size_t(50 * 160));
    for (size_t i = 0; i < samples.size(); ++i)
        QCOMPARE(samples[i], static_cast<int16_t>(i / 160));
    QVERIFY(output.Drained());
}

void TestSpeexDecoder::abortEndsPlaybackAtOnce()
{
    const std::string path = (m_home.Path() + QStringLiteral("/long.spx")).toStdString();
    QVERIFY(WriteFile(path, CSpeexOggWriter({}).Encode(Tone(440, 10.0, 8000))));
    std::FILE* quiet = std::fopen("/dev/null", "w");

    // Stopped before the first block: nothing at all reaches the device.
    CCaptureOutput early;
    {
        CPromptPlayer player(early, quiet);
        player.Abort(100);
        player.Play(path);
    }
    QCOMPARE(early.Writes(), 0);

    // Stopped while the device is busy with a block: that block is the last one.
    CCaptureOutput busy;
    CPromptPlayer player(busy, quiet);
    busy.Hold();
    std::thread decoding([&] { player.Play(path); });
    QTRY_VERIFY(busy.Rate() == 8000);
    std::thread release([&] {
        QTest::qSleep(50);
        busy.Release();
    });
    player.Abort(5000);
    const int writes = busy.Writes();
    QVERIFY(writes <= 1);
    decoding.join();
    release.join();
    QCOMPARE(busy.Writes(), writes);
    QVERIFY(!busy.Drained());
    std::fclose(quiet);
}

void TestSpeexDecoder::builtSoundsAreTheChimeAndTheDrop()
{
    auto load = [this](const char* name) {
        std::FILE* file = std::fopen((std::string(QZ_SOUND_DIR) + '/' + name).c_str(), "rb");
        std::string bytes;
        char chunk[4096];
        for (size_t got; file && (got = std::fread(chunk, 1, sizeof chunk, file)) > 0;)
            bytes.append(chunk, got);
        if (file)
            std::fclose(file);
        return Play(bytes);
    };
    auto window = [](const std::vector<int16_t>& samples, double from, double to) {
        return std::vector<int16_t>(samples.begin() + static_cast<long>(from * 16000), samples.begin() + static_cast<long>(to * 16000));
    };

    // Two bell notes, a major third apart, the second from 0.4 s on, fading out by 1.5 s.
    const SPlayed chime = load("drinkprompt.spx");
    QCOMPARE(chime.rate, 16000);
    QCOMPARE(chime.channels, 1);
    QCOMPARE(chime.samples.size(), size_t(24000));
    QVERIFY(std::abs(Frequency(window(chime.samples, 0.05, 0.35), 16000) - 1318.5) < 30);
    QVERIFY(std::abs(Frequency(window(chime.samples, 0.45, 1.0), 16000) - 1046.5) < 30);
    QVERIFY(Rms(window(chime.samples, 1.3, 1.5)) < Rms(window(chime.samples, 0.4, 0.6)) / 4);

    // A short drop: loud at once, its pitch rising, nearly silent after a third of a second.
    const SPlayed drop = load("drinkwater.spx");
    QCOMPARE(drop.samples.size(), size_t(8000));
    QVERIFY(Frequency(window(drop.samples, 0.0, 0.03), 16000) < Frequency(window(drop.samples, 0.08, 0.15), 16000));
    QVERIFY(Rms(window(drop.samples, 0.0, 0.05)) > 3000);
    QVERIFY(Rms(window(drop.samples, 0.35, 0.5)) < 200);
}

QTEST_GUILESS_MAIN(TestSpeexDecoder)
#include "tst_speexdecoder.moc"
