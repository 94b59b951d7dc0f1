#include "CDrinkStatistics.h"

#include <QDateTime>
#include <QString>

#include "CHealthDatabase.h"
#include "core/CIniSettings.h"
#include "EasyQtSql/DBException.h"
#include "clock.h"

namespace {
CDrinkStatistics* g_drinkStatistics = nullptr;

constexpr qint64 kSecsPerDay = 86400;
constexpr qint64 kEpochJulianDay = 2440588;

const char* const kSelectDay = "select date, totaldrinknum, averdrinknum, totaltimes, \tpassed from days where date='%1'";
const char* const kSelectWeek = "select week, totaldrinknum,totalpassdays, averdrinknum,\tpassed, totaldays from weeks where week = %1";
const char* const kSelectMonth = "select month, totaldrinknum,totalpassdays, averdrinknum,\tpassed, totaldays from months where month = %1";
const char* const kSelectTotals = "select totalsno, totaldays, totaldrinknum, totalpassdays, averdirnknum from totals where totalsno=1";
const char* const kSelectAllDays = "select date, totaldrinknum, averdrinknum, totaltimes,passed from days order by date asc";
const char* const kSelectAllWeeks = "select week, totaldrinknum,totalpassdays, averdrinknum, passed, totaldays from weeks order by week asc";
const char* const kSelectAllMonths = "select month, totaldrinknum, totalpassdays, averdrinknum, passed, totaldays from months order by month asc";
const char* const kSelectAllTotals = "select totalsno, totaldays, totaldrinknum, totalpassdays, averdirnknum from totals";

template <typename Row>
using SelectCall = bool (CHealthDatabase::*)(QVector<Row>&, const QString&);
template <typename Row>
using ReplaceCall = bool (CHealthDatabase::*)(const QVector<Row>&);

// A select that fails must not end the program: its rows count as none, as on a closed store.
// answered is false then, so that the caller writes nothing built on the missing rows.
template <typename Row>
QVector<Row> ReadRows(CHealthDatabase* store, SelectCall<Row> select, const QString& sql, bool& answered)
{
    QVector<Row> rows;
    try {
        answered = (store->*select)(rows, sql);
    } catch (const EasyQtSql::DBException&) {
        rows.clear();
        answered = false;
    }
    return rows;
}

template <typename Row>
QVector<Row> ReadRows(CHealthDatabase* store, SelectCall<Row> select, const char* sql)
{
    bool answered = false;
    return ReadRows(store, select, QString::fromLatin1(sql), answered);
}

// Weeks and months follow the same rules; only the key field and the table differ.
template <typename Row>
struct PeriodTable
{
    const char* select;
    SelectCall<Row> selectCall;
    ReplaceCall<Row> replaceCall;
    int Row::*key;
};

const PeriodTable<stWeeksData> kWeeks{kSelectWeek, &CHealthDatabase::SelectWeeks, &CHealthDatabase::ReplaceWeeks, &stWeeksData::nWeek};
const PeriodTable<stMonthsData> kMonths{kSelectMonth, &CHealthDatabase::SelectMonths, &CHealthDatabase::ReplaceMonths, &stMonthsData::nMonth};

// A day that starts passing adds one pass day, one that stops passing (the target was raised
// since) gives its one back; a damaged file's count never goes below none.
int PassDaysAfter(int passDays, int passChange)
{
    return qMax(0, passDays + passChange);
}

template <typename Row>
bool UpdatePeriod(CHealthDatabase* store, const PeriodTable<Row>& table, int key, int passChange, int amount,
    bool newDay, QVector<Row>& cache, QHash<int, int>& index)
{
    bool answered = false;
    QVector<Row> rows = ReadRows(store, table.selectCall, QString::fromLatin1(table.select).arg(key), answered);
    if (rows.isEmpty()) {
        Row row;
        row.*table.key = key;
        row.nTotalDrinkNum = amount;
        row.nTotalPassDay = PassDaysAfter(0, passChange);
        row.nAverDrinkDay = amount;
        row.nTotalDays = 1;
        row.nPassed = row.nTotalPassDay;
        index.insert(key, cache.size());
        cache.append(row);
        rows.append(row);
    } else {
        for (Row& row : rows) {
            row.*table.key = key;
            row.nTotalDrinkNum += amount;
            row.nTotalPassDay = PassDaysAfter(row.nTotalPassDay, passChange);
            if (newDay)
                ++row.nTotalDays;
            // A count below one can only come from a damaged file; keep the average finite.
            if (row.nTotalDays < 1)
                row.nTotalDays = 100;
            row.nAverDrinkDay = row.nTotalDrinkNum / row.nTotalDays;
            row.nPassed = double(row.nTotalPassDay) / row.nTotalDays >= 0.5 ? 1 : 0;
            for (Row& cached : cache) {
                if (cached.*table.key != key)
                    continue;
                cached.nTotalDrinkNum = row.nTotalDrinkNum;
                cached.nTotalPassDay = row.nTotalPassDay;
                cached.nTotalDays = row.nTotalDays;
                cached.nAverDrinkDay = row.nAverDrinkDay;
                cached.nPassed = row.nPassed;
            }
        }
    }
    const bool written = (store->*table.replaceCall)(rows);
    return answered && written;
}

qint64 FloorDiv(qint64 a, qint64 b)
{
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0);
}

