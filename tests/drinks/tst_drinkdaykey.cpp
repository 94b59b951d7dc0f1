// Which day a drink belongs to, on machines in different time zones. CTest runs this test once
// per zone with TZ set; a day must run from local midnight to local midnight everywhere.
#include <QDateTime>
#include <QTest>

#include <memory>

#include "CDrinkStatistics.h"
#include "core/CIniSettings.h"
#include "TestHome.h"
#include "clock.h"

namespace {
// Midnight UTC of 6 December 2026: the key of that calendar date in every zone.
constexpr qint64 kKeyOf6Dec2026 = 1796515200;

QDateTime Local(const QString& text)
{
    return QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}
}

class TestDrinkDayKey : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(!qgetenv("TZ").isEmpty(), "run with TZ set to the zone under test");
        qInfo("UTC offset in December: %d s", Local(QStringLiteral("2026-12-06 12:00:00")).offsetFromUtc());
    }

    void sameLocalDateSameKey_data()
    {
        QTest::addColumn<QStringList>("moments");
        QTest::newRow("morning and evening") << QStringList{"2026-12-06 08:00:00", "2026-12-06 20:00:00"};
        QTest::newRow("first and last second")
            << QStringList{"2026-12-06 00:00:00", "2026-12-06 12:00:00", "2026-12-06 23:59:59"};
    }
    void sameLocalDateSameKey()
    {
        QFETCH(QStringList, moments);
        CTestHome home;
        CIniSettings::Destroy();
        CIniSettings::Instance()->SetDrinksTarget(1500);
        {
            CDrinkStatistics stats;
            stats.LoadAll();
            QVERIFY(stats.WaitUntilSaved(10000));
            for (const QString& moment : moments) {
                QCOMPARE(CDrinkStatistics::DayKey(Local(moment).toSecsSinceEpoch()), kKeyOf6Dec2026);
                CClock::SetLocal(Local(moment));
                stats.RecordDrink(200);
            }
            // The day view shows all of them under that date.
            QCOMPARE(stats.DayCount(), 1);
            QCOMPARE(stats.FirstDay(), 20261206);
            QCOMPARE(stats.DateOfDayIndex(0), QDate(2026, 12, 6));
            stDaysData day;
            QVERIFY(stats.GetDayByIndex(0, day));
            QCOMPARE(day.strDate, QString::number(kKeyOf6Dec2026));
            QCOMPARE(day.nTotalTimes, moments.size());
            QCOMPARE(day.nTotalDrinkNum, 200 * moments.size());

            // One second after local midnight is the next day.
            CClock::SetLocal(Local(QStringLiteral("2026-12-07 00:00:01")));
            stats.RecordDrink(300);
            QCOMPARE(stats.DayCount(), 2);
            QVERIFY(stats.GetDayByIndex(1, day));
            QCOMPARE(day.strDate, QString::number(kKeyOf6Dec2026 + 86400));
            QCOMPARE(day.nTotalTimes, 1);
        }
        CIniSettings::Destroy();
    }

    void utcPlus8KeepsItsKeys()
    {
        if (QDateTime::fromSecsSinceEpoch(1796520000).offsetFromUtc() != 8 * 3600)
            QSKIP("only meaningful on a machine at UTC+8");
        QCOMPARE(CDrinkStatistics::DayKey(1796520000), kKeyOf6Dec2026);
        // Files written with the fixed eight hours keep their meaning: every moment of a year
        // (every 7 minutes 13 seconds) gets the key it had.
        for (qint64 t = 1767225600; t < 1767225600 + 366 * 86400; t += 433)
            QCOMPARE(CDrinkStatistics::DayKey(t), (t + 28800) / 86400 * 86400);
    }
};

QTEST_GUILESS_MAIN(TestDrinkDayKey)
#include "tst_drinkdaykey.moc"
