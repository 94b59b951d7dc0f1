#pragma once

#include <QCoreApplication>
#include <QString>

// The one line "status" answers: eye protection, the drink and the rest reminders, and what
// holds the reminders, as they stand.
class CStatusLine
{
    Q_DECLARE_TR_FUNCTIONS(CStatusLine)
public:
    // `eyeStrength` is the strength in force; `now` seconds since 1970; a `note` ends the line.
    static QString Text(int eyeStrength, qint64 now, const QString& note = {});

private:
    static QString Eye(int strength);
    // One reminder kind: its switch, its interval and when it comes next.
    static QString Reminder(const QString& name, bool on, int interval, qint64 stamp, qint64 now);
    static QString Silence(qint64 now);
};
