#include "instancechannel.h"

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstring>

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QStandardPaths>
#include <QThread>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {
// A later copy hands its request over, or gives up, within this.
constexpr int kClaimMs = 1000;
constexpr int kRetryMs = 20;
// Requests are short lines; a peer that sends more than this without a line end is no copy of
// ours and is cut off before it can fill the program's memory.
constexpr int kMaxLineBytes = 4096;

int RemainingMs(const QDeadlineTimer& deadline)
{
    return int(qMax<qint64>(0, deadline.remainingTime()));
}

// Why the file at `path` cannot serve, in words for the log; `error` is the failed call's errno,
// or 0 when nothing failed but the file is in the way.
QString WhyUnusable(const QByteArray& path, int error)
{
    struct stat info {};
    if (lstat(path.constData(), &info) == 0) {
        if (S_ISDIR(info.st_mode))
            return QStringLiteral("it is a directory");
        if (S_ISLNK(info.st_mode))
            return QStringLiteral("it is a symbolic link");
        if (S_ISFIFO(info.st_mode))
            return QStringLiteral("it is a named pipe");
        if (S_ISSOCK(info.st_mode))
            return QStringLiteral("it is a socket");
        if (!S_ISREG(info.st_mode))
            return QStringLiteral("it is a device");
        if (info.st_uid != geteuid())
            return QStringLiteral("it belongs to user %1").arg(info.st_uid);
        if (error == 0)
            return QStringLiteral("it is a file");
    }
    return QString::fromLocal8Bit(strerror(error));
}

void ReportLockStandIn(const QByteArray& path, const QString& why)
{
    qWarning("The single-instance lock %s cannot be used (%s): a lock without a file stands in for it.",
        path.constData(), qPrintable(why));
}
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

bool CInstanceChannel::Send(const QByteArray& command, QByteArray* answer) const
{
    return SendBefore(command, QDeadlineTimer(kClaimMs), answer);
}

bool CInstanceChannel::SendBefore(const QByteArray& command, const QDeadlineTimer& deadline, QByteArray* answer) const
{
    QLocalSocket socket;
    // Whatever the other end sends back, the wait stays within the deadline: with its read
    // buffer full, the socket waits for nothing but the write.
    socket.setReadBufferSize(kMaxLineBytes);
    socket.connectToServer(m_serverName);
    if (!socket.waitForConnected(RemainingMs(deadline)))
        return false;
    socket.write(command + '\n');
    const bool sent = socket.waitForBytesWritten(RemainingMs(deadline));
    if (sent && answer) {
        while (!socket.canReadLine() && socket.bytesAvailable() < kMaxLineBytes
            && socket.waitForReadyRead(RemainingMs(deadline))) {
        }
        *answer = socket.canReadLine() ? socket.readLine().trimmed() : QByteArray();
    }
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(RemainingMs(deadline));
    return sent;
}

bool CInstanceChannel::Claim(const QByteArray& command, QByteArray* answer)
{
    if (m_server || m_lockFd >= 0 || m_nameLockFd >= 0)
        return true;
    const QDeadlineTimer deadline(kClaimMs);
    Lock file = TakeFileLock();
    while (file == Lock::Busy) {
        // The holder may be a copy that took the lock a moment ago and is about to listen.
        if (SendBefore(command, deadline, answer))
            return false;
        if (deadline.hasExpired()) {
            ReportLockStandIn(QFile::encodeName(m_serverName + QStringLiteral(".lock")),
                QStringLiteral("a process that does not answer holds it"));
            file = Lock::Unusable;
        } else {
            QThread::msleep(kRetryMs);
            file = TakeFileLock();
        }
    }
    while (!TakeNameLock()) {
        if (SendBefore(command, deadline, answer)) {
            ReleaseLocks();
            return false;
        }
        if (deadline.hasExpired()) {
            // Nothing that holds the name answers, so it is no copy of ours: with the file lock
            // this copy is first all the same.
            if (file == Lock::Taken)
                break;
            return false;
        }
        QThread::msleep(kRetryMs);
    }
    Listen();
    return true;
}

CInstanceChannel::Lock CInstanceChannel::TakeFileLock()
{
    const QByteArray path = QFile::encodeName(m_serverName + QStringLiteral(".lock"));
    // The lock is a plain file of ours or nothing: a link is not followed, and a named pipe does
    // not hold the open.
    const int fd = open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
    if (fd < 0) {
        ReportLockStandIn(path, WhyUnusable(path, errno));
        return Lock::Unusable;
    }
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        const int error = errno;
        close(fd);
        ReportLockStandIn(path, WhyUnusable(path, error));
        return Lock::Unusable;
    }
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        close(fd);
        if (error == EWOULDBLOCK)
            return Lock::Busy;
        ReportLockStandIn(path, WhyUnusable(path, error));
        return Lock::Unusable;
    }
    // Held until Release or the end of the process, whichever comes first; the kernel lets go of
    // it for a copy that is killed. The file itself stays: removing it would let a copy that
    // opened it before the removal and one that creates it afresh both hold "the" lock.
    m_lockFd = fd;
    return Lock::Taken;
}

