#include "screenguard.h"

#include <cerrno>
#include <csignal>

#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {
// The guard's word for "the screen is back": anything else, or nothing, means restore.
const char kRestored = 'R';
// Ends the record the guard is handed first.
const char kRecordEnd = '\0';
}

CScreenGuard::~CScreenGuard()
{
    Dismiss();
}

bool CScreenGuard::Start(const std::string& program, const std::string& restoreFile, const std::string& record)
{
    Dismiss();
    int ends[2];
    // Close-on-exec, so no other program this process starts (the crash helper, a restarted
    // copy) holds the socket open and keeps the guard waiting after this process is gone.
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0)
        return false;

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ends[1], STDIN_FILENO);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    // A group of its own: Ctrl+C in the terminal must not end the guard before the program.
    posix_spawnattr_setpgroup(&attributes, 0);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    sigset_t defaults;
    sigemptyset(&defaults);
    for (const int signalNumber : {SIGPIPE, SIGTERM, SIGINT, SIGHUP})
        sigaddset(&defaults, signalNumber);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    std::string programArgument = program;
    std::string fileArgument = restoreFile;
    char* arguments[] = {programArgument.data(), fileArgument.data(), nullptr};
    pid_t pid = -1;
    const int failed = posix_spawn(&pid, program.c_str(), &actions, &attributes, arguments, environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    close(ends[1]);
    if (failed != 0) {
        close(ends[0]);
        return false;
    }
    m_socket = ends[0];
    m_pid = pid;
    // The guard keeps the record itself, so it restores even when no file could hold it. It
    // reads at once, so this waits only while a large record passes through the socket.
    std::string message = record;
    message += kRecordEnd;
    size_t sent = 0;
    while (sent < message.size()) {
        const ssize_t step = send(m_socket, message.data() + sent, message.size() - sent, MSG_NOSIGNAL);
        if (step < 0 && errno == EINTR)
            continue;
        if (step <= 0)
            break;
        sent += size_t(step);
    }
    return true;
}

bool CScreenGuard::IsRunning() const
{
    return m_pid > 0;
}

void CScreenGuard::Dismiss()
{
    if (m_pid <= 0)
        return;
    const ssize_t sent = send(m_socket, &kRestored, 1, MSG_NOSIGNAL);
    (void)sent;
    close(m_socket);
    // The guard ends as soon as it reads the word (or the end of the stream): reaping it here
    // leaves no zombie behind.
    while (waitpid(m_pid, nullptr, 0) < 0 && errno == EINTR) {
    }
    m_socket = -1;
    m_pid = -1;
}
