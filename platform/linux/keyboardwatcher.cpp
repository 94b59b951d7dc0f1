#include "keyboardwatcher.h"

#include <QSocketNotifier>

#include <X11/extensions/XInput2.h>

#include "xsynccounters.h"

namespace {
// The X server keeps an idle counter per input device; device 3 is always its core keyboard, the
// master every keyboard's keys go through.
constexpr char kCoreKeyboardIdle[] = "DEVICEIDLETIME 3";
}

struct CKeyboardWatcher::Private
{
    Display* display = nullptr;
    XSyncCounter counter = None;
    // The input extension's major opcode, which tags its events; 0 without it.
    int inputOpcode = 0;
    bool watching = false;
    QSocketNotifier* notifier = nullptr;

    ~Private()
    {
        delete notifier;
        if (display)
            XCloseDisplay(display);
    }

    // Raw key presses reach the root window whichever window has the focus, but only while
    // asked for: at rest the server sends nothing.
    void SelectKeys(bool select)
    {
        unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
        if (select)
            XISetMask(bits, XI_RawKeyPress);
        XIEventMask mask{XIAllMasterDevices, int(sizeof bits), bits};
        XISelectEvents(display, DefaultRootWindow(display), &mask, 1);
        watching = select;
    }
};

CKeyboardWatcher::CKeyboardWatcher(QObject* parent)
    : QObject(parent)
    , d(new Private)
{
    d->display = XOpenDisplay(nullptr);
    if (!d->display)
        return;
    int syncEventBase = 0;
    int errorBase = 0;
    int major = 0;
    int minor = 0;
    if (!XSyncQueryExtension(d->display, &syncEventBase, &errorBase) || !XSyncInitialize(d->display, &major, &minor))
        return;
    int event = 0;
    major = 2;
    minor = 0;
    if (!XQueryExtension(d->display, "XInputExtension", &d->inputOpcode, &event, &errorBase)
        || XIQueryVersion(d->display, &major, &minor) != Success) {
        d->inputOpcode = 0;
        return;
    }
    // X servers before 1.17 count only all input together.
    d->counter = XSyncCounters::Find(d->display, kCoreKeyboardIdle);
    if (d->counter == None)
        return;
    d->notifier = new QSocketNotifier(ConnectionNumber(d->display), QSocketNotifier::Read, this);
    connect(d->notifier, &QSocketNotifier::activated, this, &CKeyboardWatcher::OnDisplayReadable);
}

CKeyboardWatcher::~CKeyboardWatcher() = default;

bool CKeyboardWatcher::IsAvailable() const
{
    return d->counter != None;
}

qint64 CKeyboardWatcher::StillMs() const
{
    XSyncValue idle;
    if (d->counter == None || !XSyncQueryCounter(d->display, d->counter, &idle))
        return -1;
    return (qint64(XSyncValueHigh32(idle)) << 32) | XSyncValueLow32(idle);
}

void CKeyboardWatcher::WatchNextKey()
{
    if (d->counter == None || d->watching)
        return;
    d->SelectKeys(true);
    // A key typed right after the asking counts: the server has taken the selection once it
    // answers. What came in with the answer no longer wakes the notifier.
    XSync(d->display, False);
    if (XEventsQueued(d->display, QueuedAlready) > 0)
        QMetaObject::invokeMethod(this, &CKeyboardWatcher::OnDisplayReadable, Qt::QueuedConnection);
}

void CKeyboardWatcher::OnDisplayReadable()
{
    bool pressed = false;
    while (XPending(d->display)) {
        XEvent event;
        XNextEvent(d->display, &event);
        XGenericEventCookie* cookie = &event.xcookie;
        if (cookie->type == GenericEvent && cookie->extension == d->inputOpcode && cookie->evtype == XI_RawKeyPress)
            pressed = d->watching;
    }
    if (!pressed)
        return;
    // Announced once: each further key would wake the program for nothing.
    d->SelectKeys(false);
    XFlush(d->display);
    emit KeyPressed();
}
