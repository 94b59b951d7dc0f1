#include "CAutomaticStrength.h"

#include <QDateTime>

#include "CNightBlend.h"
#include "CSolarPosition.h"
#include "CTimeZonePlace.h"
#include "core/CIniSettings.h"
#include "clock.h"

int CAutomaticStrength::ByHour(int hour)
{
    if (hour < 6)
        return 0;
    if (hour < 12)
        return 15;
    if (hour < 18)
        return 30;
    return 40;
}

int CAutomaticStrength::Now()
{
    const QTime time = CClock::LocalNow().time();
    if (!DayAndNight())
        return ByHour(time.hour());
    CIniSettings* settings = CIniSettings::Instance();
    double share = 0.0;
    if (settings->GetDayNightSource() == ByClock) {
        const int transition = qBound(0, settings->GetTransitionMinutes(), MaxTransitionMinutes);
        share = CNightBlend::ClockShare(time, settings->GetNightFrom(), settings->GetNightTo(), transition);
    } else {
        const stPlace place = *Place();
        share = CNightBlend::SunShare(CSolarPosition::Elevation(CClock::Now(), place.latitude, place.longitude));
    }
    return CNightBlend::Strength(qBound(0, settings->GetDayStrength(), MaxStrength),
        qBound(0, settings->GetNightStrength(), MaxStrength), share);
}

bool CAutomaticStrength::Announces(int before, int after)
{
    if (before == after)
        return false;
    if (!DayAndNight()) {
        const int hour = CClock::LocalNow().time().hour();
        return hour == 6 || hour == 12 || hour == 18;
    }
    // The night begins when the strength leaves the day's.
    return before == qBound(0, CIniSettings::Instance()->GetDayStrength(), MaxStrength);
}

bool CAutomaticStrength::DayAndNight()
{
    CIniSettings* settings = CIniSettings::Instance();
    if (settings->GetDayNightStatus() == 0)
        return false;
    return settings->GetDayNightSource() == ByClock || Place().has_value();
}

std::optional<stPlace> CAutomaticStrength::Place()
{
    CIniSettings* settings = CIniSettings::Instance();
    if (settings->GetPlaceTyped() != 0) {
        stPlace typed;
        typed.latitude = qBound(-90.0, settings->GetLatitude(), 90.0);
        typed.longitude = qBound(-180.0, settings->GetLongitude(), 180.0);
        return typed;
    }
    const QByteArray zoneId = CClock::TimeZoneId();
    if (m_zoneId != zoneId) {
        m_zoneId = zoneId;
        m_zonePlace = CTimeZonePlace::ForZone(zoneId);
    }
    return m_zonePlace;
}
