#include "sessionlockmonitor.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QDBusVariant>

#include "idlemonitor.h"
#include "logindsession.h"

namespace {
const QString kLogin = QStringLiteral("org.freedesktop.login1");
const QString kManagerPath = QStringLiteral("/org/freedesktop/login1");
const QString kManager = QStringLiteral("org.freedesktop.login1.Manager");
const QString kSession = QStringLiteral("org.freedesktop.login1.Session");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");
const QString kLockedHint = QStringLiteral("LockedHint");
// A session manager that does not answer must not hold up the start for long.
constexpr int kCallTimeoutMs = 2000;
}

CSessionLockMonitor::CSessionLockMonitor(QObject* parent)
    : CSessionLockMonitor(QDBusConnection::systemBus(), parent)
{
}

CSessionLockMonitor::CSessionLockMonitor(const QDBusConnection& bus, QObject* parent)
    : QObject(parent)
    , m_bus(bus)
{
    if (!m_bus.isConnected())
        return;
    m_session = FindSession();
    if (m_session.isEmpty())
        return;
    m_bus.connect(kLogin, m_session, kSession, QStringLiteral("Lock"), this, SLOT(OnLock()));
    m_bus.connect(kLogin, m_session, kSession, QStringLiteral("Unlock"), this, SLOT(OnUnlock()));
    m_bus.connect(kLogin, m_session, kProperties, QStringLiteral("PropertiesChanged"), this,
        SLOT(OnPropertiesChanged(QString, QVariantMap, QStringList)));
    ReadLockedHint();
}

bool CSessionLockMonitor::IsAvailable() const
{
    return !m_session.isEmpty();
}

bool CSessionLockMonitor::IsLocked() const
{
    return m_locked;
}

QString CSessionLockMonitor::FindSession() const
{
    for (const QDBusMessage& call : LogindSession::Questions()) {
        const QDBusReply<QDBusObjectPath> reply = m_bus.call(call, QDBus::Block, kCallTimeoutMs);
        if (reply.isValid())
            return reply.value().path();
        if (LogindSession::NoSessionManager(reply.error()))
            break;
    }
    return QString();
}

void CSessionLockMonitor::EndLockOnInputFrom(CIdleMonitor* idle)
{
    m_input = idle;
    connect(idle, &CIdleMonitor::InputSeen, this, &CSessionLockMonitor::OnInput);
}

void CSessionLockMonitor::ReadLockedHint()
{
    QDBusMessage get = QDBusMessage::createMethodCall(kLogin, m_session, kProperties, QStringLiteral("Get"));
    get << kSession << kLockedHint;
    const QDBusReply<QDBusVariant> reply = m_bus.call(get, QDBus::Block, kCallTimeoutMs);
    if (reply.isValid())
        SetLockedHint(reply.value().variant().toBool());
}

void CSessionLockMonitor::OnLock()
{
    m_lockSignalled = true;
    // A locker that never tells logind it is gone (xss-lock with i3lock) leaves no Unlock behind:
    // the user's input is all there is to end the lock with.
    if (m_input && !m_lockedHint)
        m_input->WatchNextInput();
    Update();
}

void CSessionLockMonitor::OnUnlock()
{
    // Whatever locked the session is told to end; a hint still set comes again as a change.
    m_lockSignalled = false;
    m_lockedHint = false;
    Update();
}

void CSessionLockMonitor::OnInput()
{
    // A locker that keeps the hint says itself when it is gone.
    if (m_lockedHint)
        return;
    m_lockSignalled = false;
    Update();
}

void CSessionLockMonitor::OnPropertiesChanged(
    const QString& interface, const QVariantMap& changed, const QStringList& invalidated)
{
    if (interface != kSession)
        return;
    if (changed.contains(kLockedHint))
        SetLockedHint(changed.value(kLockedHint).toBool());
    else if (invalidated.contains(kLockedHint))
        ReadLockedHint();
}

void CSessionLockMonitor::SetLockedHint(bool locked)
{
    m_lockedHint = locked;
    // The locker that set the hint has cleared it: whatever Lock came before is over too.
    if (!locked)
        m_lockSignalled = false;
    Update();
}

void CSessionLockMonitor::Update()
{
    const bool locked = m_lockedHint || m_lockSignalled;
    if (locked == m_locked)
        return;
    m_locked = locked;
    emit LockedChanged(locked);
}
