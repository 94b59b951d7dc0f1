#pragma once

#include <QString>

// A place on the earth the sun is followed at: degrees, north and east positive.
struct stPlace
{
    // The city the time-zone database names for the place; empty for coordinates the user typed.
    QString strCity;
    double latitude = 0.0;
    double longitude = 0.0;
};
