#include "sessionlockmonitor.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QDBusVariant>

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
    // The session the desktop was started in names itself; a program started outside it (by a
    // service manager, say) finds it through its own process, and last through logind's own pick.
    auto ask = [](const QString& method, const QVariant& argument) {
        QDBusMessage call = QDBusMessage::createMethodCall(kLogin, kManagerPath, kManager, method);
        call << argument;
        return call;
    };
    QList<QDBusMessage> asks;
    const QString id = qEnvironmentVariable("XDG_SESSION_ID");
    if (!id.isEmpty())
        asks << ask(QStringLiteral("GetSession"), id);
    asks << ask(QStringLiteral("GetSessionByPID"), quint32(QCoreApplication::applicationPid()));
    asks << ask(QStringLiteral("GetSession"), QStringLiteral("auto"));
    for (const QDBusMessage& call : qAsConst(asks)) {
        const QDBusReply<QDBusObjectPath> reply = m_bus.call(call, QDBus::Block, kCallTimeoutMs);
        if (reply.isValid())
            return reply.value().path();
        // No session manager at all: the other questions would fail the same way.
        if (reply.error().type() == QDBusError::ServiceUnknown || reply.error().type() == QDBusError::NoReply)
            break;
    }
    return QString();
}

void CSessionLockMonitor::ReadLockedHint()
{
    QDBusMessage get = QDBusMessage::createMethodCall(kLogin, m_session, kProperties, QStringLiteral("Get"));
    get << kSession << kLockedHint;
    const QDBusReply<QDBusVariant> reply = m_bus.call(get, QDBus::Block, kCallTimeoutMs);
    if (reply.isValid())
        SetLocked(reply.value().variant().toBool());
}

void CSessionLockMonitor::OnLock()
{
    SetLocked(true);
}

void CSessionLockMonitor::OnUnlock()
{
    SetLocked(false);
}

void CSessionLockMonitor::OnPropertiesChanged(
    const QString& interface, const QVariantMap& changed, const QStringList& invalidated)
{
    if (interface != kSession)
        return;
    if (changed.contains(kLockedHint))
        SetLocked(changed.value(kLockedHint).toBool());
    else if (invalidated.contains(kLockedHint))
        ReadLockedHint();
}

void CSessionLockMonitor::SetLocked(bool locked)
{
    if (locked == m_locked)
        return;
    m_locked = locked;
    emit LockedChanged(locked);
}
