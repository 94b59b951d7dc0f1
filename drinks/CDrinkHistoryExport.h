#pragma once

#include <QCoreApplication>
#include <QString>
#include <QVector>

#include "stDaysData.h"
#include "stTimesData.h"

class CHealthDatabase;

// The drinking history as a CSV file for a spreadsheet: UTF-8 behind a byte-order mark,
// comma-separated, lines ending in CR LF, fields quoted as RFC 4180 asks. Two sections, each under its own header line and
// parted by an empty line: one row per drink (local date, local time, millilitres), oldest
// first, then one row per day with drinks (date, total millilitres, drinks, target reached).
// Dates are ISO (2026-12-07), times 24-hour (08:30:00). It only reads the history.
class CDrinkHistoryExport
{
    Q_DECLARE_TR_FUNCTIONS(CDrinkHistoryExport)
public:
    explicit CDrinkHistoryExport(CHealthDatabase* store);

    // Writes the whole history to fileName. The file appears, or replaces the one there, only
    // once it is complete: when the history cannot be read or the file cannot be written whole
    // (a full disk), nothing at fileName changes and the result is false, with the reason in
    // ErrorString().
    bool Write(const QString& fileName);
    QString ErrorString() const;

    // The file's contents for the given rows, in the order given.
    static QByteArray Csv(const QVector<stTimesData>& drinks, const QVector<stDaysData>& days);

private:
    CHealthDatabase* m_store;
    QString m_error;
};
