#pragma once

#include <QMetaType>

// One week of drinking: a row of the weeks table.
struct stWeeksData
{
    Q_GADGET
    Q_PROPERTY(int nWeek MEMBER nWeek)
    Q_PROPERTY(int nTotalDrinkNum MEMBER nTotalDrinkNum)
    Q_PROPERTY(int nTotalPassDay MEMBER nTotalPassDay)
    Q_PROPERTY(int nPassed MEMBER nPassed)
    Q_PROPERTY(int nAverDrinkDay MEMBER nAverDrinkDay)
public:
    // Year × 100 + week number.
    int nWeek = 0;
    int nTotalDrinkNum = 0;
    // Days of the week that reached the target.
    int nTotalPassDay = 0;
    // Average per drinking day.
    int nAverDrinkDay = 0;
    // Days of the week with at least one drink.
    int nTotalDays = 0;
    // 1 when at least half of the drinking days reached the target.
    int nPassed = 0;
};
Q_DECLARE_METATYPE(stWeeksData)
