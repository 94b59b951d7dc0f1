#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QVariantMap>

class CIdleMonitor;

// Tells whether the user's session is locked, as the session manager (logind) announces it: its
// LockedHint, which a screen locker that tells logind sets and clears, and its Lock and Unlock
// signals. A Lock with no hint behind it lasts until Unlock or, since many lockers never send one,
// until the user's next input. Without a session manager to ask, the session never counts as
// locked.
class CSessionLockMonitor : public QObject
{
    Q_OBJECT
public:
    explicit CSessionLockMonitor(QObject* parent = nullptr);
    // Asks the session manager on `bus` instead of the system bus.
    CSessionLockMonitor(const QDBusConnection& bus, QObject* parent = nullptr);

    bool IsAvailable() const;
    bool IsLocked() const;
    // Ends a Lock that has no LockedHint behind it at the next input `idle` sees.
    void EndLockOnInputFrom(CIdleMonitor* idle);

signals:
    void LockedChanged(bool locked);

private slots:
    void OnLock();
    void OnUnlock();
    void OnInput();
    void OnPropertiesChanged(const QString& interface, const QVariantMap& changed, const QStringList& invalidated);

private:
    QString FindSession() const;
    void ReadLockedHint();
    void SetLockedHint(bool locked);
    void Update();

    QDBusConnection m_bus;
    QString m_session;
    CIdleMonitor* m_input = nullptr;
    bool m_lockedHint = false;
    bool m_lockSignalled = false;
    bool m_locked = false;
};
