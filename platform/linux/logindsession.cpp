#include "logindsession.h"

#include <QCoreApplication>

namespace LogindSession {
QList<QDBusMessage> Questions()
{
    auto ask = [](const QString& method, const QVariant& argument) {
        QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.login1"),
            QStringLiteral("/org/freedesktop/login1"), QStringLiteral("org.freedesktop.login1.Manager"), method);
        call << argument;
        return call;
    };
    QList<QDBusMessage> questions;
    const QString id = qEnvironmentVariable("XDG_SESSION_ID");
    if (!id.isEmpty())
        questions << ask(QStringLiteral("GetSession"), id);
    questions << ask(QStringLiteral("GetSessionByPID"), quint32(QCoreApplication::applicationPid()));
    questions << ask(QStringLiteral("GetSession"), QStringLiteral("auto"));
    return questions;
}

bool NoSessionManager(const QDBusError& error)
{
    return error.type() == QDBusError::ServiceUnknown || error.type() == QDBusError::NoReply;
}
}