bool CInstanceChannel::TakeNameLock()
{
    // An abstract name lives in the kernel alone, bound as long as its socket is open, and one
    // set of names serves every user: the name carries a digest of the lock file's path, which
    // lies in the user's own runtime folder.
    const QByteArray lockPath = QFile::encodeName(m_serverName + QStringLiteral(".lock"));
    const QByteArray name = QFile::encodeName(QFileInfo(m_serverName).fileName()) + ".lock."
        + QCryptographicHash::hash(lockPath, QCryptographicHash::Sha1).toHex();
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const size_t length = qMin(size_t(name.size()), sizeof address.sun_path - 1);
    memcpy(address.sun_path + 1, name.constData(), length);

    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd >= 0 && bind(fd, reinterpret_cast<const sockaddr*>(&address), socklen_t(offsetof(sockaddr_un, sun_path) + 1 + length)) == 0) {
        m_nameLockFd = fd;
        return true;
    }
    const int error = errno;
    if (fd >= 0)
        close(fd);
    if (error == EADDRINUSE)
        return false;
    qWarning("The single-instance name lock cannot be taken (%s).", strerror(error));
    return true;
}

void CInstanceChannel::ReleaseLocks()
{
    for (int* fd : {&m_lockFd, &m_nameLockFd}) {
        if (*fd >= 0)
            close(*fd);
        *fd = -1;
    }
}

void CInstanceChannel::Listen()
{
    if (!ClearSocketPath())
        return;
    m_server = new QLocalServer(this);
    // Bound in a private folder and moved into place: no other user may send requests, not even
    // for a moment. The move replaces a socket that a copy which died left behind.
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &CInstanceChannel::OnNewConnection);
    if (m_server->listen(m_serverName))
        return;
    // This copy still runs alone; later starts then give up on waking it.
    qWarning("The single-instance socket %s cannot listen (%s): later starts cannot wake this copy.",
        qPrintable(m_serverName), qPrintable(m_server->errorString()));
    delete m_server;
    m_server = nullptr;
}

bool CInstanceChannel::ClearSocketPath() const
{
    const QByteArray path = QFile::encodeName(m_serverName);
    struct stat info {};
    // Only the lock holder gets here, so a socket there belongs to a copy that died.
    if (lstat(path.constData(), &info) != 0 || S_ISSOCK(info.st_mode))
        return true;
    // Anything else is not ours to delete, and would keep later starts from reaching this copy.
    const QString why = WhyUnusable(path, 0);
    const QByteArray aside = path + ".moved-" + QByteArray::number(qint64(getpid()));
    if (renameat2(AT_FDCWD, path.constData(), AT_FDCWD, aside.constData(), RENAME_NOREPLACE) == 0) {
        qWarning("The single-instance socket %s was in the way (%s): moved to %s.", path.constData(),
            qPrintable(why), aside.constData());
        return true;
    }
    // Not listening at all: Qt's server would move its socket over a file there, and remove the
    // file when it fails.
    qWarning("The single-instance socket %s is in the way (%s) and cannot be moved (%s): later starts cannot wake "
             "this copy.",
        path.constData(), qPrintable(why), strerror(errno));
    return false;
}

void CInstanceChannel::Release()
{
    if (m_server) {
        m_server->close();
        // Not at once: Release may be asked for by a request that one of its connections is
        // still handing on.
        m_server->deleteLater();
        m_server = nullptr;
    }
    ReleaseLocks();
}

void CInstanceChannel::OnNewConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        // A line longer than this never ends in the buffer, and the connection is cut.
        socket->setReadBufferSize(kMaxLineBytes);
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { ReadRequests(socket); });
    }
}

void CInstanceChannel::Answer(const QByteArray& line)
{
    if (!m_asking)
        return;
    // One line, as the asking copy reads it: a line end inside would cut the answer short.
    QByteArray answer = line.left(kMaxLineBytes - 1);
    answer.replace('\n', ' ');
    m_asking->write(answer + '\n');
}

void CInstanceChannel::ReadRequests(QLocalSocket* socket)
{
    const QPointer<QLocalSocket> alive(socket);
    while (socket->canReadLine()) {
        const QByteArray request = socket->readLine().trimmed();
        if (!request.isEmpty()) {
            m_asking = socket;
            emit CommandReceived(request);
            m_asking = nullptr;
        }
        // Whoever heard the request may have let the channel, and this connection, go.
        if (!alive || !m_server)
            return;
    }
    if (socket->bytesAvailable() >= kMaxLineBytes)
        socket->abort();
}
