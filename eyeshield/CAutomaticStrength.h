#pragma once

#include <optional>

#include <QByteArray>

#include "stPlace.h"

// The automatic mode's strength now. By the table of hours, as it always was, or, with
// day and night switched on, between the day's and the night's strength by the sun at the
// user's place or by fixed times of the clock. It keeps the city of the last time zone looked
// up, so the minute's tick does not read the time-zone database again.
class CAutomaticStrength
{
public:
    static constexpr int MaxStrength = 100;
    static constexpr int MaxTransitionMinutes = 180;
    // What day and night follow, as eyeshield/daynight_source keeps it.
    enum Source
    {
        BySun = 0,
        ByClock = 1,
    };

    int Now();
    // Whether the tick that moved the strength from `before` to `after` tells the user: by the
    // table at 6, 12 and 18 o'clock, by day and night when the night begins.
    bool Announces(int before, int after);

private:
    // The strength by the table at a local hour of the day.
    static int ByHour(int hour);
    // Day and night apply: switched on, and for the sun a place to follow it at.
    bool DayAndNight();
    // The typed coordinates, or the time zone's city; none when the user typed none and the zone
    // names no city.
    std::optional<stPlace> Place();

    std::optional<QByteArray> m_zoneId;
    std::optional<stPlace> m_zonePlace;
};
