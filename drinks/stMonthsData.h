#pragma once

#include <QMetaType>

// One month of drinking: a row of the months table.
struct stMonthsData
{
    Q_GADGET
    Q_PROPERTY(int nMonth MEMBER nMonth)
    Q_PROPERTY(int nTotalDrinkNum MEMBER nTotalDrinkNum)
    Q_PROPERTY(int nTotalPassDay MEMBER nTotalPassDay)
    Q_PROPERTY(int nAverDrinkDay MEMBER nAverDrinkDay)
    Q_PROPERTY(int nPassed MEMBER nPassed)
public:
    // Year × 100 + month.
    int nMonth = 0;
    int nTotalDrinkNum = 0;
    // Days of the month that reached the target.
    int nTotalPassDay = 0;
    // Days of the month with at least one drink.
    int nTotalDays = 0;
    // Average per drinking day.
    int nAverDrinkDay = 0;
    // 1 when at least half of the drinking days reached the target.
    int nPassed = 0;
};
Q_DECLARE_METATYPE(stMonthsData)
