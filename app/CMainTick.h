#pragma once

#include <QString>

class CConsiderateGate;
class CIniSettings;
class CRestHistory;
class ITickHost;

// The program's one periodic chore list, run once a second: the day-change check, the heartbeat
// at every full hour of running, the delayed report of a start with the system, and the drink
// and rest reminders on their interval grids. A reminder that falls due while the gate holds
// reminders, or while the user paused them, waits, and shows once on the first tick after the
// hold ends and the user has stopped typing; the next of its kind then comes a full interval
// after that, whatever held it. The host is told why a reminder waits. With a rest history it
// also counts the time the user is at the computer (not away by the gate, not suspended) and
// records the rests held and the absences that counted as rests.
class CMainTick
{
public:
    // Launch source of a start with the system; its start report waits until the desktop settled.
    static constexpr int BootLaunch = 4;
    static constexpr int BootReportDelay = 180;
    static constexpr int DefaultInterval = 300;
    // A pause of the reminders lasts a day at most: a stored end further off (the clock was put
    // back, or the file edited) holds nothing and is dropped.
    static constexpr qint64 LongestPause = 24 * 3600;

    CMainTick(ITickHost& host, qint64 startTime);

    void SetLaunchSource(int source);
    int LaunchSource() const;
    void SetSuspended(bool suspended);
    bool IsSuspended() const;
    void SetGate(CConsiderateGate* gate);
    void SetRestHistory(CRestHistory* history);
    // The user took a rest by being away: the rest grid starts again at `returned`, and a rest
    // reminder that waited is dropped.
    void RestTaken(qint64 returned);

    void Run();

    // Whether the user paused every reminder at `now`.
    static bool IsPaused(qint64 now);
    // The interval in seconds for hours and minutes as stored; 0 or less becomes five minutes.
    static int Interval(int hours, int minutes);
    // When `stamp` + `interval` has passed, moves `stamp` to the last grid point not after `now`
    // and returns true. Seconds are compared in 64 bits: from 2038 on a 32-bit due time would
    // look negative and every tick would fire the reminder again.
    static bool AdvanceGrid(qint64 now, qint64& stamp, int interval);

private:
    enum class Pending { None, Due, Held };
    struct Reminder
    {
        Pending pending = Pending::None;
        // When it could first have shown, had the user not been typing; 0 while it could not.
        qint64 readySince = 0;
        // Its hold is in the rest history: one record however long it waits.
        bool holdRecorded = false;
    };
    using StampGetter = qint64 (CIniSettings::*)() const;
    using StampSetter = void (CIniSettings::*)(qint64);

    // Moves one kind of reminder along its grid: a grid point passed makes one due.
    static void Advance(Reminder& reminder, qint64 now, StampGetter stamp, StampSetter setStamp, int interval);
    // The due reminders are ready to show from now on, unless already; the earliest moment one
    // was ready, or 0 when none is due.
    qint64 Ready(qint64 now);
    // True when the reminder is to be shown now; one that must `wait` is held.
    static bool Release(Reminder& reminder, bool wait, qint64 now, StampSetter setStamp);
    static void Drop(Reminder& reminder, qint64 now, StampSetter setStamp);
    void TellWaitReason(const QString& reason);

    ITickHost& m_host;
    qint64 m_startTime;
    int m_launchSource = 0;
    bool m_suspended = false;
    bool m_bootReportDone = false;
    // Whole hours of running already reported by the heartbeat.
    qint64 m_heartbeatHours = 0;
    CConsiderateGate* m_gate = nullptr;
    CRestHistory* m_restHistory = nullptr;
    Reminder m_drink;
    Reminder m_relax;
    QString m_waitReason;
};
