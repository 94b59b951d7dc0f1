#include "CConsiderateGate.h"

#include "core/CIniSettings.h"
#include "CRelaxLength.h"
#include "clock.h"
#include "fullscreenwatcher.h"
#include "idlemonitor.h"
#include "sessionlockmonitor.h"

CConsiderateGate::CConsiderateGate(QObject* parent)
    : QObject(parent)
{
}

void CConsiderateGate::Watch(CFullscreenWatcher* fullscreen, CIdleMonitor* idle, CSessionLockMonitor* lock)
{
    SetFullscreenInFront(fullscreen->IsFullscreenInFront());
    connect(fullscreen, &CFullscreenWatcher::FullscreenChanged, this, &CConsiderateGate::SetFullscreenInFront);
    if (idle->IsIdle())
        OnIdleStarted(idle->ThresholdSecs());
    connect(idle, &CIdleMonitor::IdleStarted, this, [this, idle] { OnIdleStarted(idle->ThresholdSecs()); });
    connect(idle, &CIdleMonitor::IdleEnded, this, &CConsiderateGate::OnIdleEnded);
    lock->EndLockOnInputFrom(idle);
    SetLocked(lock->IsLocked());
    connect(lock, &CSessionLockMonitor::LockedChanged, this, &CConsiderateGate::SetLocked);
}

bool CConsiderateGate::HoldsReminders() const
{
    return !HoldReason().isEmpty();
}

QString CConsiderateGate::HoldReason() const
{
    CIniSettings* settings = CIniSettings::Instance();
    if (m_fullscreen && settings->GetConsiderateFullscreen())
        return QStringLiteral("fullscreen");
    if (IsAway() && settings->GetConsiderateAway())
        return QStringLiteral("away");
    return QString();
}

bool CConsiderateGate::IsAway() const
{
    return m_idle || m_locked;
}

void CConsiderateGate::SetFullscreenInFront(bool fullscreen)
{
    m_fullscreen = fullscreen;
}

void CConsiderateGate::OnIdleStarted(int idleSecs)
{
    if (m_idle)
        return;
    AwayFrom(CClock::Now() - idleSecs);
    m_idle = true;
}

void CConsiderateGate::OnIdleEnded()
{
    if (!m_idle)
        return;
    m_idle = false;
    MaybeBack();
}

void CConsiderateGate::SetLocked(bool locked)
{
    if (locked == m_locked)
        return;
    if (locked)
        AwayFrom(CClock::Now());
    m_locked = locked;
    if (!locked)
        MaybeBack();
}

void CConsiderateGate::AwayFrom(qint64 since)
{
    // Idle and locked overlap: the absence began with whichever came first.
    if (!IsAway() || since < m_awaySince)
        m_awaySince = since;
}

void CConsiderateGate::MaybeBack()
{
    if (IsAway())
        return;
    const qint64 now = CClock::Now();
    if (CIniSettings::Instance()->GetConsiderateAway() && now - m_awaySince >= CRelaxLength::Seconds())
        emit RestTaken(now);
}
