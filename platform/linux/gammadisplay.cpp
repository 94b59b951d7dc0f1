#include "gammadisplay.h"

#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

namespace {
// Xlib's own error handler ends the process; a monitor that refuses a ramp must not.
int IgnoreError(Display*, XErrorEvent*)
{
    return 0;
}

// Sets the forgiving error handler for as long as it lives.
class CIgnoreErrors
{
public:
    CIgnoreErrors()
        : m_previous(XSetErrorHandler(IgnoreError))
    {
    }
    ~CIgnoreErrors() { XSetErrorHandler(m_previous); }
    CIgnoreErrors(const CIgnoreErrors&) = delete;
    CIgnoreErrors& operator=(const CIgnoreErrors&) = delete;

private:
    XErrorHandler m_previous;
};
}

struct CGammaDisplay::Private
{
    struct Monitor
    {
        RRCrtc crtc = 0;
        XRRCrtcGamma* gamma = nullptr;
    };

    Display* display = nullptr;
    int eventBase = 0;
    std::vector<Monitor> monitors;
    // A display that was reached and offered no ramps will not offer any later.
    bool examined = false;
    bool changed = false;

    void CollectScreen(int screen)
    {
        const Window root = RootWindow(display, screen);
        XRRSelectInput(display, root, RRScreenChangeNotifyMask | RRCrtcChangeNotifyMask | RROutputChangeNotifyMask);
        XRRScreenResources* resources = XRRGetScreenResourcesCurrent(display, root);
        if (!resources)
            return;
        for (int i = 0; i < resources->ncrtc; ++i) {
            const RRCrtc crtc = resources->crtcs[i];
            XRRCrtcInfo* info = XRRGetCrtcInfo(display, resources, crtc);
            const bool drives = info && info->noutput > 0;
            if (info)
                XRRFreeCrtcInfo(info);
            const int size = drives ? XRRGetCrtcGammaSize(display, crtc) : 0;
            // The buffer is made once here, so a write needs no allocation.
            if (size > 0)
                monitors.push_back({crtc, XRRAllocGamma(size)});
        }
        XRRFreeScreenResources(resources);
    }

    void CollectAll()
    {
        const CIgnoreErrors ignore;
        for (int screen = 0; screen < ScreenCount(display); ++screen)
            CollectScreen(screen);
        XSync(display, False);
    }

    void FreeMonitors()
    {
        for (const Monitor& monitor : monitors)
            XRRFreeGamma(monitor.gamma);
        monitors.clear();
    }

    void Close()
    {
        FreeMonitors();
        if (display)
            XCloseDisplay(display);
        display = nullptr;
    }
};

CGammaDisplay::CGammaDisplay()
    : d(std::make_unique<Private>())
{
}

CGammaDisplay::~CGammaDisplay()
{
    d->Close();
}

void CGammaDisplay::Collect(const std::string& display)
{
    if (!d->monitors.empty() || d->examined)
        return;
    d->display = XOpenDisplay(display.empty() ? nullptr : display.c_str());
    if (!d->display)
        return;
    d->examined = true;
    int errorBase = 0;
    int major = 0;
    int minor = 0;
    // CRTC gamma came with RandR 1.2; an older server has no ramps to set.
    const bool capable = XRRQueryExtension(d->display, &d->eventBase, &errorBase)
        && XRRQueryVersion(d->display, &major, &minor) && (major > 1 || (major == 1 && minor >= 2));
    if (capable)
        d->CollectAll();
    if (d->monitors.empty())
        d->Close();
}

void CGammaDisplay::Refresh()
{
    if (!d->display)
        return;
    d->FreeMonitors();
    d->CollectAll();
}

int CGammaDisplay::MonitorCount() const
{
    return int(d->monitors.size());
}

std::string CGammaDisplay::DisplayName() const
{
    return d->display ? std::string(DisplayString(d->display)) : std::string();
}

unsigned long CGammaDisplay::MonitorId(int monitor) const
{
    return d->monitors.at(size_t(monitor)).crtc;
}

int CGammaDisplay::RampSize(int monitor) const
{
    return d->monitors.at(size_t(monitor)).gamma->size;
}

bool CGammaDisplay::Read(int monitor, stGammaRamps& ramps) const
{
    const CIgnoreErrors ignore;
    XRRCrtcGamma* gamma = XRRGetCrtcGamma(d->display, d->monitors.at(size_t(monitor)).crtc);
    if (!gamma)
        return false;
    const bool whole = gamma->size == RampSize(monitor);
    if (whole) {
        ramps.red.assign(gamma->red, gamma->red + gamma->size);
        ramps.green.assign(gamma->green, gamma->green + gamma->size);
        ramps.blue.assign(gamma->blue, gamma->blue + gamma->size);
    }
    XRRFreeGamma(gamma);
    return whole;
}

void CGammaDisplay::Resample(const std::uint16_t* source, int sourceSize, std::uint16_t* target, int targetSize)
{
    if (targetSize == sourceSize) {
        for (int i = 0; i < targetSize; ++i)
            target[i] = source[i];
        return;
    }
    if (targetSize == 1) {
        target[0] = source[0];
        return;
    }
    const std::int64_t span = targetSize - 1;
    for (int i = 0; i < targetSize; ++i) {
        const std::int64_t scaled = std::int64_t(i) * (sourceSize - 1);
        const std::int64_t lower = scaled / span;
        const std::int64_t remainder = scaled % span;
        const std::int64_t upper = lower + 1 < sourceSize ? lower + 1 : lower;
        target[i] = std::uint16_t((source[lower] * (span - remainder) + source[upper] * remainder) / span);
    }
}

void CGammaDisplay::Write(const std::uint16_t* red, const std::uint16_t* green, const std::uint16_t* blue, int size)
{
    for (int monitor = 0; monitor < MonitorCount(); ++monitor)
        WriteMonitor(monitor, red, green, blue, size);
    Flush();
}

void CGammaDisplay::WriteMonitor(
    int monitor, const std::uint16_t* red, const std::uint16_t* green, const std::uint16_t* blue, int size)
{
    if (monitor < 0 || monitor >= MonitorCount() || size <= 0)
        return;
    const Private::Monitor& target = d->monitors[size_t(monitor)];
    XRRCrtcGamma* gamma = target.gamma;
    Resample(red, size, gamma->red, gamma->size);
    Resample(green, size, gamma->green, gamma->size);
    Resample(blue, size, gamma->blue, gamma->size);
    const CIgnoreErrors ignore;
    XRRSetCrtcGamma(d->display, target.crtc, gamma);
}

void CGammaDisplay::Flush()
{
    if (!d->display)
        return;
    const CIgnoreErrors ignore;
    XSync(d->display, False);
}

int CGammaDisplay::ConnectionFd() const
{
    return d->display ? ConnectionNumber(d->display) : -1;
}

bool CGammaDisplay::TakeConfigurationChange()
{
    if (!d->display)
        return false;
    const CIgnoreErrors ignore;
    while (XPending(d->display) > 0) {
        XEvent event;
        XNextEvent(d->display, &event);
        if (event.type == d->eventBase + RRScreenChangeNotify || event.type == d->eventBase + RRNotify) {
            XRRUpdateConfiguration(&event);
            d->changed = true;
        }
    }
    const bool changed = d->changed;
    d->changed = false;
    return changed;
}
