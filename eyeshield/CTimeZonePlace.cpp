#include "CTimeZonePlace.h"

#include <QList>
#include <QString>

#include "clock.h"
#include "timezonedata.h"

namespace {
const char* const kZoneTables[] = {"zone1970.tab", "zone.tab"};
const char* const kLinks = "tzdata.zi";

// "America/Argentina/Buenos_Aires" is in Buenos Aires.
QString CityOf(const QByteArray& zoneId)
{
    QString city = QString::fromUtf8(zoneId.mid(zoneId.lastIndexOf('/') + 1));
    city.replace(QLatin1Char('_'), QLatin1Char(' '));
    return city;
}

// Degrees from a sign, `degreeDigits` digits of degrees, two of minutes and maybe two of seconds.
std::optional<double> Angle(const QByteArray& text, int degreeDigits, double limit)
{
    if (text.size() != 1 + degreeDigits + 2 && text.size() != 1 + degreeDigits + 4)
        return std::nullopt;
    if (text.front() != '+' && text.front() != '-')
        return std::nullopt;
    for (int i = 1; i < text.size(); ++i) {
        if (text.at(i) < '0' || text.at(i) > '9')
            return std::nullopt;
    }
    const int degrees = text.mid(1, degreeDigits).toInt();
    const int minutes = text.mid(1 + degreeDigits, 2).toInt();
    const int seconds = text.size() > 1 + degreeDigits + 2 ? text.mid(1 + degreeDigits + 2, 2).toInt() : 0;
    const double angle = degrees + minutes / 60.0 + seconds / 3600.0;
    if (minutes >= 60 || seconds >= 60 || angle > limit)
        return std::nullopt;
    return text.front() == '-' ? -angle : angle;
}
}

std::optional<stPlace> CTimeZonePlace::ForSystemZone()
{
    return ForZone(CClock::TimeZoneId());
}

std::optional<stPlace> CTimeZonePlace::ForZone(const QByteArray& zoneId)
{
    // A TZ that names the zone's file ("/usr/share/zoneinfo/Asia/Shanghai") names the zone too.
    const char* const folder = "/zoneinfo/";
    const int inFolder = zoneId.lastIndexOf(folder);
    QByteArray zone = inFolder < 0 ? zoneId : zoneId.mid(inFolder + int(qstrlen(folder)));
    // A link always leads to a zone of its own, so one step is enough.
    for (int step = 0; step < 2 && !zone.isEmpty(); ++step) {
        for (const char* table : kZoneTables) {
            if (std::optional<stPlace> place = FindInTable(TimeZoneData::Read(QLatin1String(table)), zone))
                return place;
        }
        zone = LinkTarget(TimeZoneData::Read(QLatin1String(kLinks)), zone);
    }
    return std::nullopt;
}

std::optional<stPlace> CTimeZonePlace::FindInTable(const QByteArray& table, const QByteArray& zoneId)
{
    if (zoneId.isEmpty())
        return std::nullopt;
    for (const QByteArray& line : table.split('\n')) {
        if (line.startsWith('#'))
            continue;
        // Country codes, coordinates, zone, and for some a comment, a tab apart.
        const QList<QByteArray> fields = line.split('\t');
        if (fields.size() < 3 || fields.at(2) != zoneId)
            continue;
        std::optional<stPlace> place = ParseCoordinates(fields.at(1));
        if (place)
            place->strCity = CityOf(zoneId);
        return place;
    }
    return std::nullopt;
}

QByteArray CTimeZonePlace::LinkTarget(const QByteArray& links, const QByteArray& zoneId)
{
    if (zoneId.isEmpty())
        return {};
    // "L Asia/Kolkata Asia/Calcutta": the second name is another name of the first.
    for (const QByteArray& line : links.split('\n')) {
        if (!line.startsWith("L "))
            continue;
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() >= 3 && fields.at(2) == zoneId)
            return fields.at(1);
    }
    return {};
}

std::optional<stPlace> CTimeZonePlace::ParseCoordinates(const QByteArray& coordinates)
{
    // The longitude starts at the second sign.
    int split = 1;
    while (split < coordinates.size() && coordinates.at(split) != '+' && coordinates.at(split) != '-')
        ++split;
    const std::optional<double> latitude = Angle(coordinates.left(split), 2, 90.0);
    const std::optional<double> longitude = Angle(coordinates.mid(split), 3, 180.0);
    if (!latitude || !longitude)
        return std::nullopt;
    stPlace place;
    place.latitude = *latitude;
    place.longitude = *longitude;
    return place;
}
