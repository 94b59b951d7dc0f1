// Day and night for the automatic mode without any window: the sun against published almanacs,
// the blend of the day's and the night's strength, and the city of a time zone from the system's
// own time-zone database.
#include <QDateTime>
#include <QTest>

#include <cstdlib>
#include <ctime>

#include "CNightBlend.h"
#include "CSolarPosition.h"
#include "CTimeZonePlace.h"
#include "clock.h"

namespace {
using Kind = CSolarPosition::stSunDay::Kind;

QDateTime Utc(int year, int month, int day, int hour, int minute, int second = 0)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second), Qt::UTC);
}

QString UtcText(qint64 utcSecs)
{
    return QDateTime::fromSecsSinceEpoch(utcSecs, Qt::UTC).toString(Qt::ISODate);
}
}

class TestDayNight : public QObject
{
    Q_OBJECT
private slots:
    void sunAtPlaces_data();
    void sunAtPlaces();
    void nightBlend_data();
    void nightBlend();
    void zonePlaces_data();
    void zonePlaces();
    void cleanup();
};

void TestDayNight::sunAtPlaces_data()
{
    QTest::addColumn<double>("latitude");
    QTest::addColumn<double>("longitude");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<int>("kind");
    // Published to the minute (to the second for New York); UTC.
    QTest::addColumn<QDateTime>("sunrise");
    QTest::addColumn<QDateTime>("sunset");
    // The sun's geometric height at a moment, published to a hundredth of a degree or better.
    QTest::addColumn<QDateTime>("moment");
    QTest::addColumn<double>("elevation");
    // The lightest and the darkest strength of that day with the default day 0 and night 40.
    QTest::addColumn<int>("lightest");
    QTest::addColumn<int>("darkest");

    // The US Naval Observatory's almanac (MET Norway's for the elevations at 70° N and at noon in
    // Reykjavik); New York from NOAA's own solar calculation table for 2015, with the noon
    // height from its declination of 23.4331°. Ushuaia's noon height from the solstice's
    // declination, -23.436°.
    QTest::newRow("equator: Quito, March equinox")
        << -0.1807 << -78.4678 << QDate(2025, 3, 20) << int(Kind::Ordinary) << Utc(2025, 3, 20, 11, 18)
        << Utc(2025, 3, 20, 23, 24) << Utc(2025, 3, 20, 17, 0) << 84.69836 << 0 << 40;
    QTest::newRow("mid-latitude: New York, June solstice")
        << 40.75 << -73.99 << QDate(2015, 6, 21) << int(Kind::Ordinary) << Utc(2015, 6, 21, 9, 24, 40)
        << Utc(2015, 6, 22, 0, 30, 29) << Utc(2015, 6, 21, 16, 57, 35) << 72.6831 << 0 << 40;
    QTest::newRow("mid-latitude: Oslo, June solstice, night just below -6°")
        << 59.9139 << 10.7522 << QDate(2025, 6, 21) << int(Kind::Ordinary) << Utc(2025, 6, 21, 1, 54)
        << Utc(2025, 6, 21, 20, 44) << Utc(2025, 6, 21, 10, 0) << 51.00185 << 0 << 40;
    QTest::newRow("mid-latitude: Oslo, December solstice")
        << 59.9139 << 10.7522 << QDate(2025, 12, 21) << int(Kind::Ordinary) << Utc(2025, 12, 21, 8, 18)
        << Utc(2025, 12, 21, 14, 12) << Utc(2025, 12, 21, 11, 0) << 6.58999 << 0 << 40;
    QTest::newRow("Reykjavik, December: never above +3°, never full day")
        << 64.1466 << -21.9426 << QDate(2025, 12, 21) << int(Kind::Ordinary) << Utc(2025, 12, 21, 11, 22)
        << Utc(2025, 12, 21, 15, 30) << Utc(2025, 12, 21, 13, 26) << 2.41 << 3 << 40;
    QTest::newRow("south: Ushuaia, December, sunset after midnight UTC")
        << -54.8019 << -68.3030 << QDate(2025, 12, 21) << int(Kind::Ordinary) << Utc(2025, 12, 21, 7, 52)
        << Utc(2025, 12, 22, 1, 11) << Utc(2025, 12, 21, 16, 31, 30) << 58.634 << 0 << 40;
    QTest::newRow("polar day: 70° N in June, midnight sun at +3.44°")
        << 70.0 << 0.0 << QDate(2025, 6, 21) << int(Kind::PolarDay) << QDateTime() << QDateTime()
        << Utc(2025, 6, 21, 0, 2) << 3.44 << 0 << 0;
    QTest::newRow("polar night: 70° N in December, noon at -3.44°")
        << 70.0 << 0.0 << QDate(2025, 12, 21) << int(Kind::PolarNight) << QDateTime() << QDateTime()
        << Utc(2025, 12, 21, 11, 58) << -3.44 << 29 << 40;
}

