#include "PrivateBus.h"

CPrivateBus::CPrivateBus()
{
    m_daemon.start(QStringLiteral("dbus-daemon"),
        {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address=1")});
    while (!m_daemon.canReadLine() && m_daemon.waitForReadyRead(5000)) {
    }
    m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
    m_thread.start();
}

CPrivateBus::~CPrivateBus()
{
    for (const QString& name : qAsConst(m_connections))
        QDBusConnection::disconnectFromBus(name);
    m_thread.quit();
    m_thread.wait();
    m_daemon.terminate();
    m_daemon.waitForFinished();
}

QString CPrivateBus::Address() const
{
    return m_address;
}

QDBusConnection CPrivateBus::Connect(const QString& name)
{
    m_connections << name;
    return QDBusConnection::connectToBus(m_address, name);
}

bool CPrivateBus::Serve(const QString& service, const QList<QPair<QString, QObject*>>& objects)
{
    QDBusConnection connection = Connect(service);
    bool served = connection.isConnected();
    for (const auto& object : objects) {
        served &= connection.registerObject(object.first, object.second, QDBusConnection::ExportAllContents);
        object.second->moveToThread(&m_thread);
        QObject::connect(&m_thread, &QThread::finished, object.second, &QObject::deleteLater);
    }
    return connection.registerService(service) && served;
}
