#pragma once

#include <QStringList>

namespace CrashHandler {
// On a fatal signal: writes a dump file named after the local time of the crash into the
// current folder, then starts `program` with `arguments` followed by the signal number and
// the fault address (both in lower-case hexadecimal; the address is 0 for a signal sent by a
// process rather than raised by a fault), and ends the process. The handler does
// nothing that is unsafe inside a signal handler; the helper does the showing and reporting.
// The handler runs on a stack of its own on the thread that installs it (the GUI thread), so a
// stack overflow there is reported too; the local time follows daylight saving changes of the
// next ten years.
void Install(const QString& program, const QStringList& arguments);
// The file name a crash at `localTime` writes, for tests and the helper.
QString DumpFileName(int hour, int minute, int second, int msec);
}
