#include "crashhandler.h"

#include <csignal>
#include <cstring>
#include <ctime>
#include <vector>

#include <QByteArray>
#include <QDateTime>

#include <execinfo.h>
#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {
constexpr int kFatalSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};
constexpr int kMaxFrames = 64;

// Everything the handler needs is prepared here beforehand: inside the handler only
// async-signal-safe calls are allowed, so no allocation, no locale, no Qt.
std::vector<QByteArray> g_helperArguments;
std::vector<char*> g_helperArgv;
long g_utcOffsetSecs = 0;
char g_signalHex[20];
char g_addressHex[20];

size_t Length(const char* text)
{
    size_t n = 0;
    while (text[n])
        ++n;
    return n;
}

void WriteText(int fd, const char* text)
{
    const size_t length = Length(text);
    size_t done = 0;
    while (done < length) {
        const ssize_t written = write(fd, text + done, length - done);
        if (written <= 0)
            return;
        done += size_t(written);
    }
}

void FormatHex(unsigned long value, char* out)
{
    char digits[20];
    int n = 0;
    do {
        digits[n++] = "0123456789abcdef"[value & 0xf];
        value >>= 4;
    } while (value);
    for (int i = 0; i < n; ++i)
        out[i] = digits[n - 1 - i];
    out[n] = '\0';
}

char* AppendTwoDigits(char* out, long value)
{
    *out++ = char('0' + value / 10 % 10);
    *out++ = char('0' + value % 10);
    return out;
}

char* AppendText(char* out, const char* text)
{
    while (*text)
        *out++ = *text++;
    return out;
}

void BuildDumpName(char* out)
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    const long secondOfDay = ((now.tv_sec + g_utcOffsetSecs) % 86400 + 86400) % 86400;
    out = AppendTwoDigits(out, secondOfDay / 3600);
    out = AppendText(out, "\xE6\x97\xB6"); // 时
    out = AppendTwoDigits(out, secondOfDay / 60 % 60);
    out = AppendText(out, "\xE5\x88\x86"); // 分
    out = AppendTwoDigits(out, secondOfDay % 60);
    out = AppendText(out, "\xE7\xA7\x92"); // 秒
    const long msec = now.tv_nsec / 1000000;
    *out++ = char('0' + msec / 100);
    out = AppendTwoDigits(out, msec % 100);
    out = AppendText(out, ".dmp");
    *out = '\0';
}

void OnFatalSignal(int signalNumber, siginfo_t* info, void*)
{
    const unsigned long address = info ? reinterpret_cast<unsigned long>(info->si_addr) : 0;
    FormatHex(unsigned(signalNumber), g_signalHex);
    FormatHex(address, g_addressHex);

    char name[64];
    BuildDumpName(name);
    const int fd = open(name, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd >= 0) {
        WriteText(fd, "signal: ");
        WriteText(fd, g_signalHex);
        WriteText(fd, "\naddress: 0x");
        WriteText(fd, g_addressHex);
        WriteText(fd, "\nbacktrace:\n");
        void* frames[kMaxFrames];
        backtrace_symbols_fd(frames, backtrace(frames, kMaxFrames), fd);
        close(fd);
    }

    // The raw system call, not fork(): the library's fork takes the allocator's locks first, and
    // the crash may have struck while this very thread held one, which would hang for ever.
    if (!g_helperArgv.empty() && syscall(SYS_fork) == 0) {
        execve(g_helperArgv[0], g_helperArgv.data(), environ);
        _exit(127);
    }

    signal(signalNumber, SIG_DFL);
    raise(signalNumber);
}
}

namespace CrashHandler {
void Install(const QString& program, const QStringList& arguments)
{
    g_utcOffsetSecs = QDateTime::currentDateTime().offsetFromUtc();

    g_helperArguments.clear();
    g_helperArguments.push_back(program.toLocal8Bit());
    for (const QString& argument : arguments)
        g_helperArguments.push_back(argument.toLocal8Bit());
    g_helperArgv.clear();
    for (QByteArray& argument : g_helperArguments)
        g_helperArgv.push_back(argument.data());
    g_helperArgv.push_back(g_signalHex);
    g_helperArgv.push_back(g_addressHex);
    g_helperArgv.push_back(nullptr);

    // The first backtrace() loads the unwinder, which allocates: do it now, not in the handler.
    void* frame[1];
    backtrace(frame, 1);

    struct sigaction action {};
    action.sa_sigaction = OnFatalSignal;
    action.sa_flags = SA_SIGINFO | SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    for (const int signalNumber : kFatalSignals)
        sigaction(signalNumber, &action, nullptr);
}

QString DumpFileName(int hour, int minute, int second, int msec)
{
    return QStringLiteral("%1时%2分%3秒%4.dmp")
        .arg(hour, 2, 10, QLatin1Char('0'))
        .arg(minute, 2, 10, QLatin1Char('0'))
        .arg(second, 2, 10, QLatin1Char('0'))
        .arg(msec, 3, 10, QLatin1Char('0'));
}
}
