#pragma once

#include <array>

#include <QtGlobal>

// The three 256-entry channel ramps that tint the screen, red first. The block lives wherever its
// owner puts it (normally the stack) and filling it allocates nothing, because the strength slider
// rebuilds it for every step of a drag.
class CGammaRamp
{
public:
    static constexpr int Size = 256;

    struct Multipliers
    {
        float red = 0.0f;
        float green = 0.0f;
        float blue = 0.0f;
    };

    // The channel multipliers (0 … 255) of a colour temperature in kelvin. Single precision
    // throughout, with ln and pow evaluated in double on the single-precision operand, so the
    // figures match the ones the tint has always had.
    static Multipliers ChannelMultipliers(int kelvin);
    // The colour temperature of an eye-protection strength in percent; numbers far outside
    // 0 … 100 (a hand-edited settings file) saturate instead of overflowing.
    static int KelvinForStrength(int strength);

    // What the screen shows untinted: i × 256 as a ramp, a calibration unchanged as a scale.
    static Multipliers Untinted();
    // A calibration entry scaled by a multiplier, the way the tint ramp scales i × 256.
    static quint16 Scale(quint16 entry, float multiplier);

    // Entry i of each channel becomes i × multiplier, truncated: at most 65025.
    void FillColorTemperature(int kelvin);
    // The same for multipliers given directly: a fade's steps lie between two temperatures.
    void FillScaled(const Multipliers& multipliers);
    // Entry i of each channel becomes i × 256: the untinted screen.
    void FillLinear();

    const quint16* Red() const;
    const quint16* Green() const;
    const quint16* Blue() const;

private:
    std::array<quint16, 3 * Size> m_entries {};
};
