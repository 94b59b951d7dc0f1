#pragma once

#include <QCoreApplication>
#include <QString>
#include <QVector>

#include "stDaysData.h"
#include "stRestData.h"
#include "stScreenTimeData.h"
#include "stTimesData.h"

class CHealthDatabase;

// The history as a CSV file for a spreadsheet: UTF-8 behind a byte-order mark, comma-separated,
// lines ending in CR LF, fields quoted as RFC 4180 asks. Three sections, each under its own header
// line and parted by an empty line: one row per drink (local date, local time, millilitres),
// oldest first; one row per day with drinks or screen time (date, total millilitres, drinks,
// target reached, minutes at the screen; the drink fields empty on a day without drinks); one row
// per rest reminder (date, time, kind, outcome, minutes put off, what held it), oldest first.
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
    static QByteArray Csv(const QVector<stTimesData>& drinks, const QVector<stDaysData>& days,
        const QVector<stScreenTimeData>& screenTime = {}, const QVector<stRestData>& rests = {});

private:
    static QString KindText(int kind);
    static QString OutcomeText(int outcome);
    static QString ReasonText(const QString& reason);

    CHealthDatabase* m_store;
    QString m_error;
};
