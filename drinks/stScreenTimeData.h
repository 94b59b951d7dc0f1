#pragma once

#include <QString>

// The minutes of one day in which the user was active at the computer: a row of the screentime
// table.
struct stScreenTimeData
{
    // The day key in decimal, as in the days table.
    QString strDate;
    int nMinutes = 0;
};
