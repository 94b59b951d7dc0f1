#include "CDrinkTally.h"

#include <limits>

#include <QDateTime>
#include <QString>

#include "CDrinkStatistics.h"

namespace {
// A count below one can only come from a damaged file; it becomes this, keeping averages finite.
constexpr int kDamagedCount = 100;

// A day that starts passing adds one pass day, one that stops passing (the target was raised
// since) gives its one back; a damaged file's count never goes below none.
int PassDaysAfter(int passDays, int passChange)
{
    return qMax(0, CDrinkTally::Sum(passDays, passChange));
}

template <typename Row>
void AddToPeriod(QVector<Row>& rows, int Row::*key, int keyValue, int amount, int passChange, bool newDay)
{
    if (rows.isEmpty()) {
        Row row;
        row.*key = keyValue;
        row.nTotalDrinkNum = amount;
        row.nTotalPassDay = PassDaysAfter(0, passChange);
        row.nAverDrinkDay = amount;
        row.nTotalDays = 1;
        row.nPassed = row.nTotalPassDay;
        rows.append(row);
        return;
    }
    for (Row& row : rows) {
        row.*key = keyValue;
        row.nTotalDrinkNum = CDrinkTally::Sum(row.nTotalDrinkNum, amount);
        row.nTotalPassDay = PassDaysAfter(row.nTotalPassDay, passChange);
        if (newDay)
            row.nTotalDays = CDrinkTally::Sum(row.nTotalDays, 1);
        if (row.nTotalDays < 1)
            row.nTotalDays = kDamagedCount;
        row.nAverDrinkDay = row.nTotalDrinkNum / row.nTotalDays;
        row.nPassed = double(row.nTotalPassDay) / row.nTotalDays >= 0.5 ? 1 : 0;
    }
}
}

int CDrinkTally::Sum(int a, int b)
{
    return int(qBound<qint64>(std::numeric_limits<int>::min(), qint64(a) + b, std::numeric_limits<int>::max()));
}

void CDrinkTally::Add(const stDrink& drink, Rows& rows)
{
    const int amount = drink.nDrinkNum;
    const QString dayKey = QString::number(CDrinkStatistics::DayKey(drink.nTime));
    // +1 when the drink makes its day pass, -1 when the day passed before and no longer does
    // (the target was raised since), 0 otherwise.
    int passChange = 0;
    bool newDay = false;
    if (rows.days.isEmpty()) {
        const stDaysData row{dayKey, amount, amount, 1, drink.nTarget <= amount ? 1 : 0};
        newDay = true;
        passChange = row.nPassed;
        rows.days.append(row);
    } else {
        for (stDaysData& row : rows.days) {
            row.strDate = dayKey;
            row.nTotalTimes = Sum(row.nTotalTimes, 1);
            row.nTotalDrinkNum = Sum(row.nTotalDrinkNum, amount);
            if (row.nTotalTimes < 1)
                row.nTotalTimes = kDamagedCount;
            row.nAverDrinkNum = row.nTotalDrinkNum / row.nTotalTimes;
            const bool passedBefore = row.nPassed != 0;
            row.nPassed = drink.nTarget <= row.nTotalDrinkNum ? 1 : 0;
            passChange = row.nPassed - (passedBefore ? 1 : 0);
        }
    }

    const QDate date = QDateTime::fromSecsSinceEpoch(drink.nTime).date();
    AddToPeriod(rows.weeks, &stWeeksData::nWeek, CDrinkStatistics::WeekKey(date), amount, passChange, newDay);
    AddToPeriod(rows.months, &stMonthsData::nMonth, CDrinkStatistics::MonthKey(date), amount, passChange, newDay);

    if (rows.totals.isEmpty()) {
        rows.totals.append(stTotalsData{1, 1, amount, PassDaysAfter(0, passChange), amount});
        return;
    }
    for (stTotalsData& row : rows.totals) {
        row.nTotalsNo = 1;
        row.nTotalDrinkNum = Sum(row.nTotalDrinkNum, amount);
        row.nTotalPassDay = PassDaysAfter(row.nTotalPassDay, passChange);
        if (newDay)
            row.nTotalDays = Sum(row.nTotalDays, 1);
        if (row.nTotalDays < 1)
            row.nTotalDays = kDamagedCount;
        row.nAverDrink = row.nTotalDrinkNum / row.nTotalDays;
    }
}
