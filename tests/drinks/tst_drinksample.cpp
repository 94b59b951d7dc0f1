// The sample history: plausible, repeatable, and nothing after the moment it ends at.
#include <QDateTime>
#include <QTest>

#include <memory>

#include "CDrinkSampleHistory.h"
#include "CDrinkStatistics.h"
#include "core/CIniSettings.h"
#include "TestHome.h"
#include "clock.h"

class TestDrinkSample : public QObject
{
    Q_OBJECT
private slots:
    void writesAPlausibleHistory()
    {
        CTestHome home;
        CIniSettings::Instance()->SetDrinksTarget(1500);
        const QDateTime now(QDate(2026, 12, 16), QTime(13, 0));
        int drinks = 0;
        {
            CDrinkStatistics statistics;
            drinks = CDrinkSampleHistory::Write(statistics, now, 30);
            QCOMPARE(CClock::LocalNow(), now);
            QCOMPARE(statistics.UnsavedDrinks(), 0);
        }
        // What a later start of the program reads back from the file.
        CDrinkStatistics statistics;
        statistics.LoadAll();
        QVERIFY(statistics.WaitUntilSaved(10000));
        QCOMPARE(statistics.DayCount(), 30);
        stTotalsData totals;
        QVERIFY(statistics.GetTotals(totals));
        QVERIFY2(totals.nTotalDays >= 24 && totals.nTotalDays <= 30, qPrintable(QString::number(totals.nTotalDays)));
        QVERIFY(totals.nTotalPassDay > 0 && totals.nTotalPassDay < totals.nTotalDays);
        QVERIFY(drinks > 2 * totals.nTotalDays);
        stDaysData today;
        QVERIFY(statistics.GetDayByIndex(29, today));
        // Only the morning's drinks so far.
        QVERIFY(today.nTotalTimes >= 1 && today.nTotalTimes <= 5);
        QVERIFY(!statistics.GetDayByIndex(30, today));

        CClock::Release();
        CIniSettings::Destroy();
    }

    void repeatsItself()
    {
        QList<int> totals;
        for (int run = 0; run < 2; ++run) {
            CTestHome home;
            CIniSettings::Instance()->SetDrinksTarget(1500);
            CDrinkStatistics statistics;
            CDrinkSampleHistory::Write(statistics, QDateTime(QDate(2026, 12, 16), QTime(22, 0)), 5);
            stTotalsData row;
            QVERIFY(statistics.GetTotals(row));
            totals << row.nTotalDrinkNum;
            CClock::Release();
            CIniSettings::Destroy();
        }
        QCOMPARE(totals.first(), totals.last());
        QVERIFY(totals.first() > 0);
    }
};

QTEST_MAIN(TestDrinkSample)
#include "tst_drinksample.moc"
