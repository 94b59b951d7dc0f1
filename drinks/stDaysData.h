#pragma once

#include <QMetaType>
#include <QString>

// One day of drinking: a row of the days table.
struct stDaysData
{
    Q_GADGET
    Q_PROPERTY(int nTotalTimes MEMBER nTotalTimes)
    Q_PROPERTY(int nTotalDrinkNum MEMBER nTotalDrinkNum)
    Q_PROPERTY(int nAverDrinkNum MEMBER nAverDrinkNum)
    Q_PROPERTY(int nPassed MEMBER nPassed)
    Q_PROPERTY(QString strDate MEMBER strDate)
public:
    // The day key in decimal: seconds from the epoch to midnight UTC of the day's calendar date.
    QString strDate;
    int nTotalDrinkNum = 0;
    int nAverDrinkNum = 0;
    int nTotalTimes = 0;
    // 1 when the day's total reached the daily target.
    int nPassed = 0;
};
Q_DECLARE_METATYPE(stDaysData)
