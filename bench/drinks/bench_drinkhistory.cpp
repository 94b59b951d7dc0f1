// Costs of the drink history with ten years behind it (3,650 days of ten drinks each), each
// printed beside the cost of the bare SQLite work it cannot avoid, measured in the same run on
// the same disk:
//   RecordDrink              the window's share, and until the drink is in the file (after the
//                            settings that keep it till then), against one bare commit of one
//                            row (same journal mode)
//   LoadAll                  until the rows are in memory, against a bare read of the same rows
//   GetDayByIndex            first, middle and last day
// Usage: bench_drinkhistory [FOLDER]   (default: a temporary folder in the current folder)
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QMap>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QVariant>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "CDrinkStatistics.h"
#include "CDrinkTally.h"
#include "CHealthDatabase.h"
#include "core/CIniSettings.h"
#include "clock.h"

namespace {
constexpr int kDays = 3650;
constexpr int kDrinksPerDay = 10;

double Median(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Wall time of one call, in microseconds.
double Micros(const std::function<void()>& work, int calls = 1)
{
    QElapsedTimer timer;
    timer.start();
    for (int c = 0; c < calls; ++c)
        work();
    return double(timer.nsecsElapsed()) / 1000.0 / calls;
}

// Medians of two kinds of work whose samples take turns, so that both meet the same load of
// the machine and the same state of the disk.
std::pair<double, double> PairedMedians(int samples, const std::function<void()>& first, const std::function<void()>& second)
{
    std::vector<double> a;
    std::vector<double> b;
    for (int i = 0; i < samples; ++i) {
        a.push_back(Micros(first));
        b.push_back(Micros(second));
    }
    return {Median(a), Median(b)};
}

QString Pragma(const QSqlDatabase& db, const QString& name)
{
    QSqlQuery query(db);
    query.exec(QStringLiteral("pragma ") + name);
    return query.next() ? query.value(0).toString() : QString();
}

bool Report(const char* what, double micros, double limit, const char* against)
{
    const bool pass = micros <= limit;
    std::printf("%-28s %10.1f us   limit %10.1f us (%s)   %s\n", what, micros, limit, against, pass ? "PASS" : "FAIL");
    return pass;
}
}

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QString base = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
    QTemporaryDir home(base + QStringLiteral("/drinkbench-XXXXXX"));
    if (!home.isValid()) {
        std::fprintf(stderr, "cannot make a folder in %s\n", qPrintable(base));
        return 1;
    }
    qputenv("XDG_DATA_HOME", home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", home.path().toUtf8());

    CIniSettings::Instance()->SetDrinksTarget(1500);

    // Ten years of drinks ending yesterday, counted by the model's own tally and written in one
    // transaction, so that building the history does not take one disk flush per drink.
    const QDate today = QDate::currentDate();
    QElapsedTimer building;
    building.start();
    QString fileName;
    {
        CHealthDatabase store(QStringLiteral("build"));
        store.Init();
        if (!store.IsOpen()) {
            std::fprintf(stderr, "cannot open %s\n", qPrintable(store.FileName()));
            return 1;
        }
        fileName = store.FileName();
        QMap<QString, stDaysData> days;
        QMap<int, stWeeksData> weeks;
        QMap<int, stMonthsData> months;
        QVector<stTotalsData> totals;
        store.WriteTogether([&] {
            for (int d = kDays; d >= 1; --d) {
                const QDate day = today.addDays(-d);
                for (int k = 0; k < kDrinksPerDay; ++k) {
                    const stDrink drink{QDateTime(day, QTime(8, 0).addSecs(k * 80 * 60)).toSecsSinceEpoch(),
                        100 + (d * 7 + k * 13) % 150, 1500};
                    const QString dayKey = QString::number(CDrinkStatistics::DayKey(drink.nTime));
                    const int weekKey = CDrinkStatistics::WeekKey(day);
                    const int monthKey = CDrinkStatistics::MonthKey(day);
                    CDrinkTally::Rows rows;
                    if (days.contains(dayKey))
                        rows.days.append(days.value(dayKey));
                    if (weeks.contains(weekKey))
                        rows.weeks.append(weeks.value(weekKey));
                    if (months.contains(monthKey))
                        rows.months.append(months.value(monthKey));
                    rows.totals = totals;
                    CDrinkTally::Add(drink, rows);
                    days.insert(dayKey, rows.days.first());
                    weeks.insert(weekKey, rows.weeks.first());
                    months.insert(monthKey, rows.months.first());
                    totals = rows.totals;
                    store.ReplaceTimes(stTimesData{QString::number(drink.nTime), drink.nDrinkNum});
                }
            }
            return store.ReplaceDays(days.values().toVector()) && store.ReplaceWeeks(weeks.values().toVector())
                && store.ReplaceMonths(months.values().toVector()) && store.ReplaceTotals(totals);
        });
    }
    CDrinkStatistics stats;
    stats.LoadAll();
    stats.WaitUntilSaved(60000);
    std::printf("history: %d days, %d drinks in %s (built in %.1f s)\n", kDays, kDays * kDrinksPerDay,
        qPrintable(fileName), building.elapsed() / 1000.0);

    // The bare commit: one row, its own file beside the history, same journal and sync modes.
    QSqlDatabase historyDb = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("modes"));
    historyDb.setDatabaseName(fileName);
    historyDb.open();
    const QString journal = Pragma(historyDb, QStringLiteral("journal_mode"));
    const QString synchronous = Pragma(historyDb, QStringLiteral("synchronous"));
    QSqlDatabase bare = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bare"));
    bare.setDatabaseName(home.path() + QStringLiteral("/bare.db"));
    bare.open();
    QSqlQuery(bare).exec(QStringLiteral("pragma journal_mode=") + journal);
    QSqlQuery(bare).exec(QStringLiteral("pragma synchronous=") + synchronous);
    QSqlQuery(bare).exec(QStringLiteral("create table t(k integer primary key, v int)"));
    int row = 0;
    CClock::SetLocal(QDateTime(today, QTime(7, 0)));
    const auto bareCommitOnce = [&] {
        bare.transaction();
        ++row;
        QSqlQuery(bare).exec(QStringLiteral("replace into t(k, v) values (%1, %2)").arg(row).arg(row * 3));
        bare.commit();
    };
    const auto [bareCommit, recordDrink] = PairedMedians(41, bareCommitOnce, [&] {
        CClock::Advance(61);
        stats.RecordDrink(200);
        stats.WaitUntilSaved(10000);
    });
    // What the window itself spends on a drink; the writer's thread does the rest.
    std::vector<double> shares;
    for (int i = 0; i < 41; ++i) {
        CClock::Advance(61);
        shares.push_back(Micros([&] { stats.RecordDrink(200); }));
        stats.WaitUntilSaved(10000);
    }
    const double windowShare = Median(shares);

