#pragma once

#include <optional>

#include <QByteArray>

#include "stPlace.h"

// The principal city of a time zone, from the system's time-zone database, which lists one for
// every zone of the world: a place to follow the sun at that needs no network service.
class CTimeZonePlace
{
public:
    // The city of the zone local time is kept in.
    static std::optional<stPlace> ForSystemZone();
    // The zone's row in zone1970.tab, else in zone.tab (which keeps the countries' own cities of
    // zones that were merged, such as Oslo), else the place of the zone it is another name of
    // ("Asia/Calcutta" is "Asia/Kolkata"). None for zones of no place, such as "Etc/UTC".
    static std::optional<stPlace> ForZone(const QByteArray& zoneId);

    // The place in a table of zone1970.tab's or zone.tab's form.
    static std::optional<stPlace> FindInTable(const QByteArray& table, const QByteArray& zoneId);
    // The zone a link of tzdata.zi names, or empty.
    static QByteArray LinkTarget(const QByteArray& links, const QByteArray& zoneId);
    // Coordinates in the tables' ISO 6709 form, ±DDMM±DDDMM or ±DDMMSS±DDDMMSS.
    static std::optional<stPlace> ParseCoordinates(const QByteArray& coordinates);
};
