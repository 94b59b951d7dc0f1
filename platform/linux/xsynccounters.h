#pragma once

#include <QtGlobal>

#include <X11/Xlib.h>
#include <X11/extensions/sync.h>

// Alarms on the X server's SYNC counters, such as the idle time of all input or of one device:
// the server itself wakes the program when a counter reaches a value.
namespace XSyncCounters {
// The system counter of that name, or None.
XSyncCounter Find(Display* display, const char* name);
XSyncValue Milliseconds(qint64 ms);
// Creates `alarm`, or changes it, to go off once `counter` meets `test` against `value`.
void Arm(Display* display, XSyncCounter counter, XSyncAlarm& alarm, XSyncTestType test, const XSyncValue& value);
// Arms `alarm` to go off when `counter` falls below `reached`, which only input makes it do.
void ArmBelow(Display* display, XSyncCounter counter, XSyncAlarm& alarm, const XSyncValue& reached);
// Arms `alarm` to go off at the next input that `counter` counts; false when it cannot be read.
bool ArmNextInput(Display* display, XSyncCounter counter, XSyncAlarm& alarm);
}
