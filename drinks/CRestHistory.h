#pragma once

#include <QDate>
#include <QHash>
#include <QObject>
#include <QVector>

#include "stRestData.h"

class CHistoryWriter;

// The rest history: every rest reminder's outcome and the minutes of each day in which the user
// was active at the computer, kept in HealthConfig.db beside the drinking history and written by
// its writer thread, one transaction per outcome or minute. Main thread only.
//
// What is recorded counts in memory at once; Load reads the file anew, and the rows in memory
// are then what the file held, with everything recorded since the read was asked for counted in.
class CRestHistory : public QObject
{
    Q_OBJECT
public:
    // What a span of days adds up to.
    struct Figures
    {
        // Reminders that came to an end of some kind: taken, ended early, put off, skipped or
        // settled by an absence.
        int due = 0;
        // Rests run to their end, and absences that count as one.
        int taken = 0;
        int endedEarly = 0;
        int postponed = 0;
        int skipped = 0;
        // Reminders that waited for a considerate reason; each also ends some other way later.
        int held = 0;
        int screenMinutes = 0;
    };

    // The process-wide rest history. It costs nothing until it first reads or writes: then it
    // takes up the drinking history's writer.
    static CRestHistory* Instance();

    // A history written by `writer`; by the process-wide drinking history's writer when none is
    // given.
    explicit CRestHistory(CHistoryWriter* writer = nullptr, QObject* parent = nullptr);

    // Records an outcome at the current moment.
    void Record(stRestData::Kind kind, stRestData::Outcome outcome, int minutes = 0, const QString& reason = QString());
    // The user is active at `now` (seconds since the epoch); called on every tick while they are.
    // The seconds between two calls a tick apart add up, and each full minute is written to the
    // day it ends on: at most one write a minute, and a crash loses less than the minute at hand.
    // A longer gap between calls (away, asleep) adds nothing.
    void CountActive(qint64 now);
    // Reads the history anew; Changed follows once the file has answered.
    void Load();
    // Runs the event loop until the file holds everything recorded so far, at most msecs; true
    // when that came. For tools and tests.
    bool WaitUntilSaved(int msecs);

    // The outcomes of the local days first to last, both included, and their screen time.
    Figures FiguresOf(const QDate& first, const QDate& last) const;
    // Every outcome in memory, in the order recorded.
    const QVector<stRestData>& Rests() const;

signals:
    // The rows in memory were read anew from the file.
    void Changed();

private:
    CHistoryWriter* Writer();

    CHistoryWriter* m_writer;
    QVector<stRestData> m_rests;
    // Day key → active minutes.
    QHash<qint64, int> m_screenMinutes;
    // Recorded while a read was on its way: the file may not have held it yet.
    QVector<stRestData> m_restsSinceRead;
    QHash<qint64, int> m_minutesSinceRead;
    bool m_reading = false;
    // The moment of the last call to CountActive, and the active seconds not yet written.
    qint64 m_lastActive = -1;
    qint64 m_activeSecs = 0;
};
