#include "CDrinkStatistics.h"

#include <limits>
#include <memory>

#include <QApplication>
#include <QDateTime>
#include <QString>

#include "CHealthDatabase.h"
#include "CHistoryNotice.h"
#include "CHistoryWriter.h"
#include "core/CIniSettings.h"
#include "EasyQtSql/DBException.h"
#include "clock.h"

namespace {
CDrinkStatistics* g_drinkStatistics = nullptr;

constexpr qint64 kSecsPerDay = 86400;
constexpr qint64 kEpochJulianDay = 2440588;
// Pages reach back at most this far, whatever first key a damaged file holds: the pages' index
// arithmetic stays far from the int's limits.
constexpr qint64 kMostPages = 1000000;

const char* const kSelectTime = "select date, drinknum from times where date='%1'";
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

// A select that fails leaves no rows: a damaged table costs only its own rows. A file another
// program holds throws on, so that the whole read is tried again.
template <typename Row>
void ReadAll(CHealthDatabase& store, SelectCall<Row> select, const char* sql, QVector<Row>& rows)
{
    try {
        (store.*select)(rows, QString::fromLatin1(sql));
    } catch (const EasyQtSql::DBException& e) {
        if (e.IsBusy())
            throw;
        rows.clear();
    }
}

// Adds the drink to the file's rows of its day, week and month and the totals; runs in the
// writer's transaction, so all five rows are stored or none. A failing select throws, as the
// rows it would have given cannot be guessed.
bool WriteDrink(CHealthDatabase& store, const stDrink& drink, bool mayBeInFile)
{
    const QString moment = QString::number(drink.nTime);
    if (mayBeInFile) {
        QVector<stTimesData> stored;
        store.SelectTimes(stored, QString::fromLatin1(kSelectTime).arg(moment));
        // An earlier run stored it and ended before it could strike it from the journal.
        for (const stTimesData& row : stored) {
            if (row.nDrinkNum == drink.nDrinkNum)
                return true;
        }
    }
    const QDate date = QDateTime::fromSecsSinceEpoch(drink.nTime).date();
    CDrinkTally::Rows rows;
    store.SelectDays(rows.days, QString::fromLatin1(kSelectDay).arg(CDrinkStatistics::DayKey(drink.nTime)));
    store.SelectWeeks(rows.weeks, QString::fromLatin1(kSelectWeek).arg(CDrinkStatistics::WeekKey(date)));
    store.SelectMonths(rows.months, QString::fromLatin1(kSelectMonth).arg(CDrinkStatistics::MonthKey(date)));
    store.SelectTotals(rows.totals, QString::fromLatin1(kSelectTotals));
    CDrinkTally::Add(drink, rows);
    return store.ReplaceTimes(stTimesData{moment, drink.nDrinkNum}) && store.ReplaceDays(rows.days)
        && store.ReplaceWeeks(rows.weeks) && store.ReplaceMonths(rows.months) && store.ReplaceTotals(rows.totals);
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
    const qint64 number = qint64(date.year()) * 10000 + date.month() * 100 + date.day();
    return int(qBound<qint64>(std::numeric_limits<int>::min(), number, std::numeric_limits<int>::max()));
}

int PageCount(qint64 pages)
{
    return int(qBound<qint64>(1, pages, kMostPages));
}

// The row at a place of the rows in memory, as a list of one; none for the place -1.
template <typename Row>
QVector<Row> RowAt(const QVector<Row>& rows, int at)
{
    return at < 0 ? QVector<Row>() : QVector<Row>{rows.at(at)};
}

// Puts a row back in memory: over its old place, or appended and found under its key.
template <typename Row, typename Key>
void Keep(QVector<Row>& rows, QHash<Key, int>& index, Key key, int at, const Row& row)
{
    if (at >= 0) {
        rows[at] = row;
        return;
    }
    index.insert(key, rows.size());
    rows.append(row);
}

// Rows read from the file, and where each key was last seen among them.
template <typename Row, typename Key>
void Index(QVector<Row>& rows, QHash<Key, int>& index, const QVector<Row>& read, Key (*keyOf)(const Row&))
{
    rows.clear();
    index.clear();
    for (const Row& row : read)
        Keep(rows, index, keyOf(row), -1, row);
}
}

CDrinkStatistics* CDrinkStatistics::Instance()
{
    // Read when first needed: a day in the tray that shows no history does not hold SQLite or
    // the rows in memory.
    if (!g_drinkStatistics) {
        g_drinkStatistics = new CDrinkStatistics;
        g_drinkStatistics->LoadAll();
        // Its thread must end before the program does, however the program ends; the drinks
        // still waiting stay in the journal.
        qAddPostRoutine([] {
            delete g_drinkStatistics;
            g_drinkStatistics = nullptr;
        });
        if (qobject_cast<QApplication*>(QCoreApplication::instance()))
            connect(g_drinkStatistics, &CDrinkStatistics::HistoryUnsaved, [] { CHistoryNotice::ShowOnce(); });
    }
    return g_drinkStatistics;
}

