// Thousands of damaged sound files through the decoder, built with the address and undefined
// behaviour checkers: whatever a file says, the decoder must neither crash, nor read outside a
// buffer, nor hang. The damage is seeded, so a failure repeats exactly.
#include <QTest>

#include <cstdio>
#include <random>

#include <ogg/ogg.h>

#include "CSpeexOggDecoder.h"
#include "SpeexFixtures.h"

using namespace SpeexFixtures;

namespace {
constexpr int kIterations = 3000;
constexpr unsigned kSeed = 20261207;

// Touches every sample it is given, so that a block reaching past the decoded frame is a read
// the address checker sees.
class CTouchingSink : public CSpeexOggDecoder::ISink
{
public:
    void OnFormat(const CSpeexOggDecoder::SFormat& format) override
    {
        ++formats;
        channels = format.channels;
    }
    bool OnSamples(const int16_t* samples, size_t count) override
    {
        // Samples belong to the one format announced before them.
        if (formats != 1 || count == 0 || count > CSpeexOggDecoder::kFrameSamples || count % static_cast<size_t>(channels) != 0)
            badBlocks++;
        for (size_t i = 0; i < count; ++i)
            sum += samples[i];
        total += count;
        return true;
    }

    int formats = 0;
    int channels = 1;
    int badBlocks = 0;
    long long sum = 0;
    size_t total = 0;
};

struct SSeed
{
    CSpeexOggWriter::SOptions options;
    std::vector<int16_t> samples;
};

std::vector<SSeed> Seeds()
{
    std::vector<SSeed> seeds;
    auto add = [&seeds](int mode, int channels, int perPacket, int extra, bool vbr) {
        SSeed seed;
        seed.options.mode = mode;
        seed.options.channels = channels;
        seed.options.framesPerPacket = perPacket;
        seed.options.extraHeaders = extra;
        seed.options.vbr = vbr;
        seed.options.packetsPerPage = 3;
        const int rate = 8000 << mode;
        seed.samples = Tone(300 + 200 * mode, 0.25, rate, channels, 7000, 0.4);
        seeds.push_back(std::move(seed));
    };
    add(0, 1, 1, 0, false);
    add(0, 2, 2, 1, true);
    add(1, 1, 3, 0, false);
    add(1, 2, 1, 2, false);
    add(2, 1, 2, 0, true);
    return seeds;
}

// Gives every page found in the bytes a valid checksum again, so that damage inside pages gets
// past the container's own check and reaches the decoder.
void FixChecksums(std::string& bytes)
{
    for (size_t at = bytes.find("OggS"); at != std::string::npos; at = bytes.find("OggS", at + 1)) {
        if (at + 27 > bytes.size())
            break;
        auto* header = reinterpret_cast<unsigned char*>(&bytes[at]);
        const size_t segments = header[26];
        if (at + 27 + segments > bytes.size())
            continue;
        size_t body = 0;
        for (size_t i = 0; i < segments; ++i)
            body += header[27 + i];
        if (at + 27 + segments + body > bytes.size())
            continue;
        ogg_page page;
        page.header = header;
        page.header_len = static_cast<long>(27 + segments);
        page.body = header + 27 + segments;
        page.body_len = static_cast<long>(body);
        ogg_page_checksum_set(&page);
    }
}

class CMutator
{
public:
    explicit CMutator(unsigned seed) : m_random(seed) {}

    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_random); }

    int32_t Wild()
    {
        const int32_t edges[] = {0, 1, -1, 2, 3, 7, 10, 64, 65, 255, 256, 1 << 16, INT32_MAX, INT32_MIN, -100000};
        return Pick(0, 2) == 0 ? static_cast<int32_t>(m_random()) : edges[Pick(0, 14)];
    }

    int64_t WildGranule()
    {
        const int64_t edges[] = {0, -1, 1, INT64_MAX, INT64_MIN, INT64_MAX - 1, INT64_MIN + 1, 1LL << 40, -(1LL << 33)};
        return Pick(0, 1) == 0 ? static_cast<int64_t>((static_cast<uint64_t>(m_random()) << 32) | m_random()) : edges[Pick(0, 8)];
    }

    void Header(SpeexHeader& header)
    {
        for (int changes = Pick(1, 3); changes > 0; --changes) {
            switch (Pick(0, 7)) {
            case 0: header.frames_per_packet = Pick(0, 1) ? Pick(-2, 70) : Wild(); break;
            case 1: header.nb_channels = Pick(0, 1) ? Pick(-1, 4) : Wild(); break;
            case 2: header.rate = Wild(); break;
            case 3: header.mode = Pick(0, 1) ? Pick(-1, 3) : Wild(); break;
            case 4: header.extra_headers = Pick(0, 1) ? Pick(-3, 5) : Wild(); break;
            case 5: header.speex_version_id = Pick(-1, 3); break;
            case 6: header.vbr = Wild(); break;
            default: header.header_size = Wild(); break;
            }
        }
    }

    void Bytes(std::string& data)
    {
        if (data.empty())
            return;
        for (int changes = Pick(1, 6); changes > 0 && !data.empty(); --changes) {
            const size_t at = static_cast<size_t>(Pick(0, static_cast<int>(data.size()) - 1));
            switch (Pick(0, 5)) {
            case 0: data[at] = static_cast<char>(data[at] ^ (1 << Pick(0, 7))); break;
            case 1: data[at] = static_cast<char>(m_random()); break;
            case 2: data.erase(at, static_cast<size_t>(Pick(1, 64))); break;
            case 3: data.insert(at, static_cast<size_t>(Pick(1, 64)), static_cast<char>(m_random())); break;
            case 4: data.resize(at); break;
            default: data.insert(at, data.substr(at, static_cast<size_t>(Pick(1, 300)))); break;
            }
        }
    }

    std::string File(const SSeed& seed)
    {
        CSpeexOggWriter::SOptions options = seed.options;
        const int kind = Pick(0, 3);
        if (kind == 0)
            options.adjustHeader = [this](SpeexHeader& header) { Header(header); };
        const CSpeexOggWriter writer(options);
        std::vector<CSpeexOggWriter::SPacket> packets = writer.Packets(seed.samples);
        if (kind == 1) {
            for (int changes = Pick(1, 4); changes > 0; --changes)
                packets[static_cast<size_t>(Pick(0, static_cast<int>(packets.size()) - 1))].granule = WildGranule();
        }
        if (kind == 2) {
            for (int changes = Pick(1, 4); changes > 0; --changes)
                Bytes(packets[static_cast<size_t>(Pick(2, static_cast<int>(packets.size()) - 1))].data);
        }
        std::string file = Join(writer.Pages(packets));
        if (kind == 3) {
            Bytes(file);
            if (Pick(0, 3) != 0)
                FixChecksums(file);
        }
        return file;
    }

