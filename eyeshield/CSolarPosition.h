#pragma once

#include <QtGlobal>

class QDate;

// Where the sun stands for a place on the earth, by NOAA's solar position equations (the low
// accuracy solar coordinates of Meeus, good to about a hundredth of a degree and a minute of time
// between 1800 and 2100). Plain arithmetic on UTC seconds: no clock, no time zone.
// Latitudes are positive to the north, longitudes positive to the east, angles in degrees.
class CSolarPosition
{
public:
    // The sun's height above the horizon at a moment: the geometric height of its centre, without
    // the lift the air gives near the horizon.
    static double Elevation(qint64 utcSecs, double latitude, double longitude);

    struct stSunDay
    {
        enum Kind
        {
            // The sun rises and sets.
            Ordinary,
            // The sun stays up the whole day (midnight sun).
            PolarDay,
            // The sun stays down the whole day.
            PolarNight,
        };
        Kind kind = Ordinary;
        // UTC seconds. Sunrise and sunset are those of an ordinary day only: the moments the top
        // of the sun's disc meets a level horizon, refraction included.
        qint64 noon = 0;
        qint64 sunrise = 0;
        qint64 sunset = 0;
    };
    // The solar day around the local noon of a date: the date as the clocks at that longitude
    // name it when they keep the sun's mean time.
    static stSunDay Day(const QDate& date, double latitude, double longitude);
};
