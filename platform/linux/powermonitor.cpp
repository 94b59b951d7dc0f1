#include "powermonitor.h"

#include <QDBusConnection>

CPowerMonitor::CPowerMonitor(QObject* parent)
    : QObject(parent)
{
    QDBusConnection::systemBus().connect(QStringLiteral("org.freedesktop.login1"),
        QStringLiteral("/org/freedesktop/login1"), QStringLiteral("org.freedesktop.login1.Manager"),
        QStringLiteral("PrepareForSleep"), this, SLOT(OnPrepareForSleep(bool)));
}

void CPowerMonitor::OnPrepareForSleep(bool sleeping)
{
    if (sleeping)
        emit Suspending();
    else
        emit Resumed();
}