    // The bare read: the same four selects on a connection of its own, each value converted
    // once and nothing kept.
    QSqlDatabase reader = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("reader"));
    reader.setDatabaseName(fileName);
    reader.open();
    const QStringList selects{
        QStringLiteral("select date, totaldrinknum, averdrinknum, totaltimes,passed from days order by date asc"),
        QStringLiteral("select week, totaldrinknum,totalpassdays, averdrinknum, passed, totaldays from weeks order by week asc"),
        QStringLiteral("select month, totaldrinknum, totalpassdays, averdrinknum, passed, totaldays from months order by month asc"),
        QStringLiteral("select totalsno, totaldays, totaldrinknum, totalpassdays, averdirnknum from totals"),
    };
    qint64 checksum = 0;
    const auto [bareRead, loadAll] = PairedMedians(21,
        [&] {
            reader.transaction();
            for (const QString& sql : selects) {
                QSqlQuery query(reader);
                query.setForwardOnly(true);
                query.exec(sql);
                const int columns = sql == selects.first() || sql == selects.last() ? 5 : 6;
                while (query.next()) {
                    checksum += query.value(0).toString().size();
                    for (int c = 1; c < columns; ++c)
                        checksum += query.value(c).toInt();
                }
            }
            reader.rollback();
        },
        [&] {
            stats.LoadAll();
            stats.WaitUntilSaved(10000);
        });

    const int last = stats.DayCount() - 1;
    stDaysData day;
    bool found = true;
    const auto lookup = [&](int index) {
        std::vector<double> times;
        for (int i = 0; i < 11; ++i)
            times.push_back(Micros([&] { found = stats.GetDayByIndex(index, day) && found; }, 2000));
        return Median(times);
    };
    const double firstDay = lookup(0);
    const double middleDay = lookup(last / 2);
    const double lastDay = lookup(last);

    std::printf("journal mode %s, synchronous %s, %d day pages (checksum %lld)\n\n", qPrintable(journal),
        qPrintable(synchronous), stats.DayCount(), static_cast<long long>(checksum));
    std::printf("%-28s %10.1f us\n", "bare commit of one row", bareCommit);
    std::printf("%-28s %10.1f us\n\n", "bare read of the same rows", bareRead);
    // The drink is flushed to disk twice: kept in the settings first, then in the history.
    bool pass = Report("RecordDrink, in the file", recordDrink, 3 * bareCommit, "3 x bare commit");
    pass = Report("RecordDrink, window's share", windowShare, bareCommit, "1 x bare commit") && pass;
    pass = Report("LoadAll", loadAll, std::min(4 * bareRead, 50000.0), "4 x bare read, at most 50 ms") && pass;
    pass = Report("GetDayByIndex first day", firstDay, 10, "10 us") && pass;
    pass = Report("GetDayByIndex middle day", middleDay, 10, "10 us") && pass;
    pass = Report("GetDayByIndex last day", lastDay, 10, "10 us") && pass;
    if (!found)
        std::printf("a day of the history was not found\n");
    std::printf("\n%s\n", pass && found ? "all targets met" : "some targets missed");

    bare.close();
    reader.close();
    historyDb.close();
    bare = QSqlDatabase();
    reader = QSqlDatabase();
    historyDb = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("bare"));
    QSqlDatabase::removeDatabase(QStringLiteral("reader"));
    QSqlDatabase::removeDatabase(QStringLiteral("modes"));
    return 0;
}
