#pragma once

#include <QDate>
#include <QHash>
#include <QObject>
#include <QVector>

#include "CDrinkJournal.h"
#include "CDrinkTally.h"
#include "stDaysData.h"
#include "stMonthsData.h"
#include "stTotalsData.h"
#include "stWeeksData.h"

class CHistoryWriter;

// The drinking history's day, week, month and all-time figures.
//
// RecordDrink turns one drink into the five rows of the history file and keeps the day, week
// and month rows and the totals in memory. The records pages page through them by index: index
// 0 is the oldest page and Count() - 1 is today, this week or this month; every day, week and
// month in between has a page, and Get*ByIndex is false for one without drinks. The counts and
// first keys follow the clock only when the history is read or a drink recorded, while the
// pages are always counted back from today. Main thread only.
//
// The file is read and written on the history writer's thread, so another program holding it
// never stalls the window. A drink counts in memory at once; until the file has taken it, it
// waits in the drink journal, in order, and an earlier run's waiting drinks are written first.
// The rows in memory are what the file held when it was last read, with every waiting drink
// counted in.
//
// Keys: a day is the seconds from the epoch to midnight UTC of its local calendar date (so a
// day runs from local midnight to local midnight); a week is year × 100 + week number (see
// WeekKey); a month is year × 100 + month of the local date.
class CDrinkStatistics : public QObject
{
    Q_OBJECT
public:
    // The process-wide model; created and read on first use, deleted when the application
    // object is.
    static CDrinkStatistics* Instance();
    // Creates the process-wide model at once when an earlier run left drinks to write, so that
    // they reach the file without waiting for the history to be shown.
    static void ResumeUnsavedDrinks();

    // A model over HealthConfig.db in the data folder, with a writer thread of its own. Only one
    // may be alive at a time: each takes up the drinks the journal holds.
    explicit CDrinkStatistics(QObject* parent = nullptr);
    ~CDrinkStatistics() override;

    // Records a drink of amount millilitres at the current moment against the daily target
    // (drinks/target). The drink and the day, week, month and totals rows it changes reach the
    // file together, as soon as the file can take them.
    void RecordDrink(int amount);
    // Reads the history anew; HistoryChanged follows once the file has answered.
    void LoadAll();
    // Works out the first day, week and month and the three counts from the rows in memory.
    void ComputeRanges();
    // Drinks recorded and not yet in the file.
    int UnsavedDrinks() const;
    // Runs the event loop until the file holds every drink recorded so far and the rows in
    // memory were read from it, at most msecs; true when that came. For tools and tests.
    bool WaitUntilSaved(int msecs);

    int DayCount() const;
    int WeekCount() const;
    int MonthCount() const;
    // The first recorded day as yyyymmdd, week key and month key (today's when there are none).
    int FirstDay() const;
    int FirstWeek() const;
    int FirstMonth() const;

    // The local date of day page i.
    QDate DateOfDayIndex(int i) const;
    // The row of day page i; false when nothing was drunk that day.
    bool GetDayByIndex(int i, stDaysData& row) const;
    // The week key of week page i.
    int WeekKeyOfIndex(int i) const;
    bool GetWeekByIndex(int i, stWeeksData& row) const;
    // The month key of month page i.
    int MonthKeyOfIndex(int i) const;
    bool GetMonthByIndex(int i, stMonthsData& row) const;
    // The all-time row; false before the first drink.
    bool GetTotals(stTotalsData& row) const;

    // Weeks run Monday to Sunday. Week 1 of a year begins on the first Monday on or after
    // 2 January; the days before it belong to the previous year's last week, numbered one more
    // than the week before them (1 January 2024 → 202353).
    static int WeekKey(const QDate& date);
    // The Monday that begins the week of a week key.
    static QDate MondayOfWeekKey(int weekKey);
    static int MonthKey(const QDate& date);
    // The day key of a moment given in seconds since the epoch, by the machine's local date.
    static qint64 DayKey(qint64 secsSinceEpoch);
    // The day key of a local calendar date.
    static qint64 DayKeyOfDate(const QDate& date);
    // The local calendar date of a day key.
    static QDate DateOfDay(qint64 dayKey);

signals:
    // The rows in memory were read anew from the file: whatever shows them should look again.
    void HistoryChanged();
    // A drink has waited a long while for the file, held by another program or unwritable.
    void HistoryUnsaved();

private:
    // Counts a drink into the rows in memory.
    void Count(const stDrink& drink);
    // Queues the drink for the file; mayBeInFile for an earlier run's, which it may have stored
    // just before it ended.
    void Save(const stDrink& drink, bool mayBeInFile);
    // Puts the rows read from the file in memory, with the drinks still waiting counted in.
    void TakeRows(const CDrinkTally::Rows& rows);
    QDate Today() const;

    CHistoryWriter* m_writer;
    CDrinkJournal m_journal;
    QVector<stDaysData> m_days;
    QVector<stWeeksData> m_weeks;
    QVector<stMonthsData> m_months;
    QVector<stTotalsData> m_totals;
    // Key → position of the last row with that key, so page lookups need no search.
    QHash<qint64, int> m_dayIndex;
    QHash<int, int> m_weekIndex;
    QHash<int, int> m_monthIndex;
    int m_firstDay = 0;
    int m_firstWeek = 0;
    int m_firstMonth = 0;
    int m_dayCount = 0;
    int m_weekCount = 0;
    int m_monthCount = 0;
    // Today's local date and the span of the clock, in ms since the epoch, that it covers.
    mutable QDate m_today;
    mutable qint64 m_todayFrom = 0;
    mutable qint64 m_todayUntil = 0;
};
