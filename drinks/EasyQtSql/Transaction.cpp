#include "Transaction.h"

#include <QHash>
#include <QSqlError>
#include <QSqlQuery>

#include "DBException.h"

namespace EasyQtSql {

namespace {
// Open guards per connection name. A connection is used only by the thread that made it, so
// each thread counts its own.
QHash<QString, int>& Depths()
{
    static thread_local QHash<QString, int> depths;
    return depths;
}

QSqlDatabase Connect(const QSqlDatabase& db)
{
    QSqlDatabase connection = db.isValid() ? db : QSqlDatabase::database(QLatin1String(QSqlDatabase::defaultConnection), false);
    if (!connection.isOpen() && !connection.open())
        throw DBException(connection.lastError());
    return connection;
}
}

Transaction::Transaction(const QSqlDatabase& db)
    : m_db(Connect(db))
{
    int& depth = Depths()[m_db.connectionName()];
    if (depth == 0) {
        if (!m_db.transaction())
            throw DBException(m_db.lastError());
    } else {
        m_savepoint = QStringLiteral("easyqtsql_%1").arg(depth);
    }
    ++depth;
}

Transaction::~Transaction()
{
    --Depths()[m_db.connectionName()];
    if (!m_db.isValid() || m_committed)
        return;
    if (m_savepoint.isEmpty()) {
        m_db.rollback();
    } else if (m_savepointSet) {
        QSqlQuery query(m_db);
        query.exec(QStringLiteral("ROLLBACK TO SAVEPOINT ") + m_savepoint);
        query.exec(QStringLiteral("RELEASE SAVEPOINT ") + m_savepoint);
    }
}

void Transaction::Exec(const QString& sql)
{
    // An inner guard marks its place only once it changes something: reads inside a
    // transaction have nothing to undo, and each savepoint costs two statements.
    if (!m_savepoint.isEmpty() && !m_savepointSet) {
        Run(QStringLiteral("SAVEPOINT ") + m_savepoint);
        m_savepointSet = true;
    }
    Run(sql);
}

QueryResult Transaction::Select(const QString& sql)
{
    return QueryResult(Run(sql));
}

bool Transaction::Commit()
{
    if (!m_db.isValid() || m_committed)
        return m_committed;
    if (m_savepoint.isEmpty()) {
        m_committed = m_db.commit();
        if (!m_committed)
            throw DBException(m_db.lastError());
    } else {
        if (m_savepointSet)
            Run(QStringLiteral("RELEASE SAVEPOINT ") + m_savepoint);
        m_committed = true;
    }
    return m_committed;
}

QSqlQuery Transaction::Run(const QString& sql)
{
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    query.exec(sql);
    if (query.lastError().isValid())
        throw DBException(query.lastError(), sql);
    return query;
}

}
