#include "xsynccounters.h"

#include <cstring>

namespace XSyncCounters {
XSyncCounter Find(Display* display, const char* name)
{
    int count = 0;
    XSyncCounter found = None;
    XSyncSystemCounter* counters = XSyncListSystemCounters(display, &count);
    for (int i = 0; i < count; ++i) {
        if (std::strcmp(counters[i].name, name) == 0)
            found = counters[i].counter;
    }
    if (counters)
        XSyncFreeSystemCounterList(counters);
    return found;
}

XSyncValue Milliseconds(qint64 ms)
{
    XSyncValue value;
    XSyncIntsToValue(&value, static_cast<unsigned int>(ms & 0xffffffff), static_cast<int>(ms >> 32));
    return value;
}

void Arm(Display* display, XSyncCounter counter, XSyncAlarm& alarm, XSyncTestType test, const XSyncValue& value)
{
    XSyncAlarmAttributes attributes;
    attributes.trigger.counter = counter;
    attributes.trigger.value_type = XSyncAbsolute;
    attributes.trigger.test_type = test;
    attributes.trigger.wait_value = value;
    XSyncIntToValue(&attributes.delta, 0);
    attributes.events = True;
    const unsigned long mask
        = XSyncCACounter | XSyncCAValueType | XSyncCATestType | XSyncCAValue | XSyncCADelta | XSyncCAEvents;
    if (alarm == None)
        alarm = XSyncCreateAlarm(display, mask, &attributes);
    else
        XSyncChangeAlarm(display, alarm, mask, &attributes);
}

void ArmBelow(Display* display, XSyncCounter counter, XSyncAlarm& alarm, const XSyncValue& reached)
{
    XSyncValue below;
    Bool overflow = False;
    XSyncValue minusOne;
    XSyncIntToValue(&minusOne, -1);
    XSyncValueAdd(&below, reached, minusOne, &overflow);
    Arm(display, counter, alarm, XSyncNegativeTransition, below);
}

bool ArmNextInput(Display* display, XSyncCounter counter, XSyncAlarm& alarm)
{
    XSyncValue now;
    if (!XSyncQueryCounter(display, counter, &now))
        return false;
    // Right after input the counter may still read 0, which nothing falls below.
    XSyncValue least;
    XSyncIntToValue(&least, 2);
    ArmBelow(display, counter, alarm, XSyncValueLessThan(now, least) ? least : now);
    XFlush(display);
    return true;
}
}
