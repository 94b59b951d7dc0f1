#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

// The first column of a select over a history file, read behind the program's back through a
// connection of the test's own.
inline QStringList HistoryColumn(const QString& path, const QString& sql)
{
    QStringList values;
    {
        QSqlDatabase raw = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("raw"));
        raw.setDatabaseName(path);
        raw.open();
        QSqlQuery query(raw);
        query.exec(sql);
        while (query.next())
            values.append(query.value(0).toString());
    }
    QSqlDatabase::removeDatabase(QStringLiteral("raw"));
    return values;
}
