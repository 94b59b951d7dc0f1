#include "sessionmonitor.h"

#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

#include "logindsession.h"

namespace {
const QString kService = QStringLiteral("org.freedesktop.login1");
const QString kSessionInterface = QStringLiteral("org.freedesktop.login1.Session");
const QString kActive = QStringLiteral("Active");
}

CSessionMonitor::CSessionMonitor(QObject* parent)
    : QObject(parent)
{
    if (QDBusConnection::systemBus().isConnected())
        Ask(LogindSession::Questions());
}

// One question after the other, without waiting: a slow session manager must not hold up the
// start.
void CSessionMonitor::Ask(QList<QDBusMessage> questions)
{
    if (questions.isEmpty())
        return;
    auto* watcher = new QDBusPendingCallWatcher(QDBusConnection::systemBus().asyncCall(questions.takeFirst()), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher, questions] {
        watcher->deleteLater();
        const QDBusPendingReply<QDBusObjectPath> session = *watcher;
        if (session.isError()) {
            if (!LogindSession::NoSessionManager(session.error()))
                Ask(questions);
            return;
        }
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
