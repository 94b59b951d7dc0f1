#include "CSpeexOggDecoder.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

#include <ogg/ogg.h>
#include <speex/speex.h>
#include <speex/speex_callbacks.h>
#include <speex/speex_header.h>
#include <speex/speex_stereo.h>

namespace {
// Small reads keep the first sound close to the start of the file.
constexpr long kReadBytes = 200;
// Far beyond any real Speex packet; a longer one is garbage and is not handed to the library.
constexpr long kMaxPacketBytes = 1 << 16;
constexpr int kMaxSpeexVersion = 1;
constexpr char kSpeexMagic[] = "Speex";
constexpr int kSpeexMagicBytes = 5;
}

struct CSpeexOggDecoder::SState
{
    SState()
    {
        ogg_sync_init(&sync);
        speex_bits_init(&bits);
    }
    ~SState()
    {
        if (decoder)
            speex_decoder_destroy(decoder);
        if (streamStarted)
            ogg_stream_clear(&stream);
        speex_bits_destroy(&bits);
        ogg_sync_clear(&sync);
    }

    ogg_sync_state sync;
    ogg_stream_state stream;
    SpeexBits bits;
    SpeexStereoState stereo = SPEEX_STEREO_STATE_INIT;
    SpeexCallback stereoHandler = {};
    void* decoder = nullptr;

    int frameSize = 0;
    int granuleFrameSize = 0;
    int rate = 0;
    int framesPerPacket = 2;
    int channels = -1;
    int extraHeaders = 0;
    int lookahead = 0;
    long speexSerial = -1;
    long long packetCount = 0;
    ogg_int64_t lastGranule = 0;
    bool streamStarted = false;
    bool endOfStream = false;

    // Per page: how many samples to cut from its first packet (positive) or its last (negative).
    long long samplesToSkip = 0;
    int pagePackets = 0;
    int packetNumber = 0;

    // One decoded frame, sized once the header is known.
    std::vector<int16_t> frame;
};

CSpeexOggDecoder::CSpeexOggDecoder(ISink& sink)
    : m_sink(sink)
    , m_state(std::make_unique<SState>())
{
}

CSpeexOggDecoder::~CSpeexOggDecoder() = default;

std::string CSpeexOggDecoder::Describe(const SFormat& format)
{
    std::string line = "Decoding " + std::to_string(format.rate) + " Hz audio using " + format.modeName + " mode";
    line += format.channels == 1 ? " (mono" : " (stereo";
    line += format.vbr ? ", VBR)\n" : ")\n";
    return line;
}

void CSpeexOggDecoder::Decode(std::FILE* file)
{
    SState& s = *m_state;
    for (;;) {
        char* buffer = ogg_sync_buffer(&s.sync, kReadBytes);
        if (!buffer)
            return;
        const size_t got = std::fread(buffer, 1, kReadBytes, file);
        ogg_sync_wrote(&s.sync, static_cast<long>(got));
        ogg_page page;
        int result;
        while ((result = ogg_sync_pageout(&s.sync, &page)) != 0) {
            if (result > 0 && !HandlePage(&page))
                return;
        }
        if (got == 0 || std::feof(file) || std::ferror(file))
            return;
    }
}

bool CSpeexOggDecoder::HandlePage(void* pagePointer)
{
    SState& s = *m_state;
    auto* page = static_cast<ogg_page*>(pagePointer);
    const int serial = ogg_page_serialno(page);
    if (!s.streamStarted) {
        ogg_stream_init(&s.stream, serial);
        s.streamStarted = true;
    }
    if (serial != s.stream.serialno)
        ogg_stream_reset_serialno(&s.stream, serial);
    ogg_stream_pagein(&s.stream, page);

    const ogg_int64_t pageGranule = ogg_page_granulepos(page);
    s.pagePackets = ogg_page_packets(page);
    s.samplesToSkip = 0;
    // Granule positions count the samples of their own stream only: those of another stream's
    // pages in between would otherwise cut the start of every Speex page after them.
    const bool speexPage = s.speexSerial == -1 || s.speexSerial == serial;
    if (speexPage && pageGranule > 0 && s.frameSize != 0) {
        // The granule positions come from the file: hold their difference to a range no real
        // file reaches, so that the arithmetic cannot overflow, and cut no more than one page can.
        constexpr long long kBound = 1LL << 40;
        long long advance = 0;
        // With a positive page granule only an overflow upwards is possible.
        if (__builtin_sub_overflow(pageGranule, s.lastGranule, &advance))
            advance = kBound;
        advance = std::clamp(advance, -kBound, kBound);
        const long long carried = static_cast<long long>(s.pagePackets) * s.granuleFrameSize * s.framesPerPacket;
        const long long skip = s.frameSize * (carried - advance) / s.granuleFrameSize;
        s.samplesToSkip = std::clamp(skip, static_cast<long long>(-INT_MAX), static_cast<long long>(INT_MAX));
        if (ogg_page_eos(page))
            s.samplesToSkip = -s.samplesToSkip;
    }
    if (speexPage)
        s.lastGranule = pageGranule;

    s.packetNumber = 0;
    ogg_packet packet;
    while (!s.endOfStream && ogg_stream_packetout(&s.stream, &packet) == 1) {
        const EStep step = HandlePacket(&packet);
        if (step == EStep::Stop)
            return false;
        if (step == EStep::EndOfPage)
            break;
    }
    return true;
}

