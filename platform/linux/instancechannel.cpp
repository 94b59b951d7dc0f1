#include "instancechannel.h"

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <functional>

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QThread>

#include <fcntl.h>
#include <poll.h>
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

bool FillAddress(const QString& serverName, sockaddr_un* address)
{
    const QByteArray path = QFile::encodeName(serverName);
    if (path.isEmpty() || size_t(path.size()) >= sizeof address->sun_path) {
        errno = ENAMETOOLONG;
        return false;
    }
    *address = sockaddr_un{};
    address->sun_family = AF_UNIX;
    memcpy(address->sun_path, path.constData(), size_t(path.size()));
    return true;
}

bool ConnectBefore(int fd, const sockaddr_un& address, const QDeadlineTimer& deadline)
{
    for (;;) {
        if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0)
            return true;
        // A local socket refuses at once or is busy only while its backlog is full.
        if ((errno != EAGAIN && errno != EINTR) || deadline.hasExpired())
            return false;
        QThread::msleep(kRetryMs);
    }
}

bool WriteBefore(int fd, QByteArray bytes, const QDeadlineTimer& deadline)
{
    while (!bytes.isEmpty()) {
        const ssize_t written = send(fd, bytes.constData(), size_t(bytes.size()), MSG_NOSIGNAL);
        if (written > 0) {
            bytes.remove(0, int(written));
            continue;
        }
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0 && errno != EAGAIN)
            return false;
        pollfd ready{fd, POLLOUT, 0};
        if (deadline.hasExpired() || poll(&ready, 1, int(deadline.remainingTime())) < 0)
            return false;
    }
    return true;
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

// One copy that connected: collects what it sends and hands on every whole line. Closes its
// socket when the copy hangs up, breaks the rules or the channel goes.
class CChannelPeer : public QObject
{
public:
    CChannelPeer(int fd, QObject* channel, std::function<void(const QByteArray&)> received)
        : QObject(channel)
        , m_fd(fd)
        , m_notifier(fd, QSocketNotifier::Read, this)
    {
        connect(&m_notifier, &QSocketNotifier::activated, this, [this, received] {
            QPointer<CChannelPeer> alive(this);
            char chunk[512];
            for (;;) {
                const ssize_t count = read(m_fd, chunk, sizeof chunk);
                if (count < 0 && errno == EINTR)
                    continue;
                if (count < 0 && errno == EAGAIN)
                    return;
                if (count <= 0)
                    break;
                m_pending.append(chunk, int(count));
                int end;
                while ((end = m_pending.indexOf('\n')) >= 0) {
                    const QByteArray command = m_pending.left(end).trimmed();
                    m_pending.remove(0, end + 1);
                    if (!command.isEmpty())
                        received(command);
                    // Whoever heard the command may have let the channel, and this peer, go.
                    if (!alive)
                        return;
                }
                if (m_pending.size() > kMaxLineBytes)
                    break;
            }
            m_notifier.setEnabled(false);
            deleteLater();
        });
    }
    ~CChannelPeer() override
    {
        m_notifier.setEnabled(false);
        close(m_fd);
    }

private:
    const int m_fd;
    QSocketNotifier m_notifier;
    QByteArray m_pending;
};
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
    return SendBefore(command, QDeadlineTimer(kClaimMs));
}

bool CInstanceChannel::SendBefore(const QByteArray& command, const QDeadlineTimer& deadline) const
{
    sockaddr_un address;
    if (!FillAddress(m_serverName, &address))
        return false;
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return false;
    const bool sent = ConnectBefore(fd, address, deadline) && WriteBefore(fd, command + '\n', deadline);
    close(fd);
    return sent;
}

bool CInstanceChannel::Claim(const QByteArray& command)
{
    if (m_listener || m_lockFd >= 0 || m_nameLockFd >= 0)
        return true;
    const QDeadlineTimer deadline(kClaimMs);
    Lock file = TakeFileLock();
    while (file == Lock::Busy) {
        // The holder may be a copy that took the lock a moment ago and is about to listen.
        if (SendBefore(command, deadline))
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
        if (SendBefore(command, deadline)) {
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
    ClearSocketPath();
    sockaddr_un address;
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    // The mode of a socket before it is bound is the mode of the file bind makes: no other user
    // may send requests, not even for the moment between bind and a chmod.
    if (fd < 0 || !FillAddress(m_serverName, &address) || fchmod(fd, S_IRUSR | S_IWUSR) != 0
        || bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 || listen(fd, SOMAXCONN) != 0) {
        // This copy still runs alone; later starts then give up on waking it.
        qWarning("The single-instance socket %s cannot listen (%s): later starts cannot wake this copy.",
            qPrintable(m_serverName), strerror(errno));
        if (fd >= 0)
            close(fd);
        return;
    }
    m_listener = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(m_listener, &QSocketNotifier::activated, this, &CInstanceChannel::OnNewConnection);
}

void CInstanceChannel::ClearSocketPath() const
{
    const QByteArray path = QFile::encodeName(m_serverName);
    struct stat info {};
    if (lstat(path.constData(), &info) != 0)
        return;
    // Only the lock holder gets here, so a socket left here belongs to a copy that died.
    if (S_ISSOCK(info.st_mode)) {
        unlink(path.constData());
        return;
    }
    // Anything else is not ours to delete, and would keep later starts from reaching this copy.
    const QString why = WhyUnusable(path, 0);
    const QByteArray aside = path + ".moved-" + QByteArray::number(qint64(getpid()));
    if (renameat2(AT_FDCWD, path.constData(), AT_FDCWD, aside.constData(), RENAME_NOREPLACE) == 0) {
        qWarning("The single-instance socket %s was in the way (%s): moved to %s.", path.constData(),
            qPrintable(why), aside.constData());
    } else {
        qWarning("The single-instance socket %s is in the way (%s) and cannot be moved: %s.", path.constData(),
            qPrintable(why), strerror(errno));
    }
}

void CInstanceChannel::Release()
{
    if (m_listener) {
        const int fd = int(m_listener->socket());
        delete m_listener;
        m_listener = nullptr;
        close(fd);
        unlink(QFile::encodeName(m_serverName).constData());
    }
    ReleaseLocks();
}

void CInstanceChannel::OnNewConnection()
{
    int fd;
    while ((fd = accept4(int(m_listener->socket()), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK)) >= 0)
        new CChannelPeer(fd, this, [this](const QByteArray& command) { emit CommandReceived(command); });
}
