#pragma once

#include <QString>

// One rest reminder's outcome: a row of the rests table.
struct stRestData
{
    enum Kind
    {
        // The countdown pop-up.
        Popup = 0,
        // The full-screen rest on every screen.
        FullScreen = 1,
    };
    enum Outcome
    {
        // The rest ran to its end.
        Taken = 0,
        // The user ended the rest before its end.
        EndedEarly = 1,
        // The user put the rest off until the next reminder, nMinutes later.
        Postponed = 2,
        // The rest did not happen: the user had silenced full-screen rests for a while.
        Skipped = 3,
        // The reminder fell due while a considerate reason (strReason) held it back.
        Held = 4,
        // The user was away from the computer for at least a rest's length.
        Away = 5,
    };

    // Seconds since the epoch.
    qint64 nTime = 0;
    int nKind = Popup;
    int nOutcome = Taken;
    // For Postponed: the minutes until the next reminder.
    int nMinutes = 0;
    // For Held: what held the reminder ("fullscreen", "program", "meeting", "dnd", "awake", "away", "paused").
    QString strReason;
};
