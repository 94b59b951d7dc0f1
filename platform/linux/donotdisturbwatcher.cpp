#include "donotdisturbwatcher.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>

#include "busflag.h"
#include "desktopsession.h"
#include "gnomebanners.h"

namespace {
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");

const QString kNotifications = QStringLiteral("org.freedesktop.Notifications");
const QString kNotificationsPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInhibited = QStringLiteral("Inhibited");

const QString kXfconf = QStringLiteral("org.xfce.Xfconf");
const QString kXfconfPath = QStringLiteral("/org/xfce/Xfconf");
const QString kNotifydChannel = QStringLiteral("xfce4-notifyd");
const QString kDoNotDisturb = QStringLiteral("/do-not-disturb");

bool ReadBool(const QVariant& value)
{
    return value.toBool();
}
}

CDoNotDisturbWatcher::CDoNotDisturbWatcher(QObject* parent)
    : QObject(parent)
{
    // GIO is opened only in a GNOME session: nowhere else does anyone read GNOME's setting.
    if (DesktopSession::Is(QStringLiteral("GNOME")))
        m_gnome = std::make_unique<CGnomeBanners>([this](bool) { Update(); });

    QDBusConnection bus = QDBusConnection::sessionBus();
    QDBusMessage inhibited
        = QDBusMessage::createMethodCall(kNotifications, kNotificationsPath, kProperties, QStringLiteral("Get"));
    inhibited << kNotifications << kInhibited;
    // The notification service is started by the first notification of any program, not by us.
    m_notifications = new CBusFlag(bus, inhibited, ReadBool, false, this);
    bus.connect(kNotifications, kNotificationsPath, kProperties, QStringLiteral("PropertiesChanged"), this,
        SLOT(OnNotificationsChanged(QString, QVariantMap, QStringList)));

    QDBusMessage property = QDBusMessage::createMethodCall(kXfconf, kXfconfPath, kXfconf, QStringLiteral("GetProperty"));
    property << kNotifydChannel << kDoNotDisturb;
    m_xfce = new CBusFlag(bus, property, ReadBool, DesktopSession::Is(QStringLiteral("XFCE")), this);
    bus.connect(kXfconf, kXfconfPath, kXfconf, QStringLiteral("PropertyChanged"), this,
        SLOT(OnXfconfChanged(QString, QString, QDBusVariant)));
    bus.connect(kXfconf, kXfconfPath, kXfconf, QStringLiteral("PropertyRemoved"), this,
        SLOT(OnXfconfRemoved(QString, QString)));

    for (CBusFlag* flag : {m_notifications, m_xfce})
        connect(flag, &CBusFlag::Changed, this, &CDoNotDisturbWatcher::Update);
    Update();
}

CDoNotDisturbWatcher::~CDoNotDisturbWatcher() = default;

bool CDoNotDisturbWatcher::IsOn() const
{
    return m_on;
}

void CDoNotDisturbWatcher::OnNotificationsChanged(
    const QString& interface, const QVariantMap& changed, const QStringList&)
{
    if (interface == kNotifications && changed.contains(kInhibited))
        m_notifications->Set(changed.value(kInhibited).toBool());
}

void CDoNotDisturbWatcher::OnXfconfChanged(const QString& channel, const QString& property, const QDBusVariant& value)
{
    if (channel == kNotifydChannel && property == kDoNotDisturb)
        m_xfce->Set(value.variant().toBool());
}

void CDoNotDisturbWatcher::OnXfconfRemoved(const QString& channel, const QString& property)
{
    if (channel == kNotifydChannel && property == kDoNotDisturb)
        m_xfce->Set(false);
}

void CDoNotDisturbWatcher::Update()
{
    const bool on = (m_gnome && m_gnome->IsDoNotDisturb()) || m_notifications->IsOn() || m_xfce->IsOn();
    if (on == m_on)
        return;
    m_on = on;
    emit DoNotDisturbChanged(on);
}
