#include "audiooutput.h"

#include <alsa/asoundlib.h>

namespace {
constexpr char kDevice[] = "default";
// Enough buffer to ride over a busy moment, small enough that a stop is heard at once.
constexpr unsigned kLatencyUs = 100000;

// The library reports its own troubles on standard error; the player's only output there is its
// one diagnostic line, so they are kept quiet and show up as failed calls instead.
void IgnoreAlsaError(const char*, int, const char*, int, const char*, ...)
{
}

// The desktop's default ALSA PCM: whatever ~/.asoundrc, /etc/asound.conf or the sound server
// routes "default" to.
class CAlsaOutput : public CAudioOutput
{
public:
    CAlsaOutput() { snd_lib_error_set_handler(&IgnoreAlsaError); }
    ~CAlsaOutput() override { Close(); }

    bool Available() override
    {
        snd_pcm_t* probe = nullptr;
        if (snd_pcm_open(&probe, kDevice, SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0)
            return false;
        snd_pcm_close(probe);
        return true;
    }

    EOpenResult Open(int rate, int channels) override
    {
        Close();
        if (rate <= 0 || channels <= 0)
            return EOpenResult::Failed;
        if (snd_pcm_open(&m_pcm, kDevice, SND_PCM_STREAM_PLAYBACK, 0) < 0) {
            m_pcm = nullptr;
            return EOpenResult::NoDevice;
        }
        if (snd_pcm_set_params(m_pcm, SND_PCM_FORMAT_S16, SND_PCM_ACCESS_RW_INTERLEAVED,
                static_cast<unsigned>(channels), static_cast<unsigned>(rate), 1, kLatencyUs) < 0) {
            Close();
            return EOpenResult::Failed;
        }
        m_channels = channels;
        return EOpenResult::Opened;
    }

    bool Write(const int16_t* samples, size_t frames) override
    {
        if (!m_pcm)
            return false;
        while (frames > 0) {
            const snd_pcm_sframes_t written = snd_pcm_writei(m_pcm, samples, frames);
            if (written == 0) {
                snd_pcm_wait(m_pcm, kLatencyUs / 1000);
                continue;
            }
            if (written < 0) {
                // An underrun or a suspend: start the stream again and go on with this block.
                if (snd_pcm_recover(m_pcm, static_cast<int>(written), 1) < 0)
                    return false;
                continue;
            }
            samples += static_cast<size_t>(written) * static_cast<size_t>(m_channels);
            frames -= static_cast<size_t>(written);
        }
        return true;
    }

    void Drain() override
    {
        if (m_pcm)
            snd_pcm_drain(m_pcm);
        Close();
    }

private:
    void Close()
    {
        if (m_pcm)
            snd_pcm_close(m_pcm);
        m_pcm = nullptr;
    }

    snd_pcm_t* m_pcm = nullptr;
    int m_channels = 1;
};
}

std::unique_ptr<CAudioOutput> CAudioOutput::CreateDefault()
{
    return std::make_unique<CAlsaOutput>();
}
