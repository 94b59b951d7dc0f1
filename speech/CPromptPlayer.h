#pragma once

#include <atomic>
#include <cstdio>
#include <string>

#include "COutputQueue.h"
#include "CSpeexOggDecoder.h"

// Plays one prompt sound file: decodes it and feeds the device through the output queue,
// printing the stream's description to `diagnostics` once the header is read.
class CPromptPlayer : private CSpeexOggDecoder::ISink
{
public:
    CPromptPlayer(CAudioOutput& output, std::FILE* diagnostics);

    // Decodes and plays `path` on the calling thread; returns when the sound has been played
    // through, could not be read, or was aborted.
    void Play(const std::string& path);
    // From any thread: nothing more is played once this returns (a device that hangs is given
    // `waitMs` to finish the block it is writing).
    void Abort(int waitMs);

private:
    void OnFormat(const CSpeexOggDecoder::SFormat& format) override;
    bool OnSamples(const int16_t* samples, size_t count) override;

    COutputQueue m_queue;
    std::FILE* m_diagnostics;
    std::atomic<bool> m_aborted{false};
};
