#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// One monitor's three channel ramps, each as long as the monitor's own ramp.
struct stGammaRamps
{
    std::vector<std::uint16_t> red;
    std::vector<std::uint16_t> green;
    std::vector<std::uint16_t> blue;
};

// The monitors whose colour the program sets through their gamma ramps, and the writes of ramps
// to them. Without a display that can take a ramp the list stays empty and every write does
// nothing. Plain C++ over Xlib, so that the small screen guard can restore a screen with it too.
class CGammaDisplay
{
public:
    CGammaDisplay();
    ~CGammaDisplay();
    CGammaDisplay(const CGammaDisplay&) = delete;
    CGammaDisplay& operator=(const CGammaDisplay&) = delete;

    // Lists every monitor of every screen of `display` (the one DISPLAY names when empty) that
    // can take a ramp. Only the first display reached is examined: once it has been, the list
    // stays as it is. While no display can be reached, each call tries again.
    void Collect(const std::string& display = std::string());
    // Lists the monitors of the display already reached again, after its configuration changed.
    void Refresh();
    int MonitorCount() const;
    // The display as it was reached (":0"), empty before.
    std::string DisplayName() const;
    // The monitor's lasting name on its display (its CRTC).
    unsigned long MonitorId(int monitor) const;
    int RampSize(int monitor) const;
    // The ramps the monitor shows now; false when the display would not say.
    bool Read(int monitor, stGammaRamps& ramps) const;

    // Writes the three channels of `size` entries each to every listed monitor, resampled to the
    // monitor's own ramp length, and returns when the display has taken them. Allocates nothing.
    void Write(const std::uint16_t* red, const std::uint16_t* green, const std::uint16_t* blue, int size);
    // The same for one monitor.
    void WriteMonitor(
        int monitor, const std::uint16_t* red, const std::uint16_t* green, const std::uint16_t* blue, int size);
    // Returns when the display has taken every write made so far.
    void Flush();

    // The connection's file descriptor, to wait for news of the display; -1 without a display.
    int ConnectionFd() const;
    // True when the monitors' configuration changed since the last call. Reads what the display
    // sent without waiting for more.
    bool TakeConfigurationChange();

    // Stretches or shrinks a ramp to another length by linear interpolation, keeping its first
    // and last entries.
    static void Resample(const std::uint16_t* source, int sourceSize, std::uint16_t* target, int targetSize);

private:
    struct Private;
    std::unique_ptr<Private> d;
};
