#include "instancechannel.h"

#include <cerrno>
#include <cstring>
#include <functional>

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
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
constexpr int kTimeoutMs = 2000;
// How long a later copy waits for the lock holder to start listening, and how often it looks.
constexpr int kClaimWaitMs = 5000;
constexpr int kRetryMs = 20;
// Commands are single words; a peer that sends more than this without a line end is not a copy
// of ours and is cut off before it can fill the program's memory.
constexpr int kMaxLineBytes = 4096;

bool FillAddress(const QString& serverName, sockaddr_un* address)
{
    const QByteArray path = QFile::encodeName(serverName);
    if (path.isEmpty() || size_t(path.size()) >= sizeof address->sun_path)
        return false;
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
    sockaddr_un address;
    if (!FillAddress(m_serverName, &address))
        return false;
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return false;
    const QDeadlineTimer deadline(kTimeoutMs);
    const bool sent = ConnectBefore(fd, address, deadline) && WriteBefore(fd, command + '\n', deadline);
    close(fd);
    return sent;
}

bool CInstanceChannel::Claim(const QByteArray& command)
{
    if (m_listener || m_lockFd >= 0)
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
    // When this fails the copy still runs alone; later starts then wait for it in vain and end.
    sockaddr_un address;
    if (!FillAddress(m_serverName, &address))
        return;
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return;
    // Only the lock holder gets here, so a socket file left here belongs to a copy that died.
    unlink(address.sun_path);
    // The mode of a socket before it is bound is the mode of the file bind makes: no other user
    // may send commands, not even for the moment between bind and a chmod.
    if (fchmod(fd, S_IRUSR | S_IWUSR) != 0 || bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0
        || listen(fd, SOMAXCONN) != 0) {
        close(fd);
        return;
    }
    m_listener = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(m_listener, &QSocketNotifier::activated, this, &CInstanceChannel::OnNewConnection);
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
    if (m_lockFd >= 0) {
        close(m_lockFd);
        m_lockFd = -1;
    }
}

void CInstanceChannel::OnNewConnection()
{
    int fd;
    while ((fd = accept4(int(m_listener->socket()), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK)) >= 0)
        new CChannelPeer(fd, this, [this](const QByteArray& command) { emit CommandReceived(command); });
}
