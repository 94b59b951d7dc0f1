#include "fullscreenwatcher.h"

#include <QCoreApplication>
#include <QRect>
#include <QSocketNotifier>
#include <QVector>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xrandr.h>

namespace {
// The window in front may go away between the news of it and the look at it; such a look fails
// quietly and the window counts as not full screen.
int IgnoreError(Display*, XErrorEvent*)
{
    return 0;
}

class CErrorsIgnored
{
public:
    explicit CErrorsIgnored(Display* display)
        : m_display(display)
        , m_previous(XSetErrorHandler(IgnoreError))
    {
    }
    ~CErrorsIgnored()
    {
        // Errors of the requests above arrive with the replies; they must be in before the
        // handler goes back.
        XSync(m_display, False);
        XSetErrorHandler(m_previous);
    }

private:
    Display* m_display;
    XErrorHandler m_previous;
};
}

struct CFullscreenWatcher::Private
{
    Display* display = nullptr;
    Window root = None;
    Atom activeAtom = None;
    Atom stateAtom = None;
    Atom fullscreenAtom = None;
    Atom typeAtom = None;
    Atom desktopAtom = None;
    Atom pidAtom = None;
    Atom clientListAtom = None;
    // The active window, then the window manager's frames around it up to the root: a frame
    // moves while the window inside it keeps its own coordinates.
    QVector<Window> watched;
    bool fullscreen = false;
    QStringList program;
    QSocketNotifier* notifier = nullptr;

    ~Private()
    {
        delete notifier;
        if (display)
            XCloseDisplay(display);
    }

    bool Open()
    {
        display = XOpenDisplay(nullptr);
        if (!display)
            return false;
        root = DefaultRootWindow(display);
        activeAtom = XInternAtom(display, "_NET_ACTIVE_WINDOW", False);
        stateAtom = XInternAtom(display, "_NET_WM_STATE", False);
        fullscreenAtom = XInternAtom(display, "_NET_WM_STATE_FULLSCREEN", False);
        typeAtom = XInternAtom(display, "_NET_WM_WINDOW_TYPE", False);
        desktopAtom = XInternAtom(display, "_NET_WM_WINDOW_TYPE_DESKTOP", False);
        pidAtom = XInternAtom(display, "_NET_WM_PID", False);
        clientListAtom = XInternAtom(display, "_NET_CLIENT_LIST", False);
        return true;
    }

    // The 32-bit items of a property of `type`, at most `limit` of them; none when it is missing
    // or of another type.
    QVector<unsigned long> ReadItems(Window window, Atom property, Atom type, long limit) const
    {
        Atom actualType = None;
        int format = 0;
        unsigned long count = 0;
        unsigned long after = 0;
        unsigned char* data = nullptr;
        QVector<unsigned long> items;
        if (XGetWindowProperty(
                display, window, property, 0, limit, False, type, &actualType, &format, &count, &after, &data)
                == Success
            && data && actualType == type && format == 32) {
            const auto* values = reinterpret_cast<const unsigned long*>(data);
            items = QVector<unsigned long>(values, values + count);
        }
        if (data)
            XFree(data);
        return items;
    }

    Window ReadWindow(Window window, Atom property, Atom type) const
    {
        const QVector<unsigned long> items = ReadItems(window, property, type, 1);
        return items.size() == 1 ? items.first() : None;
    }

    bool HasAtom(Window window, Atom property, Atom wanted) const
    {
        return ReadItems(window, property, XA_ATOM, 64).contains(wanted);
    }

    void Track(Window active)
    {
        CErrorsIgnored quiet(display);
        for (Window window : qAsConst(watched))
            XSelectInput(display, window, NoEventMask);
        watched.clear();
        Window window = active;
        while (window != None && window != root) {
            // Only the window itself changes its state; the frames only move or resize it.
            const long mask = window == active ? PropertyChangeMask | StructureNotifyMask : StructureNotifyMask;
            XSelectInput(display, window, mask);
            watched.append(window);
            Window rootReturn = None;
            Window parent = None;
            Window* children = nullptr;
            unsigned int childCount = 0;
            if (!XQueryTree(display, window, &rootReturn, &parent, &children, &childCount))
                break;
            if (children)
                XFree(children);
            window = parent;
        }
    }

    QRect ScreenAround(const QRect& area) const
    {
        int count = 0;
        XRRMonitorInfo* monitors = XRRGetMonitors(display, root, True, &count);
        QRect screen;
        for (int i = 0; i < count && screen.isNull(); ++i) {
            const QRect monitor(monitors[i].x, monitors[i].y, monitors[i].width, monitors[i].height);
            if (monitor.contains(area.center()))
                screen = monitor;
        }
        if (monitors)
            XRRFreeMonitors(monitors);
        if (screen.isNull()) {
            XWindowAttributes rootAttributes;
            if (XGetWindowAttributes(display, root, &rootAttributes))
                screen = QRect(0, 0, rootAttributes.width, rootAttributes.height);
        }
        return screen;
    }

