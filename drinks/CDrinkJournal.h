#pragma once

#include <QVector>

#include "stDrink.h"

// The drinks recorded but not yet in the history file, oldest first. They are kept in
// QzConfig.ini beside the day's drink counters and reach the disk in the same write, so that the
// counters and the history (the file and these drinks) always agree, and a drink the file could
// not take yet survives a restart.
class CDrinkJournal
{
public:
    // Takes up the drinks an earlier run left.
    CDrinkJournal();

    // True when an earlier run left drinks to write.
    static bool HasDrinks();

    const QVector<stDrink>& Drinks() const;
    bool IsEmpty() const;
    // Keeps a drink and puts it, with every setting written before it, on disk at once.
    void Append(const stDrink& drink);
    // Forgets the oldest drink, which is now in the history file.
    void RemoveOldest();

private:
    void Store();

    QVector<stDrink> m_drinks;
};
