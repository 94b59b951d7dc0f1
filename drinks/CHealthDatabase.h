#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QVector>

#include <functional>

#include "stDaysData.h"
#include "stMonthsData.h"
#include "stTimesData.h"
#include "stTotalsData.h"
#include "stWeeksData.h"

// The drinking history file, HealthConfig.db in the data folder: one row per drink, day, week
// and month and one row of totals. It stores what the statistics model worked out and hands
// rows back; it computes nothing.
//
// Every call returns false when the file could not be opened, so the program runs on without a
// history. Reads append to the caller's vector and never clear it; a failing select throws
// EasyQtSql::DBException to the caller. Each write is one transaction: a batch of rows is stored
// entirely or not at all, and WriteTogether joins several writes into one such transaction.
//
// A store is one connection of its own, used only by the thread that made it. While another
// program holds the file, a statement waits for it at most busyWaitMs and then fails.
class CHealthDatabase
{
public:
    // Qt's default connection unless named otherwise.
    explicit CHealthDatabase(
        const QString& connectionName = QLatin1String(QSqlDatabase::defaultConnection), int busyWaitMs = 5000);
    ~CHealthDatabase();

    CHealthDatabase(const CHealthDatabase&) = delete;
    CHealthDatabase& operator=(const CHealthDatabase&) = delete;

    // Opens the file and creates the tables; always true (the outcome shows in IsOpen and the
    // results of later calls).
    bool Init();
    // Opens HealthConfig.db in the data folder, creating the folder when it is missing.
    bool OpenDatabase();
    // Creates the five tables when they do not exist yet; true when all five exist.
    bool CreateTables();
    bool IsOpen() const;
    // The file's path, once OpenDatabase has run.
    QString FileName() const;
    // Hands back the file's pages SQLite keeps from earlier reads (up to 2 MiB of them).
    void ReleaseCache();

    bool SelectTimes(QVector<stTimesData>& rows, const QString& sql);
    bool SelectDays(QVector<stDaysData>& rows, const QString& sql);
    bool SelectWeeks(QVector<stWeeksData>& rows, const QString& sql);
    bool SelectMonths(QVector<stMonthsData>& rows, const QString& sql);
    bool SelectTotals(QVector<stTotalsData>& rows, const QString& sql);

    // True when committed.
    bool ReplaceTimes(const stTimesData& row);
    bool ReplaceDays(const QVector<stDaysData>& rows);
    bool ReplaceWeeks(const QVector<stWeeksData>& rows);
    bool ReplaceMonths(const QVector<stMonthsData>& rows);
    bool ReplaceTotals(const QVector<stTotalsData>& rows);

    // Runs writes (any mix of the calls above) as one transaction, committed only when writes
    // returns true; otherwise nothing of it reaches the file. True when committed. When no
    // transaction can be begun (a closed or unusable store) writes still run, so the caller's
    // own work happens, but against a closed store; the result is false. An exception from
    // writes passes through, rolled back.
    bool WriteTogether(const std::function<bool()>& writes);

private:
    QString m_connectionName;
    int m_busyWaitMs;
    QSqlDatabase m_db;
};