    bool IsOwn(Window window) const
    {
        return pidAtom != None && ReadWindow(window, pidAtom, XA_CARDINAL) == Window(QCoreApplication::applicationPid());
    }

    // The instance and class names of the window's WM_CLASS.
    QStringList ProgramOf(Window window) const
    {
        XClassHint hint{nullptr, nullptr};
        QStringList names;
        if (!XGetClassHint(display, window, &hint))
            return names;
        for (const char* name : {hint.res_name, hint.res_class}) {
            if (name && *name)
                names << QString::fromLocal8Bit(name);
        }
        XFree(hint.res_name);
        XFree(hint.res_class);
        names.removeDuplicates();
        return names;
    }

    QStringList ProgramInFront() const
    {
        if (watched.isEmpty())
            return {};
        CErrorsIgnored quiet(display);
        return IsOwn(watched.first()) ? QStringList() : ProgramOf(watched.first());
    }

    bool Evaluate() const
    {
        if (watched.isEmpty())
            return false;
        const Window active = watched.first();
        CErrorsIgnored quiet(display);
        // Our own windows, the full-screen rest among them, never hold a reminder back.
        if (IsOwn(active))
            return false;
        XWindowAttributes attributes;
        if (!XGetWindowAttributes(display, active, &attributes) || attributes.map_state != IsViewable)
            return false;
        // The desktop's own window covers the screen and is active whenever the user clicks on it.
        if (HasAtom(active, typeAtom, desktopAtom))
            return false;
        if (HasAtom(active, stateAtom, fullscreenAtom))
            return true;
        int x = 0;
        int y = 0;
        Window child = None;
        if (!XTranslateCoordinates(display, active, root, 0, 0, &x, &y, &child))
            return false;
        const QRect area(x, y, attributes.width, attributes.height);
        const QRect screen = ScreenAround(area);
        return !screen.isNull() && area.contains(screen);
    }
};

CFullscreenWatcher::CFullscreenWatcher(QObject* parent)
    : QObject(parent)
    , d(new Private)
{
    if (!d->Open())
        return;
    XSelectInput(d->display, d->root, PropertyChangeMask);
    d->Track(d->ReadWindow(d->root, d->activeAtom, XA_WINDOW));
    d->fullscreen = d->Evaluate();
    d->program = d->ProgramInFront();
    d->notifier = new QSocketNotifier(ConnectionNumber(d->display), QSocketNotifier::Read, this);
    connect(d->notifier, &QSocketNotifier::activated, this, &CFullscreenWatcher::OnDisplayReadable);
    // Events that came in with the replies above are already read from the socket.
    OnDisplayReadable();
}

CFullscreenWatcher::~CFullscreenWatcher() = default;

bool CFullscreenWatcher::IsAvailable() const
{
    return d->display != nullptr;
}

bool CFullscreenWatcher::IsFullscreenInFront() const
{
    return d->fullscreen;
}

QStringList CFullscreenWatcher::ProgramInFront() const
{
    return d->program;
}

QStringList CFullscreenWatcher::OpenPrograms()
{
    Private open;
    if (!open.Open())
        return {};
    CErrorsIgnored quiet(open.display);
    QStringList programs;
    const QVector<unsigned long> windows = open.ReadItems(open.root, open.clientListAtom, XA_WINDOW, 4096);
    for (unsigned long window : windows) {
        if (open.IsOwn(window))
            continue;
        const QStringList names = open.ProgramOf(window);
        if (!names.isEmpty() && !programs.contains(names.last(), Qt::CaseInsensitive))
            programs << names.last();
    }
    programs.sort(Qt::CaseInsensitive);
    return programs;
}

void CFullscreenWatcher::OnDisplayReadable()
{
    // Looking at a window reads the socket too, and what it reads no longer wakes the notifier:
    // the queue is emptied until a look has left nothing behind.
    while (XPending(d->display)) {
        bool activeChanged = false;
        bool changed = false;
        while (XPending(d->display)) {
            XEvent event;
            XNextEvent(d->display, &event);
            if (event.type == PropertyNotify) {
                if (event.xproperty.window == d->root && event.xproperty.atom == d->activeAtom)
                    activeChanged = true;
                else if (event.xproperty.atom == d->stateAtom || event.xproperty.atom == XA_WM_CLASS)
                    changed = true;
            } else if (event.type == ReparentNotify) {
                activeChanged = true;
            } else if (event.type == ConfigureNotify || event.type == MapNotify || event.type == UnmapNotify
                || event.type == DestroyNotify) {
                changed = true;
            }
        }
        if (activeChanged)
            d->Track(d->ReadWindow(d->root, d->activeAtom, XA_WINDOW));
        if (!activeChanged && !changed)
            continue;
        const bool fullscreen = d->Evaluate();
        if (fullscreen != d->fullscreen) {
            d->fullscreen = fullscreen;
            emit FullscreenChanged(fullscreen);
        }
        const QStringList program = d->ProgramInFront();
        if (program != d->program) {
            d->program = program;
            emit ProgramInFrontChanged(program);
        }
    }
}