private:
    std::mt19937 m_random;
};
}

class TestSpeexFuzz : public QObject
{
    Q_OBJECT

private slots:
    void damagedFilesAreSurvived();
};

void TestSpeexFuzz::damagedFilesAreSurvived()
{
    const std::vector<SSeed> seeds = Seeds();
    CMutator mutator(kSeed);
    int decoded = 0;
    int refused = 0;
    for (int i = 0; i < kIterations; ++i) {
        std::string file = mutator.File(seeds[static_cast<size_t>(i) % seeds.size()]);
        // fmemopen cannot open an empty buffer.
        file.push_back('\0');
        std::FILE* stream = fmemopen(file.data(), file.size(), "rb");
        QVERIFY(stream);
        CTouchingSink sink;
        {
            CSpeexOggDecoder decoder(sink);
            decoder.Decode(stream);
        }
        std::fclose(stream);
        QVERIFY2(sink.badBlocks == 0, qPrintable(QStringLiteral("iteration %1").arg(i)));
        if (sink.total > 0)
            ++decoded;
        else
            ++refused;
    }
    // The damage has to leave many files playable, or the decoding paths would go untried.
    QVERIFY2(decoded > kIterations / 3, qPrintable(QString::number(decoded)));
    QVERIFY2(refused > kIterations / 20, qPrintable(QString::number(refused)));
}

QTEST_GUILESS_MAIN(TestSpeexFuzz)
#include "tst_speexfuzz.moc"
