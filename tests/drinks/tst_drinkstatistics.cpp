// The statistics model over a real store, with the clock pinned to chosen local moments.
// Runs at UTC+8, where the day keys are those of the worked examples.
#include <QDateTime>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>

#include <memory>

#include "CDrinkStatistics.h"
#include "core/CIniSettings.h"
#include "core/CSystemUtil.h"
#include "TestHome.h"
#include "clock.h"

namespace {
constexpr int kSaveWaitMs = 10000;
}

class TestDrinkStatistics : public QObject
{
    Q_OBJECT
private:
    void Open()
    {
        m_stats = std::make_unique<CDrinkStatistics>();
        m_stats->LoadAll();
        QVERIFY(m_stats->WaitUntilSaved(kSaveWaitMs));
    }
    // The next start of the program: everything comes back from the file.
    void Reopen()
    {
        QVERIFY(m_stats->WaitUntilSaved(kSaveWaitMs));
        QCOMPARE(m_stats->UnsavedDrinks(), 0);
        m_stats.reset();
        Open();
    }
    static QString FileName()
    {
        return CSystemUtil::DataFolder() + QStringLiteral("/HealthConfig.db");
    }
    void SetNow(const QString& local)
    {
        CClock::SetLocal(QDateTime::fromString(local, QStringLiteral("yyyy-MM-dd HH:mm")));
    }
    void Drink(const QString& local, int amount)
    {
        SetNow(local);
        m_stats->RecordDrink(amount);
    }
    void ExecRaw(const QString& sql)
    {
        QSqlDatabase raw = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("raw"));
        raw.setDatabaseName(FileName());
        QVERIFY(raw.open());
        QVERIFY(QSqlQuery(raw).exec(sql));
        raw.close();
        raw = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("raw"));
    }

    // Every row of the five tables, as text.
    QStringList Dump()
    {
        QStringList rows;
        {
            QSqlDatabase raw = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("dump"));
            raw.setDatabaseName(FileName());
            raw.open();
            for (const char* table : {"times", "days", "weeks", "months", "totals"}) {
                QSqlQuery query(raw);
                query.exec(QStringLiteral("select * from %1 order by 1").arg(QLatin1String(table)));
                while (query.next()) {
                    QStringList fields;
                    for (int i = 0; i < query.record().count(); ++i)
                        fields.append(query.value(i).toString());
                    rows.append(QLatin1String(table) + QLatin1Char(':') + fields.join(QLatin1Char(',')));
                }
            }
        }
        QSqlDatabase::removeDatabase(QStringLiteral("dump"));
        return rows;
    }

    // The current pages against the expected figures; also checks the file through a restart.
    void CheckCurrentPages(const QString& dayKey, int weekKey, int monthKey, const QList<int>& day,
        const QList<int>& week, const QList<int>& month, const QList<int>& totals)
    {
        stDaysData d;
        QVERIFY(m_stats->GetDayByIndex(m_stats->DayCount() - 1, d));
        QCOMPARE(d.strDate, dayKey);
        QCOMPARE((QList<int>{d.nTotalDrinkNum, d.nAverDrinkNum, d.nTotalTimes, d.nPassed}), day);
        stWeeksData w;
        QVERIFY(m_stats->GetWeekByIndex(m_stats->WeekCount() - 1, w));
        QCOMPARE(w.nWeek, weekKey);
        QCOMPARE((QList<int>{w.nTotalDrinkNum, w.nTotalPassDay, w.nAverDrinkDay, w.nTotalDays, w.nPassed}), week);
        stMonthsData m;
        QVERIFY(m_stats->GetMonthByIndex(m_stats->MonthCount() - 1, m));
        QCOMPARE(m.nMonth, monthKey);
        QCOMPARE((QList<int>{m.nTotalDrinkNum, m.nTotalPassDay, m.nAverDrinkDay, m.nTotalDays, m.nPassed}), month);
        stTotalsData t;
        QVERIFY(m_stats->GetTotals(t));
        QCOMPARE(t.nTotalsNo, 1);
        QCOMPARE((QList<int>{t.nTotalDays, t.nTotalDrinkNum, t.nTotalPassDay, t.nAverDrink}), totals);
    }

