#include "instancechannel.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

namespace {
constexpr int kTimeoutMs = 2000;
}

CInstanceChannel::CInstanceChannel(const QString& name, QObject* parent)
    : QObject(parent)
    , m_serverName(QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) + '/' + name)
{
}

CInstanceChannel::~CInstanceChannel()
{
    Release();
}

QString CInstanceChannel::ServerName() const
{
    return m_serverName;
}

bool CInstanceChannel::Send(const QByteArray& command) const
{
    QLocalSocket socket;
    socket.connectToServer(m_serverName);
    if (!socket.waitForConnected(kTimeoutMs))
        return false;
    socket.write(command + '\n');
    const bool sent = socket.waitForBytesWritten(kTimeoutMs);
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(kTimeoutMs);
    return sent;
}

bool CInstanceChannel::Claim(const QByteArray& command)
{
    if (m_server)
        return true;
    if (Send(command))
        return false;
    // Nobody answered, so a socket file left here belongs to a copy that died.
    QLocalServer::removeServer(m_serverName);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &CInstanceChannel::OnNewConnection);
    if (!m_server->listen(m_serverName)) {
        // Another copy won the race between our connect and our listen: let it run alone.
        delete m_server;
        m_server = nullptr;
        return !Send(command);
    }
    return true;
}

void CInstanceChannel::Release()
{
    if (!m_server)
        return;
    m_server->close();
    delete m_server;
    m_server = nullptr;
}

void CInstanceChannel::OnNewConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            while (socket->canReadLine()) {
                const QByteArray command = socket->readLine().trimmed();
                if (!command.isEmpty())
                    emit CommandReceived(command);
            }
        });
    }
}
