#include "DBException.h"

namespace EasyQtSql {

DBException::DBException(const QSqlError& error, const QString& statement)
    : m_error(error)
    , m_statement(statement)
    , m_what(error.text().toUtf8())
{
}

const QSqlError& DBException::Error() const
{
    return m_error;
}

const QString& DBException::Statement() const
{
    return m_statement;
}

bool DBException::IsBusy() const
{
    // SQLite's SQLITE_BUSY and SQLITE_LOCKED.
    const QString code = m_error.nativeErrorCode();
    return code == QLatin1String("5") || code == QLatin1String("6");
}

const char* DBException::what() const noexcept
{
    return m_what.constData();
}

void DBException::raise() const
{
    throw *this;
}

DBException* DBException::clone() const
{
    return new DBException(*this);
}

}
