#include "CVersionNumber.h"

#include <QStringList>

bool CVersionNumber::IsNewer(const QString& current, const QString& newest)
{
    const QStringList currentFields = current.split(QLatin1Char('.'));
    const QStringList newestFields = newest.split(QLatin1Char('.'));
    for (const QString& field : currentFields + newestFields) {
        if (!IsNumber(field))
            return false;
    }
    const int count = qMax(currentFields.size(), newestFields.size());
    for (int i = 0; i < count; ++i) {
        const int order = CompareFields(currentFields.value(i, QStringLiteral("0")),
            newestFields.value(i, QStringLiteral("0")));
        if (order != 0)
            return order < 0;
    }
    return false;
}

int CVersionNumber::CompareFields(const QString& left, const QString& right)
{
    // Compared as digit strings, so a field too long for any integer type still orders right.
    QString a = left;
    QString b = right;
    while (a.size() > 1 && a.startsWith(QLatin1Char('0')))
        a.remove(0, 1);
    while (b.size() > 1 && b.startsWith(QLatin1Char('0')))
        b.remove(0, 1);
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
}

bool CVersionNumber::IsNumber(const QString& field)
{
    if (field.isEmpty())
        return false;
    for (const QChar c : field) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}
