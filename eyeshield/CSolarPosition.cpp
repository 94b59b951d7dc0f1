#include "CSolarPosition.h"

#include <cmath>

#include <QDateTime>
#include <QtMath>

namespace {
constexpr double kUnixEpochJulianDay = 2440587.5;
constexpr double kJ2000JulianDay = 2451545.0;
constexpr double kDaysPerCentury = 36525.0;
constexpr qint64 kSecondsPerDay = 86400;
// The sun's centre stands this far below a level horizon when the top of its disc meets it:
// 34 minutes of arc of refraction and 16 of the disc's radius.
constexpr double kRiseZenith = 90.833;
// Each pass takes the sun's place at the moment the last pass found; three settle to a second.
constexpr int kPasses = 3;

struct stSunPlace
{
    // Degrees north of the celestial equator.
    double declination = 0.0;
    // Minutes the sundial runs ahead of the mean clock.
    double equationOfTime = 0.0;
};

stSunPlace SunAt(qint64 utcSecs)
{
    const double julianDay = double(utcSecs) / double(kSecondsPerDay) + kUnixEpochJulianDay;
    const double t = (julianDay - kJ2000JulianDay) / kDaysPerCentury;
    const double meanLongitude = std::fmod(280.46646 + t * (36000.76983 + t * 0.0003032), 360.0);
    const double meanAnomaly = qDegreesToRadians(357.52911 + t * (35999.05029 - 0.0001537 * t));
    const double eccentricity = 0.016708634 - t * (0.000042037 + 0.0000001267 * t);
    const double centre = std::sin(meanAnomaly) * (1.914602 - t * (0.004817 + 0.000014 * t))
        + std::sin(2.0 * meanAnomaly) * (0.019993 - 0.000101 * t) + std::sin(3.0 * meanAnomaly) * 0.000289;
    // Nutation and aberration move the apparent longitude and the obliquity a little.
    const double node = qDegreesToRadians(125.04 - 1934.136 * t);
    const double apparentLongitude = qDegreesToRadians(meanLongitude + centre - 0.00569 - 0.00478 * std::sin(node));
    const double meanObliquitySeconds = 21.448 - t * (46.815 + t * (0.00059 - t * 0.001813));
    const double meanObliquity = 23.0 + (26.0 + meanObliquitySeconds / 60.0) / 60.0;
    const double obliquity = qDegreesToRadians(meanObliquity + 0.00256 * std::cos(node));

    stSunPlace place;
    place.declination = qRadiansToDegrees(std::asin(std::sin(obliquity) * std::sin(apparentLongitude)));
    const double y = std::pow(std::tan(obliquity / 2.0), 2);
    const double l0 = qDegreesToRadians(meanLongitude);
    const double equation = y * std::sin(2.0 * l0) - 2.0 * eccentricity * std::sin(meanAnomaly)
        + 4.0 * eccentricity * y * std::sin(meanAnomaly) * std::cos(2.0 * l0) - 0.5 * y * y * std::sin(4.0 * l0)
        - 1.25 * eccentricity * eccentricity * std::sin(2.0 * meanAnomaly);
    // Four minutes of time to a degree of the earth's turn.
    place.equationOfTime = 4.0 * qRadiansToDegrees(equation);
    return place;
}

// The cosine of the hour angle at which the sun's centre stands at a zenith distance; outside
// -1 … 1 when it never gets there that day.
double CosHourAngle(double zenith, double latitude, double declination)
{
    const double phi = qDegreesToRadians(latitude);
    const double delta = qDegreesToRadians(declination);
    return (std::cos(qDegreesToRadians(zenith)) - std::sin(phi) * std::sin(delta)) / (std::cos(phi) * std::cos(delta));
}

// The sun stands highest when the sundial shows noon: the mean noon of the longitude, moved by
// the equation of time.
qint64 SolarNoon(qint64 midnight, double longitude, const stSunPlace& sun)
{
    return midnight + qRound64((720.0 - 4.0 * longitude - sun.equationOfTime) * 60.0);
}

// Sunrise (side -1) or sunset (side +1) of the day whose noon is given.
qint64 RiseOrSet(qint64 midnight, qint64 noon, double latitude, double longitude, int side)
{
    qint64 moment = noon;
    for (int pass = 0; pass < kPasses; ++pass) {
        const stSunPlace sun = SunAt(moment);
        const double cosHourAngle = qBound(-1.0, CosHourAngle(kRiseZenith, latitude, sun.declination), 1.0);
        const double hourAngle = qRadiansToDegrees(std::acos(cosHourAngle));
        moment = SolarNoon(midnight, longitude, sun) + side * qRound64(hourAngle * 240.0);
    }
    return moment;
}
}

double CSolarPosition::Elevation(qint64 utcSecs, double latitude, double longitude)
{
    const stSunPlace sun = SunAt(utcSecs);
    const double minuteOfDay = double((utcSecs % kSecondsPerDay + kSecondsPerDay) % kSecondsPerDay) / 60.0;
    double trueSolarMinutes = std::fmod(minuteOfDay + sun.equationOfTime + 4.0 * longitude, 1440.0);
    if (trueSolarMinutes < 0.0)
        trueSolarMinutes += 1440.0;
    const double hourAngle = qDegreesToRadians(trueSolarMinutes / 4.0 - 180.0);
    const double phi = qDegreesToRadians(latitude);
    const double delta = qDegreesToRadians(sun.declination);
    const double sinElevation = std::sin(phi) * std::sin(delta) + std::cos(phi) * std::cos(delta) * std::cos(hourAngle);
    return qRadiansToDegrees(std::asin(qBound(-1.0, sinElevation, 1.0)));
}

CSolarPosition::stSunDay CSolarPosition::Day(const QDate& date, double latitude, double longitude)
{
    const qint64 midnight = QDateTime(date, QTime(0, 0), Qt::UTC).toSecsSinceEpoch();
    stSunDay day;
    day.noon = midnight + qRound64((720.0 - 4.0 * longitude) * 60.0);
    for (int pass = 0; pass < kPasses; ++pass)
        day.noon = SolarNoon(midnight, longitude, SunAt(day.noon));

    const double cosHourAngle = CosHourAngle(kRiseZenith, latitude, SunAt(day.noon).declination);
    if (cosHourAngle > 1.0) {
        day.kind = stSunDay::PolarNight;
        return day;
    }
    if (cosHourAngle < -1.0) {
        day.kind = stSunDay::PolarDay;
        return day;
    }
    day.sunrise = RiseOrSet(midnight, day.noon, latitude, longitude, -1);
    day.sunset = RiseOrSet(midnight, day.noon, latitude, longitude, 1);
    return day;
}
