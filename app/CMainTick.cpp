#include "CMainTick.h"

#include <limits>

#include <QString>

#include "CConsiderateGate.h"
#include "core/CCommon.h"
#include "core/CIniSettings.h"
#include "CRelaxTipsWindow.h"
#include "CRestHistory.h"
#include "CUpdateContext.h"
#include "ITickHost.h"
#include "clock.h"

namespace {
constexpr int kPromptSound = 2;
}

CMainTick::CMainTick(ITickHost& host, qint64 startTime)
    : m_host(host)
    , m_startTime(startTime)
{
}

void CMainTick::SetLaunchSource(int source)
{
    m_launchSource = source;
}

int CMainTick::LaunchSource() const
{
    return m_launchSource;
}

void CMainTick::SetSuspended(bool suspended)
{
    m_suspended = suspended;
}

bool CMainTick::IsSuspended() const
{
    return m_suspended;
}

void CMainTick::SetGate(CConsiderateGate* gate)
{
    m_gate = gate;
}

void CMainTick::SetRestHistory(CRestHistory* history)
{
    m_restHistory = history;
}

void CMainTick::RestTaken(qint64 returned)
{
    m_relax = Reminder();
    CIniSettings* settings = CIniSettings::Instance();
    if (settings->GetRelaxStatus() == 0)
        return;
    if (m_restHistory)
        m_restHistory->Record(CRelaxTipsWindow::RestKind(), stRestData::Away);
    settings->SetRelaxTimestamp(returned);
    if (m_host.IsRelaxSettingsCurrent())
        m_host.RefreshRelaxSettings();
}

bool CMainTick::IsPaused(qint64 now)
{
    CIniSettings* settings = CIniSettings::Instance();
    const qint64 until = settings->GetPausedUntil();
    if (until - now <= LongestPause)
        return now < until;
    // Dropped at once: kept, it would hold every reminder for a whole day once the clock came
    // within a day of it.
    settings->SetPausedUntil(0);
    return false;
}

int CMainTick::Interval(int hours, int minutes)
{
    const qint64 interval = (qint64(minutes) + 60 * qint64(hours)) * 60;
    // A hand-edited file may hold a negative length, which would make every tick a reminder.
    if (interval <= 0)
        return DefaultInterval;
    return int(qMin<qint64>(interval, std::numeric_limits<int>::max()));
}

bool CMainTick::AdvanceGrid(qint64 now, qint64& stamp, int interval)
{
    const qint64 due = stamp + interval;
    if (due >= 0 && now <= due)
        return false;
    stamp += (now - stamp) / interval * interval;
    return true;
}

void CMainTick::Advance(Reminder& reminder, qint64 now, StampGetter stamp, StampSetter setStamp, int interval)
{
    CIniSettings* settings = CIniSettings::Instance();
    qint64 grid = (settings->*stamp)();
    if (!AdvanceGrid(now, grid, interval))
        return;
    (settings->*setStamp)(grid);
    if (reminder.pending == Pending::None)
        reminder.pending = Pending::Due;
}

qint64 CMainTick::Ready(qint64 now)
{
    qint64 earliest = 0;
    for (Reminder* reminder : {&m_drink, &m_relax}) {
        if (reminder->pending == Pending::None)
            continue;
        if (reminder->readySince == 0)
            reminder->readySince = now;
        if (earliest == 0 || reminder->readySince < earliest)
            earliest = reminder->readySince;
    }
    return earliest;
}

bool CMainTick::Release(Reminder& reminder, bool wait, qint64 now, StampSetter setStamp)
{
    if (reminder.pending == Pending::None)
        return false;
    if (wait) {
        reminder.pending = Pending::Held;
        return false;
    }
    Drop(reminder, now, setStamp);
    return true;
}

// A reminder that waited out a hold starts the next interval of its kind at the moment it is
// shown or dropped: the grid points that passed meanwhile are not owed, and the next one never
// follows it sooner than a full interval later.
void CMainTick::Drop(Reminder& reminder, qint64 now, StampSetter setStamp)
{
    if (reminder.pending == Pending::Held)
        (CIniSettings::Instance()->*setStamp)(now);
    reminder = Reminder();
}

void CMainTick::TellWaitReason(const QString& reason)
{
    if (reason == m_waitReason)
        return;
    m_waitReason = reason;
    m_host.ShowWaitReason(reason);
}

