#pragma once

#include <QSqlDatabase>
#include <QString>

#include "QueryResult.h"

namespace EasyQtSql {

// Transaction guard: begins on construction and rolls back on destruction unless committed.
//
// Guards nest on one connection. The outermost guard owns the real transaction; a guard made
// while another is alive on the same connection is a savepoint inside it (set by its first
// statement that changes something, so reads cost nothing extra). An inner commit keeps
// its work only as part of the outer transaction, so several writes that each guard themselves
// can still be stored together by one guard around them. Every failure throws DBException.
class Transaction
{
public:
    // An invalid connection means Qt's default one; it is opened when it is not open yet.
    explicit Transaction(const QSqlDatabase& db = QSqlDatabase());
    ~Transaction();

    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    // Runs a statement that changes the database.
    void Exec(const QString& sql);
    // Runs a select and hands back its rows.
    QueryResult Select(const QString& sql);
    // Keeps the work; true once committed. Throws when the database refuses the commit.
    bool Commit();

private:
    QSqlQuery Run(const QString& sql);

    QSqlDatabase m_db;
    // Empty for the outermost guard.
    QString m_savepoint;
    bool m_savepointSet = false;
    bool m_committed = false;
};

}
