#include "CDrinkJournal.h"

#include <QStringList>

#include "core/CIniSettings.h"

namespace {
// "moment:millilitres:target" per drink, the drinks parted by blanks.
constexpr QLatin1Char kDrinkSeparator(' ');
constexpr QLatin1Char kFieldSeparator(':');
// 9999-12-31 23:59:59 UTC: the dates of later moments no longer have four-digit years.
constexpr qint64 kLastMoment = 253402300799;

QVector<stDrink> Parse(const QString& text)
{
    QVector<stDrink> drinks;
    for (const QString& entry : text.split(kDrinkSeparator, Qt::SkipEmptyParts)) {
        const QStringList fields = entry.split(kFieldSeparator);
        bool timeRead = false;
        bool amountRead = false;
        bool targetRead = false;
        const stDrink drink{fields.value(0).toLongLong(&timeRead), fields.value(1).toInt(&amountRead),
            fields.value(2).toInt(&targetRead)};
        // A hand-edited entry that is not a drink is left out rather than guessed at.
        const bool inTime = drink.nTime >= 0 && drink.nTime <= kLastMoment;
        if (fields.size() == 3 && timeRead && amountRead && targetRead && inTime)
            drinks.append(drink);
    }
    return drinks;
}
}

CDrinkJournal::CDrinkJournal()
    : m_drinks(Parse(CIniSettings::Instance()->GetUnsavedDrinks()))
{
}

bool CDrinkJournal::HasDrinks()
{
    return !Parse(CIniSettings::Instance()->GetUnsavedDrinks()).isEmpty();
}

const QVector<stDrink>& CDrinkJournal::Drinks() const
{
    return m_drinks;
}

bool CDrinkJournal::IsEmpty() const
{
    return m_drinks.isEmpty();
}

void CDrinkJournal::Append(const stDrink& drink)
{
    m_drinks.append(drink);
    Store();
    // On disk before the history file can take it: a crash in between must not leave the file
    // with a drink the counters do not know.
    CIniSettings::Instance()->Flush();
}

void CDrinkJournal::RemoveOldest()
{
    if (m_drinks.isEmpty())
        return;
    m_drinks.removeFirst();
    Store();
}

void CDrinkJournal::Store()
{
    QStringList entries;
    for (const stDrink& drink : m_drinks) {
        entries.append(QString::number(drink.nTime) + kFieldSeparator + QString::number(drink.nDrinkNum)
            + kFieldSeparator + QString::number(drink.nTarget));
    }
    CIniSettings::Instance()->SetUnsavedDrinks(entries.join(kDrinkSeparator));
}
