#include "busflag.h"

#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QDBusVariant>

CBusFlag::CBusFlag(
    const QDBusConnection& bus, const QDBusMessage& question, Reading reading, bool startService, QObject* parent)
    : QObject(parent)
    , m_bus(bus)
    , m_question(question)
    , m_reading(std::move(reading))
{
    m_question.setAutoStartService(startService);
    auto* watcher = new QDBusServiceWatcher(question.service(), m_bus,
        QDBusServiceWatcher::WatchForRegistration | QDBusServiceWatcher::WatchForUnregistration, this);
    connect(watcher, &QDBusServiceWatcher::serviceRegistered, this, &CBusFlag::Ask);
    connect(watcher, &QDBusServiceWatcher::serviceUnregistered, this, &CBusFlag::OnServiceGone);
    // A service that is not there answers with an error, which leaves the state at no.
    Ask();
}

bool CBusFlag::IsOn() const
{
    return m_on;
}

void CBusFlag::Set(bool on)
{
    if (on == m_on)
        return;
    m_on = on;
    emit Changed(on);
}

void CBusFlag::Ask()
{
    // Asked without waiting: a service that hangs must not hold up the program.
    auto* call = new QDBusPendingCallWatcher(m_bus.asyncCall(m_question), this);
    connect(call, &QDBusPendingCallWatcher::finished, this, &CBusFlag::OnAnswer);
}

void CBusFlag::OnAnswer(QDBusPendingCallWatcher* call)
{
    call->deleteLater();
    const QDBusMessage reply = call->reply();
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return;
    QVariant value = reply.arguments().first();
    if (value.canConvert<QDBusVariant>())
        value = value.value<QDBusVariant>().variant();
    Set(m_reading(value));
}

void CBusFlag::OnServiceGone()
{
    Set(false);
}
