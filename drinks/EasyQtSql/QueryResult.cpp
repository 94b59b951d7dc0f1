#include "QueryResult.h"

#include <QSqlRecord>

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
    return m_query.value(column).toInt();
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
