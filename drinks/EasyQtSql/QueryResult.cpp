#include "QueryResult.h"

#include <QSqlRecord>

#include <cmath>
#include <limits>

namespace EasyQtSql {

QueryResult::QueryResult(const QSqlQuery& query)
    : m_query(query)
{
}

bool QueryResult::Next()
{
    if (!m_started) {
        m_started = true;
        const QSqlRecord record = m_query.record();
        for (int i = 0; i < record.count(); ++i)
            m_fieldNames.append(record.fieldName(i));
    }
    return m_query.next();
}

QVariant QueryResult::Value(int column) const
{
    return m_query.value(column);
}

int QueryResult::ToInt(int column) const
{
    constexpr int lowest = std::numeric_limits<int>::min();
    constexpr int highest = std::numeric_limits<int>::max();
    const QVariant value = m_query.value(column);
    // SQLite keeps whatever a column was given: a damaged or hand-edited file may hold numbers
    // beyond an int, or reals. They are held at the int's limits, never wrapped.
    if (value.type() == QVariant::Double) {
        const double real = value.toDouble();
        if (std::isnan(real))
            return 0;
        return int(qBound<double>(lowest, std::trunc(real), highest));
    }
    return int(qBound<qlonglong>(lowest, value.toLongLong(), highest));
}

QString QueryResult::ToString(int column) const
{
    return m_query.value(column).toString();
}

const QStringList& QueryResult::FieldNames() const
{
    return m_fieldNames;
}

}
