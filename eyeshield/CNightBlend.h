#pragma once

class QTime;

// How far into the night the automatic mode is, from 0 (full day) to 1 (full night), and the
// strength between the day's and the night's that goes with it. Plain arithmetic, no clock.
class CNightBlend
{
public:
    // Full day while the sun stands more than 3° up, full night once it is 6° down (civil
    // twilight is over), in a straight line between. Where the sun never rises or never sets the
    // height still tells the day's light, so polar days and nights need nothing of their own.
    static double SunShare(double elevation);
    // Night from `from` to `to` by the wall clock, across midnight when `to` comes earlier in the
    // day: the change toward night starts at `from` and the change back at `to`, each taking
    // `transitionMinutes` (0 switches at once). `from` equal to `to` leaves no night.
    static double ClockShare(const QTime& now, const QTime& from, const QTime& to, int transitionMinutes);
    // The strength a share of the night gives, rounded to a whole percent.
    static int Strength(int dayStrength, int nightStrength, double share);
};
