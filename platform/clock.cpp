#include "clock.h"

#include <optional>

#include <QTimeZone>

namespace {
std::optional<qint64>& PinnedMSecs()
{
    static std::optional<qint64> pinned;
    return pinned;
}
}

qint64 CClock::Now()
{
    return NowMSecs() / 1000;
}

qint64 CClock::NowMSecs()
{
    const auto& pinned = PinnedMSecs();
    return pinned ? *pinned : QDateTime::currentMSecsSinceEpoch();
}

QDateTime CClock::LocalNow()
{
    return QDateTime::fromMSecsSinceEpoch(NowMSecs());
}

QByteArray CClock::TimeZoneId()
{
    return QTimeZone::systemTimeZoneId();
}

void CClock::Set(qint64 secsSinceEpoch)
{
    PinnedMSecs() = secsSinceEpoch * 1000;
}

void CClock::SetLocal(const QDateTime& moment)
{
    PinnedMSecs() = moment.toMSecsSinceEpoch();
}

void CClock::Advance(qint64 secs)
{
    PinnedMSecs() = NowMSecs() + secs * 1000;
}

void CClock::Release()
{
    PinnedMSecs().reset();
}