CSpeexOggDecoder::EStep CSpeexOggDecoder::HandlePacket(void* packetPointer)
{
    SState& s = *m_state;
    auto* packet = static_cast<ogg_packet*>(packetPointer);
    if (packet->bytes >= kSpeexMagicBytes && std::memcmp(packet->packet, kSpeexMagic, kSpeexMagicBytes) == 0)
        s.speexSerial = s.stream.serialno;
    if (s.speexSerial == -1 || s.speexSerial != s.stream.serialno)
        return EStep::EndOfPage;

    EStep step = EStep::Next;
    if (s.packetCount == 0) {
        if (!ReadHeader(packet->packet, packet->bytes))
            return EStep::Stop;
    } else if (s.packetCount >= 2 + static_cast<long long>(std::max(s.extraHeaders, 0))) {
        ++s.packetNumber;
        if (packet->e_o_s)
            s.endOfStream = true;
        step = DecodeAudio(packet->packet, packet->bytes);
    }
    ++s.packetCount;
    return step;
}

bool CSpeexOggDecoder::ReadHeader(const unsigned char* data, long bytes)
{
    SState& s = *m_state;
    if (bytes > kMaxPacketBytes)
        return false;
    SpeexHeader* header = speex_packet_to_header(reinterpret_cast<char*>(const_cast<unsigned char*>(data)),
        static_cast<int>(bytes));
    if (!header)
        return false;
    const SpeexHeader h = *header;
    speex_header_free(header);

    if (h.mode < 0 || h.mode >= SPEEX_NB_MODES || h.speex_version_id > kMaxSpeexVersion)
        return false;
    if (h.frames_per_packet < 0 || h.frames_per_packet > kMaxFramesPerPacket)
        return false;
    const SpeexMode* mode = speex_lib_get_mode(h.mode);
    if (!mode || mode->bitstream_version != h.mode_bitstream_version)
        return false;
    s.decoder = speex_decoder_init(mode);
    if (!s.decoder)
        return false;

    int enhancement = 1;
    speex_decoder_ctl(s.decoder, SPEEX_SET_ENH, &enhancement);
    speex_decoder_ctl(s.decoder, SPEEX_GET_FRAME_SIZE, &s.frameSize);
    s.granuleFrameSize = s.frameSize;
    s.rate = h.rate;
    speex_decoder_ctl(s.decoder, SPEEX_SET_SAMPLING_RATE, &s.rate);
    s.framesPerPacket = h.frames_per_packet;
    s.channels = h.nb_channels == 1 ? 1 : 2;
    if (s.frameSize <= 0 || static_cast<size_t>(s.frameSize) * static_cast<size_t>(s.channels) > kFrameSamples) {
        s.frameSize = 0;
        return false;
    }
    // Exactly one decoded frame, so that the memory checker sees any read past it.
    s.frame.assign(static_cast<size_t>(s.frameSize) * static_cast<size_t>(s.channels), 0);
    if (s.channels == 2) {
        s.stereoHandler.callback_id = SPEEX_INBAND_STEREO;
        s.stereoHandler.func = speex_std_stereo_request_handler;
        s.stereoHandler.data = &s.stereo;
        speex_decoder_ctl(s.decoder, SPEEX_SET_HANDLER, &s.stereoHandler);
    }
    s.extraHeaders = h.extra_headers;
    speex_decoder_ctl(s.decoder, SPEEX_GET_LOOKAHEAD, &s.lookahead);
    s.lookahead = std::max(s.lookahead, 0);
    if (s.framesPerPacket == 0)
        s.framesPerPacket = 1;

    SFormat format;
    format.rate = s.rate;
    format.channels = s.channels;
    format.vbr = h.vbr != 0;
    format.modeName = mode->modeName;
    m_sink.OnFormat(format);
    return true;
}

CSpeexOggDecoder::EStep CSpeexOggDecoder::DecodeAudio(const unsigned char* data, long bytes)
{
    SState& s = *m_state;
    if (bytes > kMaxPacketBytes)
        return EStep::Next;
    speex_bits_read_from(&s.bits, reinterpret_cast<const char*>(data), static_cast<int>(bytes));
    for (int j = 0; j < s.framesPerPacket; ++j) {
        const int result = speex_decode_int(s.decoder, &s.bits, s.frame.data());
        if (result == -1 || result == -2 || speex_bits_remaining(&s.bits) < 0)
            break;
        if (s.channels == 2)
            speex_decode_stereo_int(s.frame.data(), s.frameSize, &s.stereo);
        if (!OutputFrame(j))
            return EStep::Stop;
    }
    return EStep::Next;
}

bool CSpeexOggDecoder::OutputFrame(int frameIndex)
{
    SState& s = *m_state;
    const long long frameSize = s.frameSize;
    long long offset = 0;
    long long size = frameSize;
    if (s.packetNumber == 1 && frameIndex == 0 && s.samplesToSkip > 0) {
        offset = s.samplesToSkip + s.lookahead;
        size = frameSize - s.samplesToSkip - s.lookahead;
    }
    if (s.packetNumber == s.pagePackets && s.samplesToSkip < 0) {
        const long long packetLength = s.framesPerPacket * frameSize + s.samplesToSkip + s.lookahead;
        size = std::clamp(packetLength - frameIndex * frameSize, 0LL, frameSize);
    }
    // Whatever the granules said, a block never leaves the frame that was decoded.
    offset = std::clamp(offset, 0LL, frameSize);
    size = std::min(size, frameSize - offset);
    if (size <= 0)
        return true;
    return m_sink.OnSamples(s.frame.data() + offset * s.channels, static_cast<size_t>(size * s.channels));
}
