#pragma once

#include <QVector>

#include "stDaysData.h"
#include "stDrink.h"
#include "stMonthsData.h"
#include "stTotalsData.h"
#include "stWeeksData.h"

// How one drink changes the rows of its day, week and month and the all-time totals. The
// history writer applies it to the rows in the file and the statistics model to the rows it
// holds in memory, so both come to the same figures.
//
// Sums stop at the int's limits: the huge totals of a damaged or hand-edited file stay huge
// instead of wrapping round to negative ones, which would turn a passed day into a missed one.
class CDrinkTally
{
public:
    // The rows the history holds for a drink's day, week and month keys and the totals row;
    // each empty when the drink is the first of its period.
    struct Rows
    {
        QVector<stDaysData> days;
        QVector<stWeeksData> weeks;
        QVector<stMonthsData> months;
        QVector<stTotalsData> totals;
    };

    // Counts the drink into the rows, appending a row for each period that had none.
    static void Add(const stDrink& drink, Rows& rows);
    // a + b, held at the int's limits.
    static int Sum(int a, int b);
};
