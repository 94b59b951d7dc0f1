#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

// One stream of 16-bit interleaved samples to the sound device. Calls come from one thread at a
// time; Write blocks while the device is full, so it paces whoever feeds it.
class CAudioOutput
{
public:
    enum class EOpenResult { Opened, NoDevice, Failed };

    virtual ~CAudioOutput() = default;

    // The output the desktop plays through by default.
    static std::unique_ptr<CAudioOutput> CreateDefault();

    // Whether a device could be opened right now; opens nothing that stays open.
    virtual bool Available() = 0;
    // Opens the device for signed 16-bit samples in host order at this rate and channel count.
    // NoDevice when there is no device at all, Failed when it refused the format.
    virtual EOpenResult Open(int rate, int channels) = 0;
    // Hands `frames` frames (frames × channels samples) to the device; false when it refused them.
    virtual bool Write(const int16_t* samples, size_t frames) = 0;
    // Waits until everything written has been played, then closes the device.
    virtual void Drain() = 0;
};
