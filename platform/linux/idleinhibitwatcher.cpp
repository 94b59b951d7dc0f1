#include "idleinhibitwatcher.h"

#include <QDBusConnection>
#include <QDBusMessage>

#include "busflag.h"

namespace {
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");

const QString kSessionManager = QStringLiteral("org.gnome.SessionManager");
const QString kSessionManagerPath = QStringLiteral("/org/gnome/SessionManager");
const QString kInhibitedActions = QStringLiteral("InhibitedActions");
// GSM_INHIBITOR_FLAG_IDLE: the session must not be marked idle.
constexpr uint kIdleFlag = 8;

const QString kPowerManagement = QStringLiteral("org.freedesktop.PowerManagement");
const QString kInhibitPath = QStringLiteral("/org/freedesktop/PowerManagement/Inhibit");
const QString kInhibit = QStringLiteral("org.freedesktop.PowerManagement.Inhibit");

bool IdleInhibited(const QVariant& actions)
{
    return (actions.toUInt() & kIdleFlag) != 0;
}
}

CIdleInhibitWatcher::CIdleInhibitWatcher(QObject* parent)
    : QObject(parent)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    QDBusMessage actions
        = QDBusMessage::createMethodCall(kSessionManager, kSessionManagerPath, kProperties, QStringLiteral("Get"));
    actions << kSessionManager << kInhibitedActions;
    m_gnome = new CBusFlag(bus, actions, IdleInhibited, false, this);
    bus.connect(kSessionManager, kSessionManagerPath, kProperties, QStringLiteral("PropertiesChanged"), this,
        SLOT(OnSessionChanged(QString, QVariantMap, QStringList)));

    const QDBusMessage hasInhibit
        = QDBusMessage::createMethodCall(kPowerManagement, kInhibitPath, kInhibit, QStringLiteral("HasInhibit"));
    m_powerManager = new CBusFlag(bus, hasInhibit, [](const QVariant& value) { return value.toBool(); }, false, this);
    bus.connect(kPowerManagement, kInhibitPath, kInhibit, QStringLiteral("HasInhibitChanged"), this,
        SLOT(OnHasInhibitChanged(bool)));

    for (CBusFlag* flag : {m_gnome, m_powerManager})
        connect(flag, &CBusFlag::Changed, this, &CIdleInhibitWatcher::Update);
}

bool CIdleInhibitWatcher::IsInhibited() const
{
    return m_inhibited;
}

void CIdleInhibitWatcher::OnSessionChanged(const QString& interface, const QVariantMap& changed, const QStringList&)
{
    if (interface == kSessionManager && changed.contains(kInhibitedActions))
        m_gnome->Set(IdleInhibited(changed.value(kInhibitedActions)));
}

void CIdleInhibitWatcher::OnHasInhibitChanged(bool inhibited)
{
    m_powerManager->Set(inhibited);
}

void CIdleInhibitWatcher::Update()
{
    const bool inhibited = m_gnome->IsOn() || m_powerManager->IsOn();
    if (inhibited == m_inhibited)
        return;
    m_inhibited = inhibited;
    emit InhibitedChanged(inhibited);
}
