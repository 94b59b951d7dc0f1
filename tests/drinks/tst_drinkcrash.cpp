// A recording process killed with SIGKILL at random moments, many times over. Whatever moment
// the kill lands on, the history file must open and its five tables must agree.
//
// The test starts this same executable with "record START STEP" as its child: it records one
// drink every STEP seconds of pinned clock from START and prints each moment once it is stored.
// A drink the kill caught between the file and the settings is taken up by the next run, and a
// settings write the kill cut short must not hold up the next run's.
#include <QCoreApplication>
#include <QDateTime>
#include <QMap>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>
#include <QThread>

#include <cstdio>

#include "CDrinkStatistics.h"
#include "core/CIniSettings.h"
#include "TestHome.h"
#include "clock.h"

namespace {
constexpr int kTarget = 1000;
constexpr int kRuns = 30;

int RunRecorder(qint64 start, qint64 step)
{
    CIniSettings::Instance()->SetDrinksTarget(kTarget);
    CDrinkStatistics* stats = CDrinkStatistics::Instance();
    for (qint64 t = start;; t += step) {
        CClock::Set(t);
        stats->RecordDrink(50 + int(t / 60 % 300));
        if (!stats->WaitUntilSaved(10000))
            return 1;
        std::printf("%lld\n", static_cast<long long>(t));
        std::fflush(stdout);
    }
}

struct Sums
{
    int total = 0;
    int count = 0;
    int passed = 0;
};

QDate DateOfDayKey(qint64 key)
{
    return QDate(1970, 1, 1).addDays(key / 86400);
}
}

class TestDrinkCrash : public QObject
{
    Q_OBJECT
private slots:
    void killedWhileRecording()
    {
        CTestHome home;
        const qint64 step = 3 * 3600 + 17 * 60 + 1;
        qint64 next = QDateTime(QDate(2026, 11, 20), QTime(6, 0)).toSecsSinceEpoch();
        qint64 lastStored = 0;
        QRandomGenerator random(20261207);
        for (int run = 0; run < kRuns; ++run) {
            QProcess child;
            child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("record"), QString::number(next), QString::number(step)});
            QVERIFY(child.waitForStarted());
            const int wanted = 1 + int(random.bounded(5));
            QByteArray printed;
            while (printed.count('\n') < wanted) {
                QVERIFY2(child.waitForReadyRead(10000), "the recorder stopped printing");
                printed += child.readAllStandardOutput();
            }
            // Land anywhere inside one of the next drinks.
            QThread::usleep(random.bounded(4000));
            child.kill();
            QVERIFY(child.waitForFinished(10000));
            QCOMPARE(child.exitStatus(), QProcess::CrashExit);
            printed += child.readAllStandardOutput();
            const QList<QByteArray> lines = printed.left(printed.lastIndexOf('\n')).split('\n');
            lastStored = lines.last().toLongLong();
            // The drink after the last printed one may or may not have been stored.
            next = lastStored + 2 * step;
        }

        QSqlDatabase raw = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("check"));
        raw.setDatabaseName(home.DataFolder() + QStringLiteral("/tst_drinkcrash/HealthConfig.db"));
        QVERIFY(raw.open());
        {
            QSqlQuery query(raw);
            QVERIFY(query.exec(QStringLiteral("pragma integrity_check")) && query.next());
            QCOMPARE(query.value(0).toString(), QStringLiteral("ok"));

            // Regroup the drinks by day, then the days by week and month, and compare.
            QMap<qint64, Sums> byDay;
            Sums all;
            bool lastFound = false;
            QVERIFY(query.exec(QStringLiteral("select date, drinknum from times")));
            while (query.next()) {
                const qint64 t = query.value(0).toLongLong();
                lastFound = lastFound || t == lastStored;
                Sums& day = byDay[CDrinkStatistics::DayKey(t)];
                day.total += query.value(1).toInt();
                ++day.count;
            }
            QVERIFY2(lastFound, "a drink reported as stored is missing");
            QVERIFY(byDay.size() > 7);

            QMap<int, Sums> byWeek;
            QMap<int, Sums> byMonth;
            QVERIFY(query.exec(QStringLiteral("select date, totaldrinknum, averdrinknum, totaltimes, passed from days")));
            int dayRows = 0;
            while (query.next()) {
                ++dayRows;
                const qint64 key = query.value(0).toLongLong();
                QVERIFY2(byDay.contains(key), qPrintable(QStringLiteral("day %1 has no drinks").arg(key)));
                const Sums& drinks = byDay.value(key);
                QCOMPARE(query.value(1).toInt(), drinks.total);
                QCOMPARE(query.value(3).toInt(), drinks.count);
                QCOMPARE(query.value(2).toInt(), drinks.total / drinks.count);
                const int passed = query.value(4).toInt();
                QCOMPARE(passed, drinks.total >= kTarget ? 1 : 0);
                for (Sums* period : {&byWeek[CDrinkStatistics::WeekKey(DateOfDayKey(key))],
                         &byMonth[CDrinkStatistics::MonthKey(DateOfDayKey(key))], &all}) {
                    period->total += drinks.total;
                    ++period->count;
                    period->passed += passed;
                }
            }
            QCOMPARE(dayRows, byDay.size());

            for (const auto& [table, expected] : {std::pair{QStringLiteral("weeks"), byWeek}, std::pair{QStringLiteral("months"), byMonth}}) {
                QVERIFY(query.exec(QStringLiteral("select %1, totaldrinknum, totalpassdays, averdrinknum, passed, totaldays from %2")
                                       .arg(table == QLatin1String("weeks") ? QStringLiteral("week") : QStringLiteral("month"), table)));
                int rows = 0;
                while (query.next()) {
                    ++rows;
                    const int key = query.value(0).toInt();
                    QVERIFY2(expected.contains(key), qPrintable(QStringLiteral("%1 row %2 has no days").arg(table).arg(key)));
                    const Sums& days = expected.value(key);
                    QCOMPARE(query.value(1).toInt(), days.total);
                    QCOMPARE(query.value(2).toInt(), days.passed);
                    QCOMPARE(query.value(3).toInt(), days.total / days.count);
                    QCOMPARE(query.value(4).toInt(), days.passed * 2 >= days.count ? 1 : 0);
                    QCOMPARE(query.value(5).toInt(), days.count);
                }
                QCOMPARE(rows, expected.size());
            }

            QVERIFY(query.exec(QStringLiteral("select totalsno, totaldays, totaldrinknum, totalpassdays, averdirnknum from totals")));
            QVERIFY(query.next());
            QCOMPARE(query.value(0).toInt(), 1);
            QCOMPARE(query.value(1).toInt(), all.count);
            QCOMPARE(query.value(2).toInt(), all.total);
            QCOMPARE(query.value(3).toInt(), all.passed);
            QCOMPARE(query.value(4).toInt(), all.total / all.count);
            QVERIFY(!query.next());
        }
        raw.close();
        raw = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("check"));

        // The next start reads the same history.
        CDrinkStatistics stats;
        stats.LoadAll();
        QVERIFY(stats.WaitUntilSaved(10000));
        stTotalsData totals;
        QVERIFY(stats.GetTotals(totals));
        QVERIFY(totals.nTotalDrinkNum > 0);
    }
};

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc == 4 && qstrcmp(argv[1], "record") == 0)
        return RunRecorder(QByteArray(argv[2]).toLongLong(), QByteArray(argv[3]).toLongLong());
    TestDrinkCrash test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_drinkcrash.moc"
