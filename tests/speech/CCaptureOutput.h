#pragma once

#include <condition_variable>
#include <mutex>
#include <vector>

#include "audiooutput.h"

// A sound device for tests: keeps every sample written to it. While held, a write waits until
// Release, like a device whose buffer is full.
class CCaptureOutput : public CAudioOutput
{
public:
    bool Available() override;
    EOpenResult Open(int rate, int channels) override;
    bool Write(const int16_t* samples, size_t frames) override;
    void Drain() override;

    void SetOpenResult(EOpenResult result);
    void Hold();
    void Release();

    std::vector<int16_t> Samples() const;
    int Rate() const;
    int Channels() const;
    int Writes() const;
    bool Drained() const;
    // The nice value of the thread that made the last write.
    int WriterNice() const;

private:
    mutable std::mutex m_lock;
    std::condition_variable m_released;
    EOpenResult m_openResult = EOpenResult::Opened;
    bool m_held = false;
    bool m_drained = false;
    int m_rate = 0;
    int m_channels = 0;
    int m_writes = 0;
    int m_writerNice = 0;
    std::vector<int16_t> m_samples;
};
