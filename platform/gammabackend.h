#pragma once

#include <QtGlobal>

// The three channels of one ramp, red first, each of `size` entries.
struct GammaRampView
{
    const quint16* red = nullptr;
    const quint16* green = nullptr;
    const quint16* blue = nullptr;
    int size = 0;
};

// Whatever sets the screen's colour on this session: gamma ramps written straight to the monitors,
// or the desktop's own night light asked for a colour temperature. Every call comes with both the
// temperature and its ramp, so each kind takes what it understands.
class CGammaBackend
{
public:
    virtual ~CGammaBackend() = default;

    // False when this session offers the program no way to change the screen's colour.
    virtual bool CanTint() const = 0;
    // Finds what the colour is set on; later calls keep what was found.
    virtual void Collect() = 0;
    // Monitors that take the program's own ramps; a desktop that tints its screens itself has none.
    virtual int MonitorCount() const = 0;
    // Tints the screen to `kelvin`, of which `ramp` holds the channel ramps.
    virtual void SetTemperature(int kelvin, const GammaRampView& ramp) = 0;
    // Gives the screen back as it was before the program tinted it; `linear` is the untinted ramp.
    virtual void Restore(const GammaRampView& linear) = 0;
};
