#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QVariantMap>

// Tells whether the user's session is locked, as the session manager (logind) announces it: its
// Lock and Unlock signals and its LockedHint, which the screen locker sets. Without a session
// manager to ask, the session never counts as locked.
class CSessionLockMonitor : public QObject
{
    Q_OBJECT
public:
    explicit CSessionLockMonitor(QObject* parent = nullptr);
    // Asks the session manager on `bus` instead of the system bus.
    CSessionLockMonitor(const QDBusConnection& bus, QObject* parent = nullptr);

    bool IsAvailable() const;
    bool IsLocked() const;

signals:
    void LockedChanged(bool locked);

private slots:
    void OnLock();
    void OnUnlock();
    void OnPropertiesChanged(const QString& interface, const QVariantMap& changed, const QStringList& invalidated);

private:
    QString FindSession() const;
    void ReadLockedHint();
    void SetLocked(bool locked);

    QDBusConnection m_bus;
    QString m_session;
    bool m_locked = false;
};
