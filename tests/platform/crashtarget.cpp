// A program that crashes for real, for the crash handler's tests.
//   crashtarget fault|overflow <record file>   installs the handler, says "ready", waits for a
//                                               line on its input, then crashes
//   crashtarget record <record file> <args>...  the crash helper: writes its arguments, one a line
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include <QFile>
#include <QFileInfo>

#include "crashhandler.h"

namespace {
// Read through volatile objects, so the compiler cannot see the fault or the endless recursion.
volatile std::uintptr_t g_faultAddress = 0x10;
volatile int g_depthLimit = INT_MAX;

int Recurse(int depth)
{
    volatile char frame[4096];
    frame[0] = char(depth);
    if (depth == g_depthLimit)
        return frame[0];
    return Recurse(depth + 1) + frame[0];
}
}

int main(int argc, char* argv[])
{
    if (argc < 3)
        return 2;
    if (std::strcmp(argv[1], "record") == 0) {
        QFile record(QString::fromLocal8Bit(argv[2]));
        if (!record.open(QIODevice::WriteOnly))
            return 1;
        for (int i = 3; i < argc; ++i)
            record.write(QByteArray(argv[i]) + '\n');
        return 0;
    }

    CrashHandler::Install(QFileInfo(QString::fromLocal8Bit(argv[0])).absoluteFilePath(),
        {QStringLiteral("record"), QString::fromLocal8Bit(argv[2])});
    std::puts("ready");
    std::fflush(stdout);
    char line[16];
    if (!std::fgets(line, sizeof line, stdin))
        return 1;
    if (std::strcmp(argv[1], "fault") == 0)
        *reinterpret_cast<volatile int*>(g_faultAddress) = 1;
    else
        return Recurse(0);
    return 0;
}
