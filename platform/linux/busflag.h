#pragma once

#include <functional>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>

class QDBusPendingCallWatcher;

// A yes-or-no state that a service on the session bus publishes: asked for when the service is
// there or comes, taken from its change signals meanwhile, and no while the service is gone. The
// service is never started for the asking unless `startService`: a desktop's own service may
// be, another desktop's is left alone.
class CBusFlag : public QObject
{
    Q_OBJECT
public:
    // Turns the first value of the reply to `question` into the state.
    using Reading = std::function<bool(const QVariant& value)>;

    CBusFlag(const QDBusConnection& bus, const QDBusMessage& question, Reading reading, bool startService,
        QObject* parent);

    bool IsOn() const;
    // The state as a change signal of the service tells it.
    void Set(bool on);

signals:
    void Changed(bool on);

private slots:
    void Ask();
    void OnAnswer(QDBusPendingCallWatcher* call);
    void OnServiceGone();

private:
    QDBusConnection m_bus;
    QDBusMessage m_question;
    Reading m_reading;
    bool m_on = false;
};
