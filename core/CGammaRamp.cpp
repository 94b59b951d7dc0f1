#include "core/CGammaRamp.h"

#include <climits>
#include <cmath>

namespace {
// A NaN (ln of a negative temperature) must not reach the integer conversion of the ramp.
float Clamp(float value)
{
    if (!(value >= 0.0f))
        return 0.0f;
    return value > 255.0f ? 255.0f : value;
}

float Ln(float value)
{
    return float(std::log(double(value)));
}

float Pow(float base, double exponent)
{
    return float(std::pow(double(base), exponent));
}
}

CGammaRamp::Multipliers CGammaRamp::ChannelMultipliers(int kelvin)
{
    const float t = float(kelvin) / 100.0f;
    Multipliers m;
    if (t <= 66.0f) {
        m.red = 255.0f;
        m.green = Clamp(99.4708f * Ln(t) - 161.11957f);
    } else {
        m.red = Clamp(329.69873f * Pow(t - 60.0f, -0.1332047592));
        m.green = Clamp(288.12216f * Pow(t - 60.0f, -0.0755148492));
    }
    if (t >= 66.0f)
        m.blue = 255.0f;
    else if (t <= 19.0f)
        m.blue = 0.0f;
    else
        m.blue = Clamp(138.51773f * Ln(t - 10.0f) - 305.0448f);
    return m;
}

int CGammaRamp::KelvinForStrength(int strength)
{
    const qint64 kelvin = 6600 - 32 * qint64(strength);
    return int(qBound<qint64>(INT_MIN, kelvin, INT_MAX));
}

CGammaRamp::Multipliers CGammaRamp::Untinted()
{
    return {256.0f, 256.0f, 256.0f};
}

// Dividing by 256 is exact in single precision, so entry i × 256 scales to exactly the tint
// ramp's i × multiplier.
quint16 CGammaRamp::Scale(quint16 entry, float multiplier)
{
    return quint16(float(entry) / 256.0f * multiplier);
}

void CGammaRamp::FillColorTemperature(int kelvin)
{
    FillScaled(ChannelMultipliers(kelvin));
}

void CGammaRamp::FillScaled(const Multipliers& m)
{
    for (int i = 0; i < Size; ++i) {
        const float level = float(i);
        m_entries[size_t(i)] = quint16(level * m.red);
        m_entries[size_t(Size + i)] = quint16(level * m.green);
        m_entries[size_t(2 * Size + i)] = quint16(level * m.blue);
    }
}

void CGammaRamp::FillLinear()
{
    for (int i = 0; i < Size; ++i) {
        const auto entry = quint16(i * 256);
        m_entries[size_t(i)] = entry;
        m_entries[size_t(Size + i)] = entry;
        m_entries[size_t(2 * Size + i)] = entry;
    }
}

const quint16* CGammaRamp::Red() const
{
    return m_entries.data();
}

const quint16* CGammaRamp::Green() const
{
    return m_entries.data() + Size;
}

const quint16* CGammaRamp::Blue() const
{
    return m_entries.data() + 2 * Size;
}
