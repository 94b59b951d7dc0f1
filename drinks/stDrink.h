#pragma once

#include <QtGlobal>

// One drink as the user recorded it, before it is counted into the history's rows.
struct stDrink
{
    // The moment of the drink, seconds since 1970-01-01 UTC.
    qint64 nTime = 0;
    // Millilitres.
    int nDrinkNum = 0;
    // The daily target in force at that moment, which decides whether the day passed.
    int nTarget = 0;
};
