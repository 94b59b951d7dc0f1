#pragma once

#include <QMetaType>

// The all-time figures: the single row of the totals table.
struct stTotalsData
{
    Q_GADGET
    Q_PROPERTY(int nTotalDays MEMBER nTotalDays)
    Q_PROPERTY(int nTotalDrinkNum MEMBER nTotalDrinkNum)
    Q_PROPERTY(int nTotalPassDay MEMBER nTotalPassDay)
    Q_PROPERTY(int nAverDrink MEMBER nAverDrink)
public:
    // Always 1.
    int nTotalsNo = 1;
    // Days with at least one drink.
    int nTotalDays = 0;
    int nTotalDrinkNum = 0;
    // Days that reached the target.
    int nTotalPassDay = 0;
    // Average per drinking day.
    int nAverDrink = 0;
};
Q_DECLARE_METATYPE(stTotalsData)
