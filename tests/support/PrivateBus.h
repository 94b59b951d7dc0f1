#pragma once

#include <QDBusConnection>
#include <QList>
#include <QPair>
#include <QProcess>
#include <QStringList>
#include <QThread>

class QObject;

// A message bus of the test's own. The stand-ins for the desktop's services answer from a thread
// of their own: the program asks them with blocking calls from the test's thread.
class CPrivateBus
{
public:
    CPrivateBus();
    ~CPrivateBus();

    QString Address() const;
    QDBusConnection Connect(const QString& name);
    // Puts the objects on the bus at their paths under the service's name; the bus owns them.
    bool Serve(const QString& service, const QList<QPair<QString, QObject*>>& objects);

private:
    QProcess m_daemon;
    QThread m_thread;
    QString m_address;
    QStringList m_connections;
};
