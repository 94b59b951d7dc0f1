#pragma once

#include <memory>

#include <QtGlobal>

// The monitors whose colour the program sets through their gamma ramps, and the writes of one
// ramp to all of them. Without a display that can take a ramp the list stays empty and every
// write does nothing.
class CGammaDisplay
{
public:
    CGammaDisplay();
    ~CGammaDisplay();
    CGammaDisplay(const CGammaDisplay&) = delete;
    CGammaDisplay& operator=(const CGammaDisplay&) = delete;

    // Lists every monitor of every screen that can take a ramp. Only the first display reached
    // is examined: once it has been, the list stays as it is. While no display can be reached,
    // each call tries again.
    void Collect();
    int MonitorCount() const;
    // Writes the three channels of `size` entries each to every listed monitor, resampled to the
    // monitor's own ramp length, and returns when the display has taken them. Allocates nothing.
    void Write(const quint16* red, const quint16* green, const quint16* blue, int size);

    // Stretches or shrinks a ramp to another length by linear interpolation, keeping its first
    // and last entries.
    static void Resample(const quint16* source, int sourceSize, quint16* target, int targetSize);

private:
    struct Private;
    std::unique_ptr<Private> d;
};