void CMainTick::Run()
{
    const qint64 now = CClock::Now();
    const qint64 elapsed = now - m_startTime;

    // The tick runs anyway: counting here costs no wake-up of its own, and none while away.
    if (m_restHistory && !m_suspended && !(m_gate && m_gate->IsAway()))
        m_restHistory->CountActive(now);

    if (elapsed % 3 == 0)
        CCommon::Instance()->CheckNewDay();
    // Counted, not matched to a second: a tick that comes late or early, or several hours apart
    // after a suspend, still sends one report per hour reached.
    if (elapsed / 3600 > m_heartbeatHours) {
        m_heartbeatHours = elapsed / 3600;
        CUpdateContext::Instance()->ReportEvent(QStringLiteral("heartbeat"));
    }
    if (m_launchSource == BootLaunch && elapsed / BootReportDelay == 1 && !m_bootReportDone) {
        m_bootReportDone = true;
        m_host.ReportFeatureStates();
        CUpdateContext::Instance()->ReportEvent(QStringLiteral("boot_start"));
    }

    CIniSettings* settings = CIniSettings::Instance();
    if (settings->GetTipsStatus() != 0 || settings->GetTodayTipsStatus() != 0 || m_host.IsDrinksRecordCurrent()) {
        // A silence the user chose also covers what was waiting.
        Drop(m_drink, now, &CIniSettings::SetDrinkTimestamp);
        Drop(m_relax, now, &CIniSettings::SetRelaxTimestamp);
        TellWaitReason(QString());
        return;
    }

    if (settings->GetDrinksStatus() == 0)
        Drop(m_drink, now, &CIniSettings::SetDrinkTimestamp);
    if (settings->GetRelaxStatus() == 0)
        Drop(m_relax, now, &CIniSettings::SetRelaxTimestamp);
    if (m_suspended)
        return;
    // Missed grid points are skipped as ever; one reminder of each kind waits, never a pile.
    if (settings->GetDrinksStatus() != 0) {
        Advance(m_drink, now, &CIniSettings::GetDrinkTimestamp, &CIniSettings::SetDrinkTimestamp,
            Interval(settings->GetDrinksTimerHour(), settings->GetDrinksTimerMinute()));
    }
    if (settings->GetRelaxStatus() != 0) {
        Advance(m_relax, now, &CIniSettings::GetRelaxTimestamp, &CIniSettings::SetRelaxTimestamp,
            Interval(settings->GetRelaxTimerHour(), settings->GetRelaxTimerMinute()));
    }

    // What holds the reminders: the gate's reason, or the user's pause; empty while nothing does.
    QString holdReason = m_gate ? m_gate->HoldReason() : QString();
    if (holdReason.isEmpty() && IsPaused(now))
        holdReason = QStringLiteral("paused");
    const bool held = !holdReason.isEmpty();
    if (held)
        m_drink.readySince = m_relax.readySince = 0;
    const qint64 ready = held ? 0 : Ready(now);
    // Both kinds wait for the same typing, so that neither shows in the middle of it.
    const bool typing = ready != 0 && m_gate && m_gate->WaitsForTyping(ready);

    if (Release(m_drink, held || typing, now, &CIniSettings::SetDrinkTimestamp)) {
        if (settings->GetDrinkPrompt() != 0)
            m_host.PlayPromptSound(kPromptSound);
        m_host.OnDrinksTipsShow();
        if (m_host.IsDrinksSettingsCurrent())
            m_host.RefreshDrinksSettings();
    }
    // Once per waiting reminder, when a hold first catches it.
    if (held && m_relax.pending != Pending::None && !m_relax.holdRecorded && m_restHistory) {
        m_relax.holdRecorded = true;
        m_restHistory->Record(CRelaxTipsWindow::RestKind(), stRestData::Held, 0, holdReason);
    }
    if (Release(m_relax, held || typing, now, &CIniSettings::SetRelaxTimestamp)) {
        if (settings->GetRelaxPrompt() != 0)
            m_host.PlayPromptSound(kPromptSound);
        m_host.OnRelaxTipsShow();
        if (m_host.IsRelaxSettingsCurrent())
            m_host.RefreshRelaxSettings();
    }
    const bool waiting = m_drink.pending == Pending::Held || m_relax.pending == Pending::Held;
    // A pause the user chose needs no reason.
    TellWaitReason(waiting && m_gate ? m_gate->WaitReason(held) : QString());
}
