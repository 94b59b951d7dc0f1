#pragma once

#include <QDateTime>

// The one source of "now" for the whole program. Reminder grids, day changes and greetings all
// read it, so tests can pin it to the exact second that matters instead of sleeping.
class CClock
{
public:
    // Seconds since 1970-01-01 00:00 UTC.
    static qint64 Now();
    // Milliseconds since 1970-01-01 00:00 UTC.
    static qint64 NowMSecs();
    // The current local date and time.
    static QDateTime LocalNow();
    // The name of the zone local time is kept in, as the system gives it: normally the time-zone
    // database's, such as "Asia/Shanghai".
    static QByteArray TimeZoneId();

    // Pin the clock to a moment; it then stands still until moved or released.
    static void Set(qint64 secsSinceEpoch);
    static void SetLocal(const QDateTime& moment);
    // Move a pinned clock forward (or back, with a negative value).
    static void Advance(qint64 secs);
    // Follow the system clock again.
    static void Release();
};
