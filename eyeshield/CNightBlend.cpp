#include "CNightBlend.h"

#include <algorithm>

#include <QTime>

namespace {
constexpr double kFullDayElevation = 3.0;
constexpr double kFullNightElevation = -6.0;
constexpr int kSecondsPerDay = 24 * 60 * 60;

int SecondOfDay(const QTime& time)
{
    return time.msecsSinceStartOfDay() / 1000;
}

int Wrapped(int seconds)
{
    return (seconds % kSecondsPerDay + kSecondsPerDay) % kSecondsPerDay;
}
}

double CNightBlend::SunShare(double elevation)
{
    if (elevation >= kFullDayElevation)
        return 0.0;
    if (elevation <= kFullNightElevation)
        return 1.0;
    return (kFullDayElevation - elevation) / (kFullDayElevation - kFullNightElevation);
}

double CNightBlend::ClockShare(const QTime& now, const QTime& from, const QTime& to, int transitionMinutes)
{
    const int nightLength = Wrapped(SecondOfDay(to) - SecondOfDay(from));
    if (nightLength == 0)
        return 0.0;
    const int sinceFrom = Wrapped(SecondOfDay(now) - SecondOfDay(from));
    const int ramp = transitionMinutes * 60;
    if (ramp <= 0)
        return sinceFrom < nightLength ? 1.0 : 0.0;
    // The change toward night starts at `from`, the change back at `to` from wherever the first
    // got: a night shorter than the change never gets all the way. A day shorter than the change
    // begins while last night is still fading, and the darker of the two holds.
    const double reached = std::min(1.0, double(nightLength) / ramp);
    const auto night = [nightLength, ramp, reached](int since) {
        if (since < nightLength)
            return std::min(1.0, double(since) / ramp);
        return std::max(0.0, reached - double(since - nightLength) / ramp);
    };
    return std::max(night(sinceFrom), night(sinceFrom + kSecondsPerDay));
}

int CNightBlend::Strength(int dayStrength, int nightStrength, double share)
{
    return qRound(dayStrength + (nightStrength - dayStrength) * share);
}
