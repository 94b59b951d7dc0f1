#include "crashhandler.h"

#include <csignal>
#include <cstring>
#include <ctime>
#include <limits>
#include <vector>

#include <QByteArray>

#include <execinfo.h>
#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {
constexpr int kFatalSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};
constexpr int kMaxFrames = 64;
constexpr time_t kDay = 86400;
// The local time's offset from UTC is looked up for this many days after the start.
constexpr int kOffsetTableDays = 10 * 366;
constexpr int kMaxOffsetChanges = 64;

struct OffsetChange
{
    time_t from;
    long offset;
};

// Everything the handler needs is prepared here beforehand: inside the handler only
// async-signal-safe calls are allowed, so no allocation, no locale, no Qt.
std::vector<QByteArray> g_helperArguments;
std::vector<char*> g_helperArgv;
// Every change of the UTC offset (daylight saving) over the years ahead, oldest first, so that a
// crash after a change still names its dump in the local time of the crash.
OffsetChange g_offsetChanges[kMaxOffsetChanges];
int g_offsetChangeCount = 0;
char g_signalHex[20];
char g_addressHex[20];
// The stack the handler runs on: a stack overflow leaves none on the crashed stack itself.
alignas(16) char g_handlerStack[256 * 1024];

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

// Not for the handler: localtime_r may take locks and read files.
long LocalOffset(time_t moment)
{
    tm parts{};
    localtime_r(&moment, &parts);
    return parts.tm_gmtoff;
}

void FillOffsetTable(time_t start)
{
    tzset();
    long offset = LocalOffset(start);
    g_offsetChanges[0] = {std::numeric_limits<time_t>::min(), offset};
    g_offsetChangeCount = 1;
    const time_t end = start + kOffsetTableDays * kDay;
    for (time_t day = start + kDay; day <= end && g_offsetChangeCount < kMaxOffsetChanges; day += kDay) {
        if (LocalOffset(day) == offset)
            continue;
        // The first second with the new offset lies in (day - kDay, day].
        time_t before = day - kDay;
        time_t after = day;
        while (after - before > 1) {
            const time_t middle = before + (after - before) / 2;
            if (LocalOffset(middle) == offset)
                before = middle;
            else
                after = middle;
        }
        offset = LocalOffset(after);
        g_offsetChanges[g_offsetChangeCount++] = {after, offset};
    }
}

long OffsetAt(time_t moment)
{
    long offset = g_offsetChanges[0].offset;
    for (int i = 1; i < g_offsetChangeCount && g_offsetChanges[i].from <= moment; ++i)
        offset = g_offsetChanges[i].offset;
    return offset;
}

// A copy of this process that will only call execve. Not fork(): the library's fork runs the
// fork handlers and takes the allocator's locks, and the crash may have struck while this very
// thread held one, which would hang for ever. The clone system call exists on every Linux
// architecture (fork does not on arm64 or riscv64); with no flags but the exit signal and no new
// stack it makes a plain copy. Its argument order differs between architectures only in the
// trailing arguments, all zero here, except on s390, where the stack comes before the flags.
pid_t StartCopy()
{
#if defined(__s390__)
    return pid_t(syscall(SYS_clone, 0L, long(SIGCHLD), 0L, 0L, 0L));
#else
    return pid_t(syscall(SYS_clone, long(SIGCHLD), 0L, 0L, 0L, 0L));
#endif
}

void BuildDumpName(char* out)
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    const long secondOfDay = ((now.tv_sec + OffsetAt(now.tv_sec)) % kDay + kDay) % kDay;
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
    // Only a fault the kernel raised has an address; in a signal another process or abort() sent,
    // the same bytes hold the sender's process and user ids.
    const bool fault = info && info->si_code > 0;
    const unsigned long address = fault ? reinterpret_cast<unsigned long>(info->si_addr) : 0;
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

    if (!g_helperArgv.empty() && StartCopy() == 0) {
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
    FillOffsetTable(time(nullptr));

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

    stack_t handlerStack{};
    handlerStack.ss_sp = g_handlerStack;
    handlerStack.ss_size = sizeof g_handlerStack;
    sigaltstack(&handlerStack, nullptr);

    struct sigaction action {};
    action.sa_sigaction = OnFatalSignal;
    action.sa_flags = SA_SIGINFO | SA_RESETHAND | SA_ONSTACK;
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