void CDrinkStatistics::ResumeUnsavedDrinks()
{
    if (CDrinkJournal::HasDrinks())
        Instance();
}

CDrinkStatistics::CDrinkStatistics(QObject* parent)
    : QObject(parent)
    , m_writer(new CHistoryWriter(this))
{
    connect(m_writer, &CHistoryWriter::Stuck, this, &CDrinkStatistics::HistoryUnsaved);
    // An earlier run's drinks go first, in their order; it may have stored some just before it
    // ended.
    for (const stDrink& drink : m_journal.Drinks()) {
        Count(drink);
        Save(drink, true);
    }
    ComputeRanges();
}

CDrinkStatistics::~CDrinkStatistics()
{
    // The drinks still waiting stay in the journal for the next start.
    m_writer->Stop();
}

void CDrinkStatistics::RecordDrink(int amount)
{
    const stDrink drink{CClock::Now(), amount, CIniSettings::Instance()->GetDrinksTarget()};
    m_journal.Append(drink);
    Count(drink);
    ComputeRanges();
    Save(drink, false);
}

void CDrinkStatistics::Save(const stDrink& drink, bool mayBeInFile)
{
    // The writer finishes jobs in the order given, so the one done is always the oldest drink.
    m_writer->Write([drink, mayBeInFile](CHealthDatabase& store) { return WriteDrink(store, drink, mayBeInFile); },
        [this] { m_journal.RemoveOldest(); }, drink.nTime);
}

void CDrinkStatistics::Count(const stDrink& drink)
{
    const qint64 dayKey = DayKey(drink.nTime);
    const QDate date = QDateTime::fromSecsSinceEpoch(drink.nTime).date();
    const int weekKey = WeekKey(date);
    const int monthKey = MonthKey(date);
    const int day = m_dayIndex.value(dayKey, -1);
    const int week = m_weekIndex.value(weekKey, -1);
    const int month = m_monthIndex.value(monthKey, -1);

    const int totals = m_totals.isEmpty() ? -1 : 0;
    CDrinkTally::Rows rows{RowAt(m_days, day), RowAt(m_weeks, week), RowAt(m_months, month), RowAt(m_totals, totals)};
    CDrinkTally::Add(drink, rows);
    Keep(m_days, m_dayIndex, dayKey, day, rows.days.first());
    Keep(m_weeks, m_weekIndex, weekKey, week, rows.weeks.first());
    Keep(m_months, m_monthIndex, monthKey, month, rows.months.first());
    if (m_totals.isEmpty())
        m_totals.append(rows.totals.first());
    else
        m_totals.first() = rows.totals.first();
}

void CDrinkStatistics::LoadAll()
{
    auto rows = std::make_shared<CDrinkTally::Rows>();
    m_writer->Read(
        [rows](CHealthDatabase& store) {
            *rows = CDrinkTally::Rows();
            ReadAll(store, &CHealthDatabase::SelectDays, kSelectAllDays, rows->days);
            ReadAll(store, &CHealthDatabase::SelectWeeks, kSelectAllWeeks, rows->weeks);
            ReadAll(store, &CHealthDatabase::SelectMonths, kSelectAllMonths, rows->months);
            ReadAll(store, &CHealthDatabase::SelectTotals, kSelectAllTotals, rows->totals);
            // Every row is held in memory now; years of history would otherwise also stay in
            // SQLite's cache.
            store.ReleaseCache();
            return true;
        },
        [this, rows] { TakeRows(*rows); });
}

void CDrinkStatistics::TakeRows(const CDrinkTally::Rows& rows)
{
    Index<stDaysData, qint64>(
        m_days, m_dayIndex, rows.days, [](const stDaysData& row) { return row.strDate.toLongLong(); });
    Index<stWeeksData, int>(m_weeks, m_weekIndex, rows.weeks, [](const stWeeksData& row) { return row.nWeek; });
    Index<stMonthsData, int>(m_months, m_monthIndex, rows.months, [](const stMonthsData& row) { return row.nMonth; });
    m_totals = rows.totals;
    // The writer answers in order: the drinks still in the journal are exactly those the file
    // did not hold when it was read.
    for (const stDrink& drink : m_journal.Drinks())
        Count(drink);
    ComputeRanges();
    emit HistoryChanged();
}

int CDrinkStatistics::UnsavedDrinks() const
{
    return m_journal.Drinks().size();
}

bool CDrinkStatistics::WaitUntilSaved(int msecs)
{
    return m_writer->WaitForIdle(msecs);
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
        m_dayCount = PageCount(first.daysTo(today) + 1);
    }
    if (!m_weeks.isEmpty()) {
        m_firstWeek = m_weeks.first().nWeek;
        const qint64 days = MondayOfWeekKey(m_firstWeek).daysTo(MondayOfWeekKey(WeekKey(today)));
        m_weekCount = PageCount(days / 7 + 1);
    }
    if (!m_months.isEmpty()) {
        m_firstMonth = m_months.first().nMonth;
        const qint64 years = today.year() - qint64(m_firstMonth / 100);
        m_monthCount = PageCount(today.month() + 1 + (years * 12 - m_firstMonth % 100));
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
