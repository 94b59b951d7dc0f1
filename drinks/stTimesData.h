#pragma once

#include <QMetaType>
#include <QString>

// One recorded drink: a row of the times table.
struct stTimesData
{
    Q_GADGET
    Q_PROPERTY(int nDrinkNum MEMBER nDrinkNum)
    Q_PROPERTY(QString strDate MEMBER strDate)
public:
    // The moment of the drink, seconds since 1970-01-01 UTC in decimal.
    QString strDate;
    // Millilitres.
    int nDrinkNum = 0;
};
Q_DECLARE_METATYPE(stTimesData)
