#include "CSpeexOggWriter.h"

#include <algorithm>
#include <cstring>

#include <ogg/ogg.h>
#include <speex/speex.h>
#include <speex/speex_stereo.h>

namespace {
const SpeexMode* Mode(int mode)
{
    return speex_lib_get_mode(std::clamp(mode, 0, SPEEX_NB_MODES - 1));
}

int NaturalRate(int mode)
{
    static const int rates[] = {8000, 16000, 32000};
    return rates[std::clamp(mode, 0, SPEEX_NB_MODES - 1)];
}

std::string CommentPacket()
{
    // Vendor string length, vendor string, no user comments.
    const std::string vendor = "QzHealthManager sound tools";
    std::string packet(4, '\0');
    const uint32_t size = static_cast<uint32_t>(vendor.size());
    for (int i = 0; i < 4; ++i)
        packet[static_cast<size_t>(i)] = static_cast<char>((size >> (8 * i)) & 0xff);
    packet += vendor;
    packet.append(4, '\0');
    return packet;
}

void AppendPage(std::vector<std::string>& pages, const ogg_page& page)
{
    std::string bytes(reinterpret_cast<const char*>(page.header), static_cast<size_t>(page.header_len));
    bytes.append(reinterpret_cast<const char*>(page.body), static_cast<size_t>(page.body_len));
    pages.push_back(std::move(bytes));
}
}

CSpeexOggWriter::CSpeexOggWriter(const SOptions& options)
    : m_options(options)
{
    void* encoder = speex_encoder_init(Mode(options.mode));
    speex_encoder_ctl(encoder, SPEEX_GET_FRAME_SIZE, &m_frameSize);
    speex_encoder_ctl(encoder, SPEEX_GET_LOOKAHEAD, &m_lookahead);
    speex_encoder_destroy(encoder);
    m_options.framesPerPacket = std::max(1, options.framesPerPacket);
    m_options.channels = options.channels == 2 ? 2 : 1;
    m_options.packetsPerPage = std::max(1, options.packetsPerPage);
}

int CSpeexOggWriter::FrameSize() const
{
    return m_frameSize;
}

int CSpeexOggWriter::Lookahead() const
{
    return m_lookahead;
}

int CSpeexOggWriter::HeaderPackets() const
{
    return 2 + m_options.extraHeaders;
}

std::vector<CSpeexOggWriter::SPacket> CSpeexOggWriter::Packets(const std::vector<int16_t>& samples) const
{
    const SpeexMode* mode = Mode(m_options.mode);
    const int rate = m_options.rate > 0 ? m_options.rate : NaturalRate(m_options.mode);
    const int channels = m_options.channels;
    const int perPacket = m_options.framesPerPacket;
    std::vector<SPacket> packets;

    SpeexHeader header;
    speex_init_header(&header, rate, 1, mode);
    header.frames_per_packet = perPacket;
    header.vbr = m_options.vbr ? 1 : 0;
    header.nb_channels = channels;
    header.extra_headers = m_options.extraHeaders;
    if (m_options.adjustHeader)
        m_options.adjustHeader(header);
    int headerBytes = 0;
    char* headerPacket = speex_header_to_packet(&header, &headerBytes);
    packets.push_back({std::string(headerPacket, static_cast<size_t>(headerBytes)), 0});
    speex_header_free(headerPacket);
    packets.push_back({CommentPacket(), 0});
    for (int i = 0; i < m_options.extraHeaders; ++i)
        packets.push_back({"extra header " + std::to_string(i) + std::string(40, static_cast<char>(0x5a + i)), 0});

    void* encoder = speex_encoder_init(mode);
    int quality = m_options.quality;
    int vbr = m_options.vbr ? 1 : 0;
    int samplingRate = rate;
    speex_encoder_ctl(encoder, SPEEX_SET_QUALITY, &quality);
    speex_encoder_ctl(encoder, SPEEX_SET_VBR, &vbr);
    speex_encoder_ctl(encoder, SPEEX_SET_SAMPLING_RATE, &samplingRate);
    SpeexBits bits;
    speex_bits_init(&bits);

    const int64_t total = static_cast<int64_t>(samples.size()) / channels;
    const int64_t perPacketSamples = static_cast<int64_t>(m_frameSize) * perPacket;
    // Enough packets that the delayed output still covers the last input sample.
    const int64_t packetCount = (total + m_lookahead + perPacketSamples - 1) / perPacketSamples;
    std::vector<int16_t> frame(static_cast<size_t>(m_frameSize) * static_cast<size_t>(channels));
    for (int64_t p = 0; p < packetCount; ++p) {
        speex_bits_reset(&bits);
        for (int f = 0; f < perPacket; ++f) {
            const int64_t first = (p * perPacket + f) * m_frameSize;
            for (int64_t i = 0; i < static_cast<int64_t>(frame.size()); ++i) {
                const int64_t index = first * channels + i;
                frame[static_cast<size_t>(i)] = index < static_cast<int64_t>(samples.size()) ? samples[static_cast<size_t>(index)] : 0;
            }
            if (channels == 2)
                speex_encode_stereo_int(frame.data(), m_frameSize, &bits);
            speex_encode_int(encoder, frame.data(), &bits);
        }
        speex_bits_insert_terminator(&bits);
        std::string data(static_cast<size_t>(speex_bits_nbytes(&bits)), '\0');
        speex_bits_write(&bits, data.data(), static_cast<int>(data.size()));
        const int64_t granule = std::min((p + 1) * perPacketSamples - m_lookahead, total);
        packets.push_back({std::move(data), granule});
    }
    speex_bits_destroy(&bits);
    speex_encoder_destroy(encoder);
    return packets;
}

std::vector<std::string> CSpeexOggWriter::Pages(const std::vector<SPacket>& packets) const
{
    std::vector<std::string> pages;
    ogg_stream_state stream;
    ogg_stream_init(&stream, static_cast<int>(m_options.serial));
    ogg_page page;
    const size_t headers = std::min(packets.size(), static_cast<size_t>(HeaderPackets()));
    for (size_t i = 0; i < packets.size(); ++i) {
        ogg_packet packet = {};
        packet.packet = reinterpret_cast<unsigned char*>(const_cast<char*>(packets[i].data.data()));
        packet.bytes = static_cast<long>(packets[i].data.size());
        packet.b_o_s = i == 0 ? 1 : 0;
        packet.e_o_s = i + 1 == packets.size() ? 1 : 0;
        packet.granulepos = packets[i].granule;
        packet.packetno = static_cast<ogg_int64_t>(i);
        ogg_stream_packetin(&stream, &packet);
        const bool pageEnds = i < headers || (i + 1 - headers) % static_cast<size_t>(m_options.packetsPerPage) == 0
            || i + 1 == packets.size();
        if (pageEnds) {
            while (ogg_stream_flush(&stream, &page))
                AppendPage(pages, page);
        }
    }
    ogg_stream_clear(&stream);
    return pages;
}

std::string CSpeexOggWriter::Encode(const std::vector<int16_t>& samples) const
{
    std::string file;
    for (const std::string& page : Pages(Packets(samples)))
        file += page;
    return file;
}