void TestDayNight::sunAtPlaces()
{
    QFETCH(double, latitude);
    QFETCH(double, longitude);
    QFETCH(QDate, date);
    QFETCH(int, kind);
    QFETCH(QDateTime, sunrise);
    QFETCH(QDateTime, sunset);
    QFETCH(QDateTime, moment);
    QFETCH(double, elevation);
    QFETCH(int, lightest);
    QFETCH(int, darkest);

    const double found = CSolarPosition::Elevation(moment.toSecsSinceEpoch(), latitude, longitude);
    QVERIFY2(qAbs(found - elevation) <= 0.02, qPrintable(QString::number(found, 'f', 5)));

    const CSolarPosition::stSunDay day = CSolarPosition::Day(date, latitude, longitude);
    QCOMPARE(int(day.kind), kind);
    if (day.kind == Kind::Ordinary) {
        // A minute: the almanacs round to it.
        QVERIFY2(qAbs(day.sunrise - sunrise.toSecsSinceEpoch()) <= 60, qPrintable(UtcText(day.sunrise)));
        QVERIFY2(qAbs(day.sunset - sunset.toSecsSinceEpoch()) <= 60, qPrintable(UtcText(day.sunset)));
    }

    // Through the whole day around its noon, whether or not the sun crosses the horizon.
    int lightestFound = 100;
    int darkestFound = 0;
    for (qint64 at = day.noon - 12 * 3600; at <= day.noon + 12 * 3600; at += 300) {
        const double share = CNightBlend::SunShare(CSolarPosition::Elevation(at, latitude, longitude));
        const int strength = CNightBlend::Strength(0, 40, share);
        lightestFound = qMin(lightestFound, strength);
        darkestFound = qMax(darkestFound, strength);
    }
    QCOMPARE(lightestFound, lightest);
    QCOMPARE(darkestFound, darkest);
}

void TestDayNight::nightBlend_data()
{
    // Either the sun's height or the wall clock against a night from `from` to `to`.
    QTest::addColumn<bool>("bySun");
    QTest::addColumn<double>("elevation");
    QTest::addColumn<QTime>("now");
    QTest::addColumn<QTime>("from");
    QTest::addColumn<QTime>("to");
    QTest::addColumn<int>("transition");
    QTest::addColumn<int>("day");
    QTest::addColumn<int>("night");
    QTest::addColumn<int>("strength");

    const auto sun = [](const char* name, double elevation, int day, int night, int strength) {
        QTest::newRow(name) << true << elevation << QTime() << QTime() << QTime() << 0 << day << night << strength;
    };
    sun("sun high", 30.0, 0, 40, 0);
    sun("sun at +3°: still full day", 3.0, 0, 40, 0);
    sun("sun on the horizon: a third of the way", 0.0, 0, 40, 13);
    sun("sun 1.5° down: halfway", -1.5, 0, 40, 20);
    sun("sun at -6°: full night", -6.0, 0, 40, 40);
    sun("sun deep down", -40.0, 0, 40, 40);
    sun("day 10 and night 70, halfway", -1.5, 10, 70, 40);
    sun("a night lighter than the day", -6.0, 30, 10, 10);

    const auto clock = [](const char* name, QTime now, QTime from, QTime to, int transition, int strength) {
        QTest::newRow(name) << false << 0.0 << now << from << to << transition << 0 << 40 << strength;
    };
    // 22:00 to 07:00 across midnight, half an hour of change at each end.
    const QTime ten(22, 0);
    const QTime seven(7, 0);
    clock("22-07: evening", QTime(21, 59), ten, seven, 30, 0);
    clock("22-07: the night begins", ten, ten, seven, 30, 0);
    clock("22-07: halfway into the night", QTime(22, 15), ten, seven, 30, 20);
    clock("22-07: full night", QTime(22, 30), ten, seven, 30, 40);
    clock("22-07: after midnight", QTime(3, 0), ten, seven, 30, 40);
    clock("22-07: the morning change begins", seven, ten, seven, 30, 40);
    clock("22-07: halfway to the day", QTime(7, 15), ten, seven, 30, 20);
    clock("22-07: full day", QTime(7, 30), ten, seven, 30, 0);
    clock("22-07: noon", QTime(12, 0), ten, seven, 30, 0);
    clock("22-07 at once: a second before", QTime(21, 59, 59), ten, seven, 0, 0);
    clock("22-07 at once: on the minute", ten, ten, seven, 0, 40);
    clock("22-07 at once: the last second", QTime(6, 59, 59), ten, seven, 0, 40);
    clock("22-07 at once: morning", seven, ten, seven, 0, 0);
    clock("13-15, inside one day", QTime(14, 0), QTime(13, 0), QTime(15, 0), 60, 40);
    clock("13-15, half an hour after", QTime(15, 30), QTime(13, 0), QTime(15, 0), 60, 20);
    clock("a night shorter than its change: the peak", QTime(22, 20), ten, QTime(22, 20), 60, 13);
    clock("a night shorter than its change: falling back", QTime(22, 30), ten, QTime(22, 20), 60, 7);
    clock("a day shorter than the change: last night still fading", QTime(12, 0), QTime(12, 0), QTime(11, 30), 60, 20);
    clock("from equal to to: no night", QTime(23, 0), ten, ten, 30, 0);
}