QDate DateOfDayKey(qint64 key)
{
    return QDate::fromJulianDay(FloorDiv(key, kSecsPerDay) + kEpochJulianDay);
}

int Yyyymmdd(const QDate& date)
{
    return date.year() * 10000 + date.month() * 100 + date.day();
}
}

CDrinkStatistics* CDrinkStatistics::Instance()
{
    // Read when first needed: a day in the tray that shows no history does not hold SQLite or
    // the rows in memory.
    if (!g_drinkStatistics) {
        g_drinkStatistics = new CDrinkStatistics(CHealthDatabase::Instance());
        g_drinkStatistics->LoadAll();
    }
    return g_drinkStatistics;
}

CDrinkStatistics::CDrinkStatistics(CHealthDatabase* store)
    : m_store(store)
{
    m_store->Init();
}

void CDrinkStatistics::RecordDrink(int amount)
{
    const qint64 t = CClock::Now();
    const QDate today = QDateTime::fromSecsSinceEpoch(t).date();
    const int target = CIniSettings::Instance()->GetDrinksTarget();
    // One transaction for the whole drink: a crash between the rows must not leave the
    // totals disagreeing with the drinks for good, as nothing ever recomputes them.
    m_store->WriteTogether([&] {
        bool stored = m_store->ReplaceTimes(stTimesData{QString::number(t), amount});
        int passChange = 0;
        bool newDay = false;
        stored &= UpdateDay(t, amount, target, passChange, newDay);
        stored &= UpdateWeek(today, passChange, amount, newDay);
        stored &= UpdateMonth(today, passChange, amount, newDay);
        stored &= UpdateTotals(passChange, amount, newDay);
        return stored;
    });
    ComputeRanges();
}

bool CDrinkStatistics::UpdateDay(qint64 t, int amount, int target, int& passChange, bool& newDay)
{
    const qint64 key = DayKey(t);
    const QString date = QString::number(key);
    bool answered = false;
    QVector<stDaysData> rows = ReadRows(m_store, &CHealthDatabase::SelectDays, QString::fromLatin1(kSelectDay).arg(key), answered);
    if (rows.isEmpty()) {
        const stDaysData row{date, amount, amount, 1, target <= amount ? 1 : 0};
        newDay = true;
        passChange = row.nPassed;
        AppendDay(row);
        rows.append(row);
    } else {
        for (stDaysData& row : rows) {
            row.strDate = date;
            ++row.nTotalTimes;
            row.nTotalDrinkNum += amount;
            // A count below one can only come from a damaged file; keep the average finite.
            if (row.nTotalTimes < 1)
                row.nTotalTimes = 100;
            row.nAverDrinkNum = row.nTotalDrinkNum / row.nTotalTimes;
            const bool passedBefore = row.nPassed != 0;
            row.nPassed = target <= row.nTotalDrinkNum ? 1 : 0;
            passChange = row.nPassed - (passedBefore ? 1 : 0);
            newDay = false;
            for (stDaysData& cached : m_days) {
                if (cached.strDate != date)
                    continue;
                cached.nTotalDrinkNum = row.nTotalDrinkNum;
                cached.nAverDrinkNum = row.nAverDrinkNum;
                cached.nTotalTimes = row.nTotalTimes;
                cached.nPassed = row.nPassed;
            }
        }
    }
    const bool written = m_store->ReplaceDays(rows);
    return answered && written;
}

