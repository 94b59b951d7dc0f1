#pragma once

#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

namespace EasyQtSql {

// Walks the rows of an executed select. Columns are read by their position in the select list.
class QueryResult
{
public:
    explicit QueryResult(const QSqlQuery& query);

    // Moves to the next row; false after the last one. The first call also notes the field names.
    bool Next();
    QVariant Value(int column) const;
    // The column as an int; a number beyond the int's range reads as its nearest limit.
    int ToInt(int column) const;
    QString ToString(int column) const;
    // The names of the select's fields, known once Next has been called.
    const QStringList& FieldNames() const;

private:
    QSqlQuery m_query;
    QStringList m_fieldNames;
    bool m_started = false;
};

}