private slots:
    void initTestCase()
    {
        QCOMPARE(QDateTime::fromSecsSinceEpoch(1796520000).offsetFromUtc(), 8 * 3600);
    }
    void init()
    {
        m_home = std::make_unique<CTestHome>();
        CIniSettings::Destroy();
        CIniSettings::Instance()->SetDrinksTarget(1500);
        Open();
    }
    void cleanup()
    {
        m_stats.reset();
        CIniSettings::Destroy();
        m_home.reset();
    }

    void workedExamples_data()
    {
        QTest::addColumn<QStringList>("drinks");
        QTest::addColumn<QString>("dayKey");
        QTest::addColumn<int>("weekKey");
        QTest::addColumn<int>("monthKey");
        // day: total, average, times, passed; week and month: total, pass days, average, days,
        // passed; totals: days, total, pass days, average.
        QTest::addColumn<QList<int>>("day");
        QTest::addColumn<QList<int>>("week");
        QTest::addColumn<QList<int>>("month");
        QTest::addColumn<QList<int>>("totals");

        QTest::newRow("first drink ever") << QStringList{"2026-12-06 09:20=150"} << "1796515200" << 202648 << 202612
                                          << QList<int>{150, 150, 1, 0} << QList<int>{150, 0, 150, 1, 0}
                                          << QList<int>{150, 0, 150, 1, 0} << QList<int>{1, 150, 0, 150};
        QTest::newRow("second drink reaches the target")
            << QStringList{"2026-12-06 09:20=150", "2026-12-06 12:00=1400"} << "1796515200" << 202648 << 202612
            << QList<int>{1550, 775, 2, 1} << QList<int>{1550, 1, 1550, 1, 1} << QList<int>{1550, 1, 1550, 1, 1}
            << QList<int>{1, 1550, 1, 1550};
        QTest::newRow("third drink after the target")
            << QStringList{"2026-12-06 09:20=150", "2026-12-06 12:00=1400", "2026-12-06 15:00=200"} << "1796515200"
            << 202648 << 202612 << QList<int>{1750, 583, 3, 1} << QList<int>{1750, 1, 1750, 1, 1}
            << QList<int>{1750, 1, 1750, 1, 1} << QList<int>{1, 1750, 1, 1750};
        QTest::newRow("new day in the same week")
            << QStringList{"2026-12-02 09:00=150", "2026-12-02 12:00=1400", "2026-12-03 09:00=300"} << "1796256000"
            << 202648 << 202612 << QList<int>{300, 300, 1, 0} << QList<int>{1850, 1, 925, 2, 1}
            << QList<int>{1850, 1, 925, 2, 1} << QList<int>{2, 1850, 1, 925};
        QTest::newRow("new week, then new month")
            << QStringList{"2026-11-29 09:00=1500", "2026-11-30 09:00=200", "2026-12-01 09:00=300"} << "1796083200"
            << 202648 << 202612 << QList<int>{300, 300, 1, 0} << QList<int>{500, 0, 250, 2, 0}
            << QList<int>{300, 0, 300, 1, 0} << QList<int>{3, 2000, 1, 666};
        // A raised target makes a passing day fail at its next drink; it counts once when it
        // passes again and not at all while it fails.
        QTest::newRow("target raised, reached again")
            << QStringList{"2026-12-06 09:00=1500", "target=2000", "2026-12-06 10:00=100", "2026-12-06 11:00=500"}
            << "1796515200" << 202648 << 202612 << QList<int>{2100, 700, 3, 1} << QList<int>{2100, 1, 2100, 1, 1}
            << QList<int>{2100, 1, 2100, 1, 1} << QList<int>{1, 2100, 1, 2100};
        QTest::newRow("target raised, not reached")
            << QStringList{"2026-12-06 09:00=1500", "target=2000", "2026-12-06 10:00=100"} << "1796515200" << 202648
            << 202612 << QList<int>{1600, 800, 2, 0} << QList<int>{1600, 0, 1600, 1, 0} << QList<int>{1600, 0, 1600, 1, 0}
            << QList<int>{1, 1600, 0, 1600};
        // Sums stop at the int's limits: a day at the limit stays passed.
        QTest::newRow("totals at the int limit")
            << QStringList{"sql=insert into days values ('1796515200', 2147483600, 1073741800, 2, 1);"
                           "insert into weeks values (202648, 2147483600, 1, 2147483600, 1, 1);"
                           "insert into months values (202612, 2147483600, 1, 2147483600, 1, 1);"
                           "insert into totals values (1, 1, 2147483600, 1, 2147483600)",
                   "2026-12-06 12:00=150"}
            << "1796515200" << 202648 << 202612 << QList<int>{2147483647, 715827882, 3, 1}
            << QList<int>{2147483647, 1, 2147483647, 1, 1} << QList<int>{2147483647, 1, 2147483647, 1, 1}
            << QList<int>{1, 2147483647, 1, 2147483647};
        // Numbers beyond an int (and a real) read as its limits, counts below one as 100; a
        // first day millions of years back leaves the pages usable.
        QTest::newRow("numbers beyond an int")
            << QStringList{"sql=insert into days values ('1796515200', 9000000000000000, 5, -3, 0);"
                           "insert into days values ('-7200000000000000', 100, 100, 1, 1);"
                           "insert into weeks values (202648, -9000000000000000, 0, 0, 0, 0);"
                           "insert into months values (202612, 1e300, 0, 0, 0, 0);"
                           "insert into totals values (1, 0, -2147483648, 2147483647, 0)",
                   "2026-12-06 12:00=150"}
            << "1796515200" << 202648 << 202612 << QList<int>{2147483647, 21474836, 100, 1}
            << QList<int>{-2147483498, 1, -21474834, 100, 0} << QList<int>{2147483647, 1, 21474836, 100, 0}
            << QList<int>{100, -2147483498, 2147483647, -21474834};
    }
    void workedExamples()
    {
        QFETCH(QStringList, drinks);
        QFETCH(QString, dayKey);
        QFETCH(int, weekKey);
        QFETCH(int, monthKey);
        QFETCH(QList<int>, day);
        QFETCH(QList<int>, week);
        QFETCH(QList<int>, month);
        QFETCH(QList<int>, totals);

        for (const QString& drink : drinks) {
            const QString when = drink.section(QLatin1Char('='), 0, 0);
            const QString value = drink.mid(drink.indexOf(QLatin1Char('=')) + 1);
            if (when == QLatin1String("target")) {
                CIniSettings::Instance()->SetDrinksTarget(value.toInt());
            } else if (when == QLatin1String("sql")) {
                // Rows a damaged or hand-edited file holds; reading them changes nothing.
                for (const QString& statement : value.split(QLatin1Char(';')))
                    ExecRaw(statement);
                const QStringList stored = Dump();
                Reopen();
                QCOMPARE(Dump(), stored);
            } else {
                Drink(when, value.toInt());
            }
        }
        CheckCurrentPages(dayKey, weekKey, monthKey, day, week, month, totals);
        if (QTest::currentTestFailed())
            return;
        Reopen();
        CheckCurrentPages(dayKey, weekKey, monthKey, day, week, month, totals);
    }

    void weekKey_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<int>("key");
        QTest::newRow("Mon 29 Dec 2025") << QDate(2025, 12, 29) << 202552;
        QTest::newRow("Thu 1 Jan 2026") << QDate(2026, 1, 1) << 202552;
        QTest::newRow("Sun 4 Jan 2026") << QDate(2026, 1, 4) << 202552;
        QTest::newRow("Mon 5 Jan 2026") << QDate(2026, 1, 5) << 202601;
        QTest::newRow("Mon 1 Jan 2024") << QDate(2024, 1, 1) << 202353;
        QTest::newRow("Mon 8 Jan 2024") << QDate(2024, 1, 8) << 202401;
        QTest::newRow("Sun 6 Dec 2026") << QDate(2026, 12, 6) << 202648;
        QTest::newRow("Thu 31 Dec 2026") << QDate(2026, 12, 31) << 202652;
    }
    void weekKey()
    {
        QFETCH(QDate, date);
        QFETCH(int, key);
        QCOMPARE(CDrinkStatistics::WeekKey(date), key);
    }

    void weeksRunMondayToSunday()
    {
        for (QDate d(2015, 12, 1); d < QDate(2030, 2, 1); d = d.addDays(1)) {
            const int key = CDrinkStatistics::WeekKey(d);
            const QDate monday = d.addDays(1 - d.dayOfWeek());
            QCOMPARE(CDrinkStatistics::MondayOfWeekKey(key), monday);
            QCOMPARE(CDrinkStatistics::WeekKey(monday), key);
        }
    }

    void counts_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("today");
        QTest::addColumn<int>("days");
        QTest::addColumn<int>("weeks");
        QTest::addColumn<int>("months");
        QTest::addColumn<int>("firstDay");
        QTest::addColumn<int>("firstWeek");

        QTest::newRow("same day") << "2026-12-06 09:20" << "2026-12-06 23:59" << 1 << 1 << 1 << 20261206 << 202648;
        QTest::newRow("next morning") << "2026-12-06 22:00" << "2026-12-07 01:00" << 2 << 2 << 1 << 20261206 << 202648;
        QTest::newRow("over new year") << "2025-12-29 10:00" << "2026-01-04 10:00" << 7 << 1 << 2 << 20251229 << 202552;
        QTest::newRow("year with a week 53") << "2023-12-25 10:00" << "2024-01-08 10:00" << 15 << 3 << 2 << 20231225 << 202352;
        QTest::newRow("into 2027") << "2026-12-30 10:00" << "2027-01-02 10:00" << 4 << 1 << 2 << 20261230 << 202652;
        QTest::newRow("ten years") << "2016-12-06 10:00" << "2026-12-06 10:00" << 3653 << 522 << 121 << 20161206 << 201649;
    }
    void counts()
    {
        QFETCH(QString, first);
        QFETCH(QString, today);
        QFETCH(int, days);
        QFETCH(int, weeks);
        QFETCH(int, months);
        QFETCH(int, firstDay);
        QFETCH(int, firstWeek);

        Drink(first, 500);
        SetNow(today);
        Reopen();
        QCOMPARE(m_stats->DayCount(), days);
        QCOMPARE(m_stats->WeekCount(), weeks);
        QCOMPARE(m_stats->MonthCount(), months);
        QCOMPARE(m_stats->FirstDay(), firstDay);
        QCOMPARE(m_stats->FirstWeek(), firstWeek);

        const QDate firstDate = QDateTime::fromString(first, QStringLiteral("yyyy-MM-dd HH:mm")).date();
        const QDate todayDate = CClock::LocalNow().date();
        // The oldest page is the first drink's; the newest is today's.
        QCOMPARE(m_stats->DateOfDayIndex(0), firstDate);
        QCOMPARE(m_stats->DateOfDayIndex(days - 1), todayDate);
        stDaysData d;
        QVERIFY(m_stats->GetDayByIndex(0, d));
        QCOMPARE(d.nTotalDrinkNum, 500);
        // Days without drinks have pages but no rows.
        QCOMPARE(m_stats->GetDayByIndex(days - 1, d), days == 1);
        QCOMPARE(m_stats->WeekKeyOfIndex(0), firstWeek);
        QCOMPARE(m_stats->WeekKeyOfIndex(weeks - 1), CDrinkStatistics::WeekKey(todayDate));
        stWeeksData w;
        QVERIFY(m_stats->GetWeekByIndex(0, w));
        QCOMPARE(m_stats->MonthKeyOfIndex(0), CDrinkStatistics::MonthKey(firstDate));
        QCOMPARE(m_stats->MonthKeyOfIndex(months - 1), CDrinkStatistics::MonthKey(todayDate));
        stMonthsData m;
        QVERIFY(m_stats->GetMonthByIndex(0, m));
        QCOMPARE(m.nTotalDrinkNum, 500);

        // A drink today gives the same counts as a new start.
        Drink(today, 100);
        QCOMPARE(m_stats->DayCount(), days);
        QCOMPARE(m_stats->WeekCount(), weeks);
        QCOMPARE(m_stats->MonthCount(), months);
    }

    void countsFollowOnlyStartsAndDrinks()
    {
        Drink(QStringLiteral("2026-12-06 09:20"), 150);
        QCOMPARE(m_stats->DayCount(), 1);
        SetNow(QStringLiteral("2026-12-07 09:00"));
        QCOMPARE(m_stats->DayCount(), 1);
        // The pages already follow the date: the only page is today's, which has no row yet.
        QCOMPARE(m_stats->DateOfDayIndex(0), QDate(2026, 12, 7));
        stDaysData none;
        QVERIFY(!m_stats->GetDayByIndex(0, none));
        Drink(QStringLiteral("2026-12-07 09:00"), 150);
        QCOMPARE(m_stats->DayCount(), 2);
        SetNow(QStringLiteral("2026-12-08 09:00"));
        Reopen();
        QCOMPARE(m_stats->DayCount(), 3);
        stDaysData d;
        QVERIFY(!m_stats->GetDayByIndex(2, d));
        QVERIFY(m_stats->GetDayByIndex(1, d));
        QCOMPARE(d.strDate, QString::number(1796515200 + 86400));
    }

    void emptyHistory()
    {
        SetNow(QStringLiteral("2026-12-06 09:20"));
        Reopen();
        stTotalsData t;
        QVERIFY(!m_stats->GetTotals(t));
        QCOMPARE(m_stats->DayCount(), 0);
        QCOMPARE(m_stats->WeekCount(), 0);
        QCOMPARE(m_stats->MonthCount(), 0);
        QCOMPARE(m_stats->FirstDay(), 20261206);
        QCOMPARE(m_stats->FirstWeek(), 202648);
        QCOMPARE(m_stats->FirstMonth(), 202612);
        stDaysData d;
        QVERIFY(!m_stats->GetDayByIndex(0, d));
        QVERIFY(!m_stats->GetDayByIndex(-1, d));
        stWeeksData w;
        QVERIFY(!m_stats->GetWeekByIndex(0, w));
    }

    void damagedTableKeepsTheDrink()
    {
        Drink(QStringLiteral("2026-12-06 09:20"), 150);
        QVERIFY(m_stats->WaitUntilSaved(kSaveWaitMs));
        // A damaged file: the days table is gone, the others are intact.
        ExecRaw(QStringLiteral("drop table days"));
        Drink(QStringLiteral("2026-12-06 12:00"), 400);

        // The drink counts in memory on top of what was read, but the file cannot take it
        // without its day: it waits.
        stTotalsData t;
        QVERIFY(m_stats->GetTotals(t));
        QCOMPARE(t.nTotalDrinkNum, 550);
        QVERIFY(!m_stats->WaitUntilSaved(500));
        QCOMPARE(m_stats->UnsavedDrinks(), 1);

        // The next start makes the table again and writes the kept drink, once.
        m_stats.reset();
        Open();
        QCOMPARE(m_stats->UnsavedDrinks(), 0);
        QVERIFY(m_stats->GetTotals(t));
        QCOMPARE(t.nTotalDrinkNum, 550);
        stDaysData d;
        QVERIFY(m_stats->GetDayByIndex(m_stats->DayCount() - 1, d));
        // The day's earlier drink went with the table.
        QCOMPARE(d.nTotalDrinkNum, 400);
    }

private:
    std::unique_ptr<CTestHome> m_home;
    std::unique_ptr<CDrinkStatistics> m_stats;
};

QTEST_GUILESS_MAIN(TestDrinkStatistics)
#include "tst_drinkstatistics.moc"