bool CDrinkStatistics::UpdateWeek(const QDate& today, int passChange, int amount, bool newDay)
{
    return UpdatePeriod(m_store, kWeeks, WeekKey(today), passChange, amount, newDay, m_weeks, m_weekIndex);
}

bool CDrinkStatistics::UpdateMonth(const QDate& today, int passChange, int amount, bool newDay)
{
    return UpdatePeriod(m_store, kMonths, MonthKey(today), passChange, amount, newDay, m_months, m_monthIndex);
}

bool CDrinkStatistics::UpdateTotals(int passChange, int amount, bool newDay)
{
    bool answered = false;
    QVector<stTotalsData> rows = ReadRows(m_store, &CHealthDatabase::SelectTotals, QString::fromLatin1(kSelectTotals), answered);
    if (rows.isEmpty()) {
        const stTotalsData row{1, 1, amount, PassDaysAfter(0, passChange), amount};
        m_totals.append(row);
        rows.append(row);
    } else {
        for (stTotalsData& row : rows) {
            row.nTotalsNo = 1;
            row.nTotalDrinkNum += amount;
            row.nTotalPassDay = PassDaysAfter(row.nTotalPassDay, passChange);
            if (newDay)
                ++row.nTotalDays;
            // A count below one can only come from a damaged file; keep the average finite.
            if (row.nTotalDays < 1)
                row.nTotalDays = 100;
            row.nAverDrink = row.nTotalDrinkNum / row.nTotalDays;
            if (!m_totals.isEmpty())
                m_totals.last() = row;
        }
    }
    const bool written = m_store->ReplaceTotals(rows);
    return answered && written;
}

void CDrinkStatistics::AppendDay(const stDaysData& row)
{
    m_dayIndex.insert(row.strDate.toLongLong(), m_days.size());
    m_days.append(row);
}

void CDrinkStatistics::LoadAll()
{
    m_days.clear();
    m_dayIndex.clear();
    for (const stDaysData& row : ReadRows(m_store, &CHealthDatabase::SelectDays, kSelectAllDays))
        AppendDay(row);

    m_weeks = ReadRows(m_store, &CHealthDatabase::SelectWeeks, kSelectAllWeeks);
    m_weekIndex.clear();
    for (int i = 0; i < m_weeks.size(); ++i)
        m_weekIndex.insert(m_weeks.at(i).nWeek, i);

    m_months = ReadRows(m_store, &CHealthDatabase::SelectMonths, kSelectAllMonths);
    m_monthIndex.clear();
    for (int i = 0; i < m_months.size(); ++i)
        m_monthIndex.insert(m_months.at(i).nMonth, i);

    m_totals = ReadRows(m_store, &CHealthDatabase::SelectTotals, kSelectAllTotals);
    ComputeRanges();
    // Every row is held above now; years of history would otherwise also stay in SQLite's cache.
    m_store->ReleaseCache();
}

QDate CDrinkStatistics::Today() const
{
    // Converting to local time costs microseconds (the zone may be read again each time), and
    // the records pages ask for today on every lookup: keep the date while the clock stays in it.
    const qint64 now = CClock::NowMSecs();
    if (now < m_todayFrom || now >= m_todayUntil) {
        m_today = QDateTime::fromMSecsSinceEpoch(now).date();
        m_todayFrom = m_today.startOfDay().toMSecsSinceEpoch();
        m_todayUntil = m_today.addDays(1).startOfDay().toMSecsSinceEpoch();
    }
    return m_today;
}

void CDrinkStatistics::ComputeRanges()
{
    // A change of the machine's zone shows from here on.
    m_todayUntil = 0;
    const QDate today = Today();
    m_dayCount = 0;
    m_weekCount = 0;
    m_monthCount = 0;
    m_firstWeek = WeekKey(today);
    m_firstMonth = MonthKey(today);
    m_firstDay = Yyyymmdd(today);

    // Counted in calendar days, weeks and months, so a page exists for every one of them from
    // the first to the current, whatever the time of day and however many weeks a year has.
    // A first row dated after today (the clock was set back) still leaves its own page.
    if (!m_days.isEmpty()) {
        const QDate first = DateOfDayKey(m_days.first().strDate.toLongLong());
        m_firstDay = Yyyymmdd(first);
        m_dayCount = int(qMax<qint64>(1, first.daysTo(today) + 1));
    }
    if (!m_weeks.isEmpty()) {
        m_firstWeek = m_weeks.first().nWeek;
        const qint64 days = MondayOfWeekKey(m_firstWeek).daysTo(MondayOfWeekKey(WeekKey(today)));
        m_weekCount = int(qMax<qint64>(1, days / 7 + 1));
    }
    if (!m_months.isEmpty()) {
        m_firstMonth = m_months.first().nMonth;
        m_monthCount = qMax(1, today.month() + 1 + ((today.year() - m_firstMonth / 100) * 12 - m_firstMonth % 100));
    }
}

