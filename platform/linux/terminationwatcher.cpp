#include "terminationwatcher.h"

#include <csignal>

#include <QSocketNotifier>

#include <fcntl.h>
#include <unistd.h>

namespace {
// SIGHUP comes when the terminal that started the program closes and SIGQUIT from its quit key:
// both would otherwise end the process with the screens still tinted.
constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP, SIGQUIT};

// The handler may only do async-signal-safe work: it writes one byte into a pipe that the event
// loop watches. After the first signal any further one restores the default action and raises
// the signal again.
int g_pipe[2] = {-1, -1};
volatile sig_atomic_t g_pending = 0;

void OnSignal(int signalNumber)
{
    if (g_pending) {
        signal(signalNumber, SIG_DFL);
        raise(signalNumber);
        return;
    }
    g_pending = 1;
    const char byte = char(signalNumber);
    const ssize_t written = write(g_pipe[1], &byte, 1);
    (void)written;
}
}

CTerminationWatcher::CTerminationWatcher(QObject* parent)
    : QObject(parent)
{
    if (g_pipe[0] < 0 && pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &CTerminationWatcher::OnReadable);

    struct sigaction action {};
    action.sa_handler = OnSignal;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (const int signalNumber : kSignals) {
        // A signal ignored from the start stays ignored: `nohup` asks for the program to outlive
        // its terminal, and a shell's background job is not meant to hear the terminal's keys.
        struct sigaction previous {};
        if (sigaction(signalNumber, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN)
            continue;
        sigaction(signalNumber, &action, nullptr);
    }
}

CTerminationWatcher::~CTerminationWatcher()
{
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    for (const int signalNumber : kSignals) {
        struct sigaction current {};
        if (sigaction(signalNumber, nullptr, &current) == 0 && current.sa_handler == OnSignal)
            sigaction(signalNumber, &action, nullptr);
    }
    g_pending = 0;
}

bool CTerminationWatcher::Requested() const
{
    return m_requested;
}

void CTerminationWatcher::OnReadable()
{
    char bytes[16];
    while (read(g_pipe[0], bytes, sizeof bytes) > 0) {
    }
    m_requested = true;
    emit TerminationRequested();
}
