#pragma once

#include <QDate>
#include <QHash>
#include <QVector>

#include "stDaysData.h"
#include "stMonthsData.h"
#include "stTotalsData.h"
#include "stWeeksData.h"

class CHealthDatabase;

// The drinking history's day, week, month and all-time figures.
//
// RecordDrink turns one drink into the five rows of the history file and keeps the day, week
// and month rows and the totals in memory. The records pages page through them by index: index
// 0 is the oldest page and Count() - 1 is today, this week or this month; every day, week and
// month in between has a page, and Get*ByIndex is false for one without drinks. The counts and
// first keys follow the clock only when LoadAll or RecordDrink runs, while the pages are always
// counted back from today. Main thread only.
//
// Keys: a day is the seconds from the epoch to midnight UTC of its local calendar date (so a
// day runs from local midnight to local midnight); a week is year × 100 + week number (see
// WeekKey); a month is year × 100 + month of the local date.
class CDrinkStatistics
{
public:
    // The process-wide model over the process-wide store; created and read on first use, never
    // destroyed.
    static CDrinkStatistics* Instance();

    // A model over the given store; it opens the store and creates its tables.
    explicit CDrinkStatistics(CHealthDatabase* store);

    // Records a drink of amount millilitres at the current moment against the daily target
    // (drinks/target). The drink and the day, week, month and totals rows it changes reach the
    // file together or not at all; the memory rows change either way.
    void RecordDrink(int amount);
    // The store the model reads and writes.
    CHealthDatabase* Store() const;
    // Reads the history into memory (replacing what was there) and computes the ranges.
    void LoadAll();
    // Works out the first day, week and month and the three counts from the rows in memory.
    void ComputeRanges();

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

private:
    // passChange is +1 when the drink makes the day pass, -1 when the day passed before and no
    // longer does (the target was raised since), 0 otherwise.
    bool UpdateDay(qint64 t, int amount, int target, int& passChange, bool& newDay);
    bool UpdateWeek(const QDate& today, int passChange, int amount, bool newDay);
    bool UpdateMonth(const QDate& today, int passChange, int amount, bool newDay);
    bool UpdateTotals(int passChange, int amount, bool newDay);
    void AppendDay(const stDaysData& row);
    QDate Today() const;

    CHealthDatabase* m_store;
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
