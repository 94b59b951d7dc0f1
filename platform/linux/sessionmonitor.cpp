#include "sessionmonitor.h"

#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

#include <unistd.h>

namespace {
const QString kService = QStringLiteral("org.freedesktop.login1");
const QString kSessionInterface = QStringLiteral("org.freedesktop.login1.Session");
const QString kActive = QStringLiteral("Active");
}

CSessionMonitor::CSessionMonitor(QObject* parent)
    : QObject(parent)
{
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected())
        return;
    QDBusMessage call = QDBusMessage::createMethodCall(kService, QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("GetSessionByPID"));
    call << quint32(::getpid());
    // Asked without waiting: a slow session manager must not hold up the start.
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher] {
        watcher->deleteLater();
        const QDBusPendingReply<QDBusObjectPath> session = *watcher;
        if (session.isError())
            return;
        QDBusConnection::systemBus().connect(kService, session.value().path(),
            QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("PropertiesChanged"), this,
            SLOT(OnPropertiesChanged(QString, QVariantMap, QStringList)));
    });
}

void CSessionMonitor::OnPropertiesChanged(
    const QString& interfaceName, const QVariantMap& changed, const QStringList& invalidated)
{
    if (interfaceName != kSessionInterface)
        return;
    // A change announced without its value may be the activation too; a needless report only
    // writes the tint once more.
    if (changed.value(kActive).toBool() || invalidated.contains(kActive))
        emit Activated();
}
