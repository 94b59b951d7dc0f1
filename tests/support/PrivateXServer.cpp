#include "PrivateXServer.h"

#include <vector>

#include <QElapsedTimer>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
constexpr int kStartMs = 10000;
constexpr int kStopMs = 3000;
}

CPrivateXServer::CPrivateXServer(const QStringList& screens, const QStringList& options)
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return;
    // The server's end of the pipe is the one descriptor it inherits.
    const int serverEnd = ::fcntl(fds[1], F_DUPFD, 3);
    ::close(fds[1]);
    if (serverEnd < 0) {
        ::close(fds[0]);
        return;
    }

    QList<QByteArray> arguments{"Xvfb", "-displayfd", QByteArray::number(serverEnd)};
    for (int i = 0; i < screens.size(); ++i)
        arguments << "-screen" << QByteArray::number(i) << screens.at(i).toLocal8Bit();
    arguments << "-noreset" << "-nolisten" << "tcp";
    for (const QString& option : options)
        arguments << option.toLocal8Bit();
    std::vector<char*> argv;
    for (QByteArray& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    const pid_t parent = ::getpid();
    m_pid = ::fork();
    if (m_pid == 0) {
        // A test killed at its time-out takes its server with it instead of leaving it running.
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != parent)
            ::_exit(127);
        const int quiet = ::open("/dev/null", O_WRONLY);
        if (quiet >= 0)
            ::dup2(quiet, STDERR_FILENO);
        ::execvp("Xvfb", argv.data());
        ::_exit(127);
    }
    ::close(serverEnd);
    if (m_pid < 0) {
        m_pid = 0;
        ::close(fds[0]);
        return;
    }

    QByteArray number;
    QElapsedTimer timer;
    timer.start();
    while (!number.endsWith('\n') && !timer.hasExpired(kStartMs)) {
        pollfd reader{fds[0], POLLIN, 0};
        if (::poll(&reader, 1, int(kStartMs - timer.elapsed())) <= 0)
            break;
        char buffer[16];
        const ssize_t count = ::read(fds[0], buffer, sizeof buffer);
        if (count <= 0)
            break;
        number.append(buffer, int(count));
    }
    ::close(fds[0]);
    number = number.trimmed();
    if (!number.isEmpty())
        m_display = ':' + number;
}

CPrivateXServer::~CPrivateXServer()
{
    if (m_pid <= 0)
        return;
    ::kill(m_pid, SIGTERM);
    QElapsedTimer timer;
    timer.start();
    while (::waitpid(m_pid, nullptr, WNOHANG) == 0) {
        if (timer.hasExpired(kStopMs)) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
            return;
        }
        ::usleep(10000);
    }
}

QByteArray CPrivateXServer::DisplayName() const
{
    return m_display;
}
