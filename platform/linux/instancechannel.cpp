#include "instancechannel.h"

#include <cerrno>

#include <QElapsedTimer>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QStandardPaths>
#include <QThread>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {
constexpr int kTimeoutMs = 2000;
// How long a later copy waits for the lock holder to start listening, and how often it looks.
constexpr int kClaimWaitMs = 5000;
constexpr int kRetryMs = 20;
// Commands are single words; a peer that sends more than this without a line end is not a copy
// of ours and is cut off before it can fill the program's memory.
constexpr int kMaxLineBytes = 4096;
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
    if (m_server || m_lockFd >= 0)
        return true;
    QElapsedTimer waited;
    waited.start();
    while (!TakeLock()) {
        // The holder may be a copy that took the lock a moment ago and is about to listen.
        if (Send(command) || waited.hasExpired(kClaimWaitMs))
            return false;
        QThread::msleep(kRetryMs);
    }
    Listen();
    return true;
}

bool CInstanceChannel::TakeLock()
{
    const QByteArray path = QFile::encodeName(m_serverName + QStringLiteral(".lock"));
    const int fd = open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    // Without a usable lock file no copy can coordinate; running is better than never starting.
    if (fd < 0)
        return true;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const bool busy = errno == EWOULDBLOCK;
        close(fd);
        return !busy;
    }
    // Held until Release or the end of the process, whichever comes first; the kernel lets go of
    // it for a copy that is killed. The file itself stays: removing it would let a copy that
    // opened it before the removal and one that creates it afresh both hold "the" lock.
    m_lockFd = fd;
    return true;
}

void CInstanceChannel::Listen()
{
    // Only the lock holder gets here, so a socket file left here belongs to a copy that died.
    QLocalServer::removeServer(m_serverName);
    m_server = new QLocalServer(this);
    // Bound in a private folder and moved into place: no other user may send commands, not even
    // for a moment.
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &CInstanceChannel::OnNewConnection);
    if (m_server->listen(m_serverName))
        return;
    // This copy still runs alone; later starts then wait for it in vain and end.
    delete m_server;
    m_server = nullptr;
}

void CInstanceChannel::Release()
{
    if (m_server) {
        m_server->close();
        // Not at once: Release may be asked for by a command that one of its connections is
        // still handing on.
        m_server->deleteLater();
        m_server = nullptr;
    }
    if (m_lockFd >= 0) {
        close(m_lockFd);
        m_lockFd = -1;
    }
}

void CInstanceChannel::OnNewConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        socket->setReadBufferSize(kMaxLineBytes);
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { ReadCommands(socket); });
    }
}

void CInstanceChannel::ReadCommands(QLocalSocket* socket)
{
    const QPointer<QLocalSocket> alive(socket);
    while (socket->canReadLine()) {
        const QByteArray command = socket->readLine().trimmed();
        if (!command.isEmpty())
            emit CommandReceived(command);
        // Whoever heard the command may have let the channel, and this connection, go.
        if (!alive)
            return;
    }
    if (socket->bytesAvailable() >= kMaxLineBytes)
        socket->abort();
}
