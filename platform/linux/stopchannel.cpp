#include "stopchannel.h"

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {
// A requester that connects but says nothing must not hold the listener up.
constexpr int kReadRequestMs = 200;

using Clock = std::chrono::steady_clock;

int RemainingMs(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// Reads exactly `size` bytes or gives up at the deadline.
bool ReadAll(int fd, void* data, size_t size, Clock::time_point deadline)
{
    auto* bytes = static_cast<char*>(data);
    while (size > 0) {
        pollfd wait = {fd, POLLIN, 0};
        const int ready = poll(&wait, 1, RemainingMs(deadline));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return false;
        const ssize_t got = recv(fd, bytes, size, 0);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        bytes += got;
        size -= static_cast<size_t>(got);
    }
    return true;
}

bool SendAll(int fd, const void* data, size_t size)
{
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t sent = send(fd, bytes, size, MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR)
            continue;
        if (sent <= 0)
            return false;
        bytes += sent;
        size -= static_cast<size_t>(sent);
    }
    return true;
}

bool FillAddress(const std::string& path, sockaddr_un& address)
{
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

// The user's runtime folder; without one, a private folder of the user's own under /tmp.
std::string RuntimeFolder()
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime)
        return runtime;
    const std::string folder = "/tmp/runtime-" + std::to_string(getuid());
    mkdir(folder.c_str(), 0700);
    struct stat info = {};
    // Someone else may have made the folder first; then it is not ours to use.
    if (lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != getuid()
        || (info.st_mode & 077) != 0)
        return {};
    return folder;
}
}

CStopChannel::CStopChannel(std::string name)
    : m_path(SocketPath(name))
{
}

CStopChannel::~CStopChannel()
{
    CloseListener();
    if (m_requestFd >= 0)
        close(m_requestFd);
    for (int fd : m_wakeFds) {
        if (fd >= 0)
            close(fd);
    }
}

std::string CStopChannel::SocketPath(const std::string& name)
{
    const std::string folder = RuntimeFolder();
    return folder.empty() ? std::string() : folder + '/' + name;
}

bool CStopChannel::Listen()
{
    if (m_listenFd >= 0)
        return true;
    sockaddr_un address;
    if (!FillAddress(m_path, address))
        return false;
    if (m_wakeFds[0] < 0 && pipe2(m_wakeFds, O_CLOEXEC | O_NONBLOCK) != 0)
        return false;
    m_listenFd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_listenFd < 0)
        return false;
    const auto* raw = reinterpret_cast<const sockaddr*>(&address);
    if (bind(m_listenFd, raw, sizeof address) != 0) {
        // Whoever had the name is done with it or will end by itself: the newest program is
        // the one a stop request is meant for.
        if (errno != EADDRINUSE || unlink(m_path.c_str()) != 0 || bind(m_listenFd, raw, sizeof address) != 0) {
            close(m_listenFd);
            m_listenFd = -1;
            return false;
        }
    }
    chmod(m_path.c_str(), 0600);
    struct stat info = {};
    if (stat(m_path.c_str(), &info) == 0) {
        m_device = info.st_dev;
        m_inode = info.st_ino;
    }
    if (listen(m_listenFd, 4) != 0) {
        CloseListener();
        return false;
    }
    return true;
}

bool CStopChannel::WaitForStop()
{
    if (m_listenFd < 0)
        return false;
    for (;;) {
        pollfd waits[2] = {{m_listenFd, POLLIN, 0}, {m_wakeFds[0], POLLIN, 0}};
        if (poll(waits, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (waits[1].revents != 0)
            return false;
        if (waits[0].revents == 0)
            continue;
        const int connection = accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0)
            continue;
        ucred peer = {};
        socklen_t peerSize = sizeof peer;
        int32_t code = 0;
        const bool fromUser = getsockopt(connection, SOL_SOCKET, SO_PEERCRED, &peer, &peerSize) == 0
            && peer.uid == getuid();
        if (fromUser && ReadAll(connection, &code, sizeof code, Clock::now() + std::chrono::milliseconds(kReadRequestMs))
            && code == kStopCode) {
            m_requestFd = connection;
            return true;
        }
        close(connection);
    }
}

void CStopChannel::Acknowledge()
{
    if (m_requestFd < 0)
        return;
    const int32_t done = kStopCode;
    SendAll(m_requestFd, &done, sizeof done);
    close(m_requestFd);
    m_requestFd = -1;
    CloseListener();
}

void CStopChannel::Wake()
{
    if (m_wakeFds[1] >= 0) {
        const char byte = 1;
        [[maybe_unused]] const ssize_t written = write(m_wakeFds[1], &byte, 1);
    }
}

void CStopChannel::CloseListener()
{
    if (m_listenFd < 0)
        return;
    close(m_listenFd);
    m_listenFd = -1;
    // A newer listener may have taken the name over; its socket file is not ours to remove.
    struct stat info = {};
    if (stat(m_path.c_str(), &info) == 0 && info.st_dev == m_device && info.st_ino == m_inode)
        unlink(m_path.c_str());
}

bool CStopChannel::Request(const std::string& name, int code, int timeoutMs)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    sockaddr_un address;
    if (!FillAddress(SocketPath(name), address))
        return false;
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return false;
    bool acknowledged = false;
    if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
        const int32_t request = code;
        int32_t answer = 0;
        acknowledged = SendAll(fd, &request, sizeof request) && ReadAll(fd, &answer, sizeof answer, deadline)
            && answer == code;
    }
    close(fd);
    return acknowledged;
}
