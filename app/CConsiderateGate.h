#pragma once

#include <QObject>
#include <QStringList>

class CCameraWatcher;
class CDoNotDisturbWatcher;
class CFullscreenWatcher;
class CIdleInhibitWatcher;
class CIdleMonitor;
class CKeyboardWatcher;
class CMicrophoneWatcher;
class CSessionLockMonitor;

// Decides whether a reminder that falls due waits: while a full-screen program or one of the
// programs the user chose is in front, while the user is away (no input for a while) or the
// session locked, and while the user is in a meeting (camera or microphone in use by another
// program), has switched on Do Not Disturb, or a program keeps the session awake. An absence at
// least as long as a rest counts as the rest. A reminder ready to show also waits for the typing
// to stop, but not for long. The switches and the program list live in the configuration file,
// read whenever the decision is asked for.
class CConsiderateGate : public QObject
{
    Q_OBJECT
public:
    // Seconds without input after which the user counts as away.
    static constexpr int AwayAfterSecs = 120;
    // A reminder waits until the keyboard has been still this long...
    static constexpr int TypingPauseSecs = 5;
    // ...but no longer than this after it was ready.
    static constexpr int TypingWaitSecs = 60;

    // What holds reminders, the first that applies in this order.
    enum class Hold
    {
        None,
        Fullscreen,
        Program,
        Meeting,
        DoNotDisturb,
        KeptAwake,
        Away,
    };

    explicit CConsiderateGate(QObject* parent = nullptr);

    // Each Watch takes the state of its sources now and follows them from then on.
    void Watch(CFullscreenWatcher* fullscreen, CIdleMonitor* idle, CSessionLockMonitor* lock);
    void WatchMeetings(
        CDoNotDisturbWatcher* doNotDisturb, CIdleInhibitWatcher* inhibit, CCameraWatcher* camera, CMicrophoneWatcher* microphone);
    void WatchTyping(CKeyboardWatcher* keyboard);

    Hold CurrentHold() const;
    bool HoldsReminders() const;
    // What holds the reminders, as the rest history keeps it ("fullscreen", "program", "meeting",
    // "dnd", "awake", "away"); empty while nothing does.
    QString HoldReason() const;
    bool IsAway() const;
    // A reminder ready to show since `readySince` waits while the user types.
    bool WaitsForTyping(qint64 readySince);
    // Why a reminder waits, for the user: `held` when the gate holds it, otherwise the typing.
    QString WaitReason(bool held) const;

public slots:
    void SetFullscreenInFront(bool fullscreen);
    void SetProgramInFront(const QStringList& names);
    void SetDoNotDisturb(bool on);
    void SetKeptAwake(bool inhibited);
    void SetCameraInUse(bool inUse);
    void SetRecording(bool recording);
    // The last input was `idleSecs` ago.
    void OnIdleStarted(int idleSecs);
    void OnIdleEnded();
    void SetLocked(bool locked);
    void OnKeyPressed();

signals:
    // The user came back at `returned` (seconds since 1970) after an absence as long as a rest.
    void RestTaken(qint64 returned);

private:
    void AwayFrom(qint64 since);
    void MaybeBack();
    // The chosen program in front, as the user named it; empty when none is.
    QString ChosenProgramInFront() const;

    bool m_fullscreen = false;
    QStringList m_program;
    bool m_doNotDisturb = false;
    bool m_keptAwake = false;
    bool m_camera = false;
    bool m_recording = false;
    bool m_idle = false;
    bool m_locked = false;
    qint64 m_awaySince = 0;

    CKeyboardWatcher* m_keyboard = nullptr;
    // While a reminder waits for the typing: the last key, by the program's clock.
    bool m_typing = false;
    qint64 m_lastKey = 0;
};
