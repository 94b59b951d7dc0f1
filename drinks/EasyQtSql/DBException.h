#pragma once

#include <QException>
#include <QSqlError>
#include <QString>

namespace EasyQtSql {

// The one exception of the SQL layer: what the database said and which statement it refused
// (empty when opening the connection, beginning or committing a transaction failed).
class DBException : public QException
{
public:
    explicit DBException(const QSqlError& error, const QString& statement = QString());

    const QSqlError& Error() const;
    const QString& Statement() const;
    // True when another connection held the database: the same statement may work later.
    bool IsBusy() const;

    const char* what() const noexcept override;
    void raise() const override;
    DBException* clone() const override;

private:
    QSqlError m_error;
    QString m_statement;
    QByteArray m_what;
};

}