int CDrinkStatistics::DayCount() const
{
    return m_dayCount;
}

int CDrinkStatistics::WeekCount() const
{
    return m_weekCount;
}

int CDrinkStatistics::MonthCount() const
{
    return m_monthCount;
}

int CDrinkStatistics::FirstDay() const
{
    return m_firstDay;
}

int CDrinkStatistics::FirstWeek() const
{
    return m_firstWeek;
}

int CDrinkStatistics::FirstMonth() const
{
    return m_firstMonth;
}

QDate CDrinkStatistics::DateOfDayIndex(int i) const
{
    return Today().addDays(i - m_dayCount + 1);
}

bool CDrinkStatistics::GetDayByIndex(int i, stDaysData& row) const
{
    const auto found = m_dayIndex.constFind(DayKeyOfDate(DateOfDayIndex(i)));
    if (found == m_dayIndex.constEnd())
        return false;
    row = m_days.at(found.value());
    return true;
}

int CDrinkStatistics::WeekKeyOfIndex(int i) const
{
    return WeekKey(Today().addDays(7 * qint64(i - m_weekCount + 1)));
}

bool CDrinkStatistics::GetWeekByIndex(int i, stWeeksData& row) const
{
    const auto found = m_weekIndex.constFind(WeekKeyOfIndex(i));
    if (found == m_weekIndex.constEnd())
        return false;
    row = m_weeks.at(found.value());
    return true;
}

int CDrinkStatistics::MonthKeyOfIndex(int i) const
{
    return MonthKey(Today().addMonths(i - m_monthCount + 1));
}

bool CDrinkStatistics::GetMonthByIndex(int i, stMonthsData& row) const
{
    const auto found = m_monthIndex.constFind(MonthKeyOfIndex(i));
    if (found == m_monthIndex.constEnd())
        return false;
    row = m_months.at(found.value());
    return true;
}

bool CDrinkStatistics::GetTotals(stTotalsData& row) const
{
    if (m_totals.isEmpty())
        return false;
    row = m_totals.first();
    return true;
}

int CDrinkStatistics::WeekKey(const QDate& date)
{
    const int firstWeekday = QDate(date.year(), 1, 1).dayOfWeek();
    const int dayOfYear = date.dayOfYear();
    if (date.month() == 1 && dayOfYear <= 8 - firstWeekday) {
        const QDate weekBefore = date.addDays(-7);
        return weekBefore.year() * 100 + 1 + WeekKey(weekBefore) % 100;
    }
    return date.year() * 100 + ((dayOfYear - (9 - firstWeekday)) / 7 + 1);
}

QDate CDrinkStatistics::MondayOfWeekKey(int weekKey)
{
    const QDate newYear(weekKey / 100, 1, 1);
    // Week 1 begins on day 9 - w of the year, w being the weekday of 1 January.
    return newYear.addDays(8 - newYear.dayOfWeek() + 7 * qint64(weekKey % 100 - 1));
}

int CDrinkStatistics::MonthKey(const QDate& date)
{
    return date.year() * 100 + date.month();
}

qint64 CDrinkStatistics::DayKey(qint64 secsSinceEpoch)
{
    return DayKeyOfDate(QDateTime::fromSecsSinceEpoch(secsSinceEpoch).date());
}

qint64 CDrinkStatistics::DayKeyOfDate(const QDate& date)
{
    return (date.toJulianDay() - kEpochJulianDay) * kSecsPerDay;
}

QDate CDrinkStatistics::DateOfDay(qint64 dayKey)
{
    return DateOfDayKey(dayKey);
}

CHealthDatabase* CDrinkStatistics::Store() const
{
    return m_store;
}