void TestDayNight::nightBlend()
{
    QFETCH(bool, bySun);
    QFETCH(double, elevation);
    QFETCH(QTime, now);
    QFETCH(QTime, from);
    QFETCH(QTime, to);
    QFETCH(int, transition);
    QFETCH(int, day);
    QFETCH(int, night);
    QFETCH(int, strength);
    const double share = bySun ? CNightBlend::SunShare(elevation) : CNightBlend::ClockShare(now, from, to, transition);
    QCOMPARE(CNightBlend::Strength(day, night, share), strength);
}

void TestDayNight::zonePlaces_data()
{
    QTest::addColumn<QByteArray>("zone");
    // Empty: the zone names no city.
    QTest::addColumn<QString>("city");
    QTest::addColumn<double>("latitude");
    QTest::addColumn<double>("longitude");
    QTest::newRow("Shanghai") << QByteArray("Asia/Shanghai") << "Shanghai" << 31.2333 << 121.4667;
    QTest::newRow("New York, to the second") << QByteArray("America/New_York") << "New York" << 40.7142 << -74.0064;
    QTest::newRow("Buenos Aires, south and west")
        << QByteArray("America/Argentina/Buenos_Aires") << "Buenos Aires" << -34.6 << -58.45;
    QTest::newRow("Oslo, merged into Berlin's zone") << QByteArray("Europe/Oslo") << "Oslo" << 59.9167 << 10.75;
    QTest::newRow("Calcutta, another name of Kolkata")
        << QByteArray("Asia/Calcutta") << "Kolkata" << 22.5333 << 88.3667;
    QTest::newRow("a zone named by its file")
        << QByteArray("/usr/share/zoneinfo/Asia/Tokyo") << "Tokyo" << 35.6544 << 139.7447;
    QTest::newRow("UTC") << QByteArray("Etc/UTC") << QString() << 0.0 << 0.0;
    QTest::newRow("a zone the database lacks") << QByteArray("Nowhere/Atlantis") << QString() << 0.0 << 0.0;
}

void TestDayNight::zonePlaces()
{
    QFETCH(QByteArray, zone);
    QFETCH(QString, city);
    QFETCH(double, latitude);
    QFETCH(double, longitude);
    qputenv("TZ", zone);
    tzset();
    QCOMPARE(CClock::TimeZoneId(), zone);

    const std::optional<stPlace> place = CTimeZonePlace::ForSystemZone();
    QCOMPARE(place.has_value(), !city.isEmpty());
    if (!place)
        return;
    QCOMPARE(place->strCity, city);
    QVERIFY2(qAbs(place->latitude - latitude) < 0.001, qPrintable(QString::number(place->latitude, 'f', 4)));
    QVERIFY2(qAbs(place->longitude - longitude) < 0.001, qPrintable(QString::number(place->longitude, 'f', 4)));
}

void TestDayNight::cleanup()
{
    qunsetenv("TZ");
    tzset();
}

QTEST_GUILESS_MAIN(TestDayNight)
#include "tst_daynight.moc"
