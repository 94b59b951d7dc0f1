#pragma once

#include <QString>
#include <QStringList>

// The desktop's "start at log-in" entry for one program.
class CAutostart
{
public:
    explicit CAutostart(const QString& appName);

    // The program and arguments the desktop starts at log-in; empty when there is no entry or
    // the desktop has switched it off.
    QStringList Command() const;
    // Creates or replaces the entry so that it starts `program` with `arguments`.
    bool Write(const QString& program, const QStringList& arguments) const;
    // Removes the entry; true when none is left.
    bool Remove() const;
    // Where the entry lives, for messages and tests.
    QString Location() const;

private:
    QString m_appName;
};
