#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <speex/speex_header.h>

// Encodes 16-bit samples as Speex in Ogg, the way the common encoder lays files out: a header
// page, a comment page, optional extra header pages, then audio packets of a fixed number of
// frames with granule positions counted in samples. The pieces are exposed so that tests can
// build broken and unusual files from a valid start.
class CSpeexOggWriter
{
public:
    struct SOptions
    {
        int mode = 0;            // 0 narrowband, 1 wideband, 2 ultra-wideband
        int rate = 0;            // 0: the mode's own rate
        int channels = 1;        // 2: the samples are interleaved left, right
        int framesPerPacket = 1;
        int quality = 8;
        bool vbr = false;
        int extraHeaders = 0;    // packets between the comment and the audio
        int packetsPerPage = 5;
        uint32_t serial = 0x51a7e;
        std::function<void(SpeexHeader&)> adjustHeader;  // changes the header as written
    };

    struct SPacket
    {
        std::string data;
        int64_t granule = 0;
    };

    explicit CSpeexOggWriter(const SOptions& options);

    // The header, the comment, the extra headers and the audio packets for `samples`.
    std::vector<SPacket> Packets(const std::vector<int16_t>& samples) const;
    // Pages the packets (headers alone on their pages, then packetsPerPage audio packets a page);
    // the last page ends the stream.
    std::vector<std::string> Pages(const std::vector<SPacket>& packets) const;
    // Both steps at once: the whole file.
    std::string Encode(const std::vector<int16_t>& samples) const;

    // Samples per frame and the encoder's delay, as the granule positions count them.
    int FrameSize() const;
    int Lookahead() const;
    int HeaderPackets() const;

private:
    SOptions m_options;
    int m_frameSize = 0;
    int m_lookahead = 0;
};
