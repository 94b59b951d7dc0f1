#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

// Decodes one Speex stream carried in an Ogg file, page by page as the bytes arrive, and hands
// every decoded frame to a sink: mono as it is, stereo interleaved left then right. The start and
// the end of the sound are cut to the lengths the granule positions give, as the encoder asked.
class CSpeexOggDecoder
{
public:
    struct SFormat
    {
        int rate = 0;
        int channels = 0;
        bool vbr = false;
        std::string modeName;
    };

    class ISink
    {
    public:
        virtual ~ISink() = default;
        // The stream's header was accepted; samples in this format follow.
        virtual void OnFormat(const SFormat& format) = 0;
        // `count` samples (frames × channels) of one decoded frame. False stops the decoding.
        virtual bool OnSamples(const int16_t* samples, size_t count) = 0;
    };

    // Frames per packet beyond this are no Speex file a known encoder writes; such a header is refused.
    static constexpr int kMaxFramesPerPacket = 64;
    // Room for one ultra-wideband frame expanded to stereo.
    static constexpr size_t kFrameSamples = 2000;

    explicit CSpeexOggDecoder(ISink& sink);
    ~CSpeexOggDecoder();
    CSpeexOggDecoder(const CSpeexOggDecoder&) = delete;
    CSpeexOggDecoder& operator=(const CSpeexOggDecoder&) = delete;

    // Reads `file` to its end, or until the stream turns out unusable or the sink says stop.
    void Decode(std::FILE* file);

    // The line the player prints once the header is known, e.g.
    // "Decoding 8000 Hz audio using narrowband mode (mono)\n".
    static std::string Describe(const SFormat& format);

private:
    struct SState;

    enum class EStep { Next, EndOfPage, Stop };

    bool HandlePage(void* page);
    EStep HandlePacket(void* packet);
    bool ReadHeader(const unsigned char* data, long bytes);
    EStep DecodeAudio(const unsigned char* data, long bytes);
    bool OutputFrame(int frameIndex);

    ISink& m_sink;
    std::unique_ptr<SState> m_state;
};
