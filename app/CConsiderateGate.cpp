#include "CConsiderateGate.h"

#include "core/CIniSettings.h"
#include "CRelaxLength.h"
#include "camerawatcher.h"
#include "clock.h"
#include "donotdisturbwatcher.h"
#include "fullscreenwatcher.h"
#include "idleinhibitwatcher.h"
#include "idlemonitor.h"
#include "keyboardwatcher.h"
#include "microphonewatcher.h"
#include "sessionlockmonitor.h"

CConsiderateGate::CConsiderateGate(QObject* parent)
    : QObject(parent)
{
}

void CConsiderateGate::Watch(CFullscreenWatcher* fullscreen, CIdleMonitor* idle, CSessionLockMonitor* lock)
{
    SetFullscreenInFront(fullscreen->IsFullscreenInFront());
    connect(fullscreen, &CFullscreenWatcher::FullscreenChanged, this, &CConsiderateGate::SetFullscreenInFront);
    SetProgramInFront(fullscreen->ProgramInFront());
    connect(fullscreen, &CFullscreenWatcher::ProgramInFrontChanged, this, &CConsiderateGate::SetProgramInFront);
    if (idle->IsIdle())
        OnIdleStarted(idle->ThresholdSecs());
    connect(idle, &CIdleMonitor::IdleStarted, this, [this, idle] { OnIdleStarted(idle->ThresholdSecs()); });
    connect(idle, &CIdleMonitor::IdleEnded, this, &CConsiderateGate::OnIdleEnded);
    lock->EndLockOnInputFrom(idle);
    SetLocked(lock->IsLocked());
    connect(lock, &CSessionLockMonitor::LockedChanged, this, &CConsiderateGate::SetLocked);
}

void CConsiderateGate::WatchMeetings(
    CDoNotDisturbWatcher* doNotDisturb, CIdleInhibitWatcher* inhibit, CCameraWatcher* camera, CMicrophoneWatcher* microphone)
{
    SetDoNotDisturb(doNotDisturb->IsOn());
    connect(doNotDisturb, &CDoNotDisturbWatcher::DoNotDisturbChanged, this, &CConsiderateGate::SetDoNotDisturb);
    SetKeptAwake(inhibit->IsInhibited());
    connect(inhibit, &CIdleInhibitWatcher::InhibitedChanged, this, &CConsiderateGate::SetKeptAwake);
    SetCameraInUse(camera->IsInUse());
    connect(camera, &CCameraWatcher::InUseChanged, this, &CConsiderateGate::SetCameraInUse);
    SetRecording(microphone->IsRecording());
    connect(microphone, &CMicrophoneWatcher::RecordingChanged, this, &CConsiderateGate::SetRecording);
}

void CConsiderateGate::WatchTyping(CKeyboardWatcher* keyboard)
{
    m_keyboard = keyboard;
    connect(keyboard, &CKeyboardWatcher::KeyPressed, this, &CConsiderateGate::OnKeyPressed);
}

CConsiderateGate::Hold CConsiderateGate::CurrentHold() const
{
    CIniSettings* settings = CIniSettings::Instance();
    if (m_fullscreen && settings->GetConsiderateFullscreen())
        return Hold::Fullscreen;
    if (!ChosenProgramInFront().isEmpty())
        return Hold::Program;
    if (settings->GetConsiderateMeeting()) {
        if (m_camera || m_recording)
            return Hold::Meeting;
        if (m_doNotDisturb)
            return Hold::DoNotDisturb;
        if (m_keptAwake)
            return Hold::KeptAwake;
    }
    if (IsAway() && settings->GetConsiderateAway())
        return Hold::Away;
    return Hold::None;
}

bool CConsiderateGate::HoldsReminders() const
{
    return CurrentHold() != Hold::None;
}

QString CConsiderateGate::HoldReason() const
{
    switch (CurrentHold()) {
    case Hold::Fullscreen:
        return QStringLiteral("fullscreen");
    case Hold::Program:
        return QStringLiteral("program");
    case Hold::Meeting:
        return QStringLiteral("meeting");
    case Hold::DoNotDisturb:
        return QStringLiteral("dnd");
    case Hold::KeptAwake:
        return QStringLiteral("awake");
    case Hold::Away:
        return QStringLiteral("away");
    case Hold::None:
        break;
    }
    return QString();
}

bool CConsiderateGate::IsAway() const
{
    return m_idle || m_locked;
}

QString CConsiderateGate::ChosenProgramInFront() const
{
    if (m_program.isEmpty())
        return QString();
    const QStringList chosen = CIniSettings::Instance()->GetConsideratePrograms();
    for (const QString& name : chosen) {
        if (m_program.contains(name, Qt::CaseInsensitive))
            return name;
    }
    return QString();
}

bool CConsiderateGate::WaitsForTyping(qint64 readySince)
{
    const qint64 now = CClock::Now();
    if (!m_keyboard || now - readySince >= TypingWaitSecs) {
        m_typing = false;
        return false;
    }
    if (!m_typing) {
        // The keys before the reminder was ready were counted by the display server.
        const qint64 stillMs = m_keyboard->StillMs();
        if (stillMs < 0 || stillMs >= TypingPauseSecs * 1000)
            return false;
        m_typing = true;
        m_lastKey = now - stillMs / 1000;
        m_keyboard->WatchNextKey();
    }
    // Once the keyboard is still, the next reminder asks afresh.
    m_typing = now - m_lastKey < TypingPauseSecs;
    return m_typing;
}

void CConsiderateGate::OnKeyPressed()
{
    // Each key is announced only while a reminder waits for the typing to stop.
    if (!m_typing)
        return;
    m_lastKey = CClock::Now();
    m_keyboard->WatchNextKey();
}

QString CConsiderateGate::WaitReason(bool held) const
{
    if (!held)
        return tr("正在打字，提醒稍后弹出");
    switch (CurrentHold()) {
    case Hold::Fullscreen:
        return tr("全屏程序在前台，提醒已暂缓");
    case Hold::Program:
        return tr("%1 在前台，提醒已暂缓").arg(ChosenProgramInFront());
    case Hold::Meeting:
        return tr("正在会议中，提醒已暂缓");
    case Hold::DoNotDisturb:
        return tr("勿扰模式已开启，提醒已暂缓");
    case Hold::KeptAwake:
        return tr("有程序让屏幕保持常亮，提醒已暂缓");
    case Hold::Away:
        return tr("你已离开，提醒已暂缓");
    case Hold::None:
        break;
    }
    return QString();
}

void CConsiderateGate::SetFullscreenInFront(bool fullscreen)
{
    m_fullscreen = fullscreen;
}

void CConsiderateGate::SetProgramInFront(const QStringList& names)
{
    m_program = names;
}

void CConsiderateGate::SetDoNotDisturb(bool on)
{
    m_doNotDisturb = on;
}

void CConsiderateGate::SetKeptAwake(bool inhibited)
{
    m_keptAwake = inhibited;
}

void CConsiderateGate::SetCameraInUse(bool inUse)
{
    m_camera = inUse;
}

void CConsiderateGate::SetRecording(bool recording)
{
    m_recording = recording;
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
