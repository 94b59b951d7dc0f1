#pragma once

#include <QObject>
#include <QString>

class CFullscreenWatcher;
class CIdleMonitor;
class CSessionLockMonitor;

// Decides whether a reminder that falls due waits: while a full-screen program is in front, and
// while the user is away (no input for a while) or the session is locked. An absence at least as
// long as a rest counts as the rest. Each of the two holds has its switch in the configuration
// file, read whenever the decision is asked for.
class CConsiderateGate : public QObject
{
    Q_OBJECT
public:
    // Seconds without input after which the user counts as away.
    static constexpr int AwayAfterSecs = 120;

    explicit CConsiderateGate(QObject* parent = nullptr);

    // Takes the state of each source now and follows it from then on.
    void Watch(CFullscreenWatcher* fullscreen, CIdleMonitor* idle, CSessionLockMonitor* lock);

    bool HoldsReminders() const;
    // What holds the reminders ("fullscreen", "away"); empty while nothing does.
    QString HoldReason() const;
    bool IsAway() const;

public slots:
    void SetFullscreenInFront(bool fullscreen);
    // The last input was `idleSecs` ago.
    void OnIdleStarted(int idleSecs);
    void OnIdleEnded();
    void SetLocked(bool locked);

signals:
    // The user came back at `returned` (seconds since 1970) after an absence as long as a rest.
    void RestTaken(qint64 returned);

private:
    void AwayFrom(qint64 since);
    void MaybeBack();

    bool m_fullscreen = false;
    bool m_idle = false;
    bool m_locked = false;
    qint64 m_awaySince = 0;
};
