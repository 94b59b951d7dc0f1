#include "gammadisplay.h"

#include <vector>

#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

namespace {
// Xlib's own error handler ends the process; a monitor that refuses a ramp must not.
int IgnoreError(Display*, XErrorEvent*)
{
    return 0;
}
}

struct CGammaDisplay::Private
{
    struct Monitor
    {
        RRCrtc crtc = 0;
        XRRCrtcGamma* gamma = nullptr;
    };

    Display* display = nullptr;
    std::vector<Monitor> monitors;
    // A display that was reached and offered no ramps will not offer any later: a change of the
    // monitors restarts the program.
    bool examined = false;

    void CollectScreen(int screen)
    {
        XRRScreenResources* resources = XRRGetScreenResourcesCurrent(display, RootWindow(display, screen));
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

    void Close()
    {
        for (const Monitor& monitor : monitors)
            XRRFreeGamma(monitor.gamma);
        monitors.clear();
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

void CGammaDisplay::Collect()
{
    if (!d->monitors.empty() || d->examined)
        return;
    d->display = XOpenDisplay(nullptr);
    if (!d->display)
        return;
    d->examined = true;
    int eventBase = 0;
    int errorBase = 0;
    int major = 0;
    int minor = 0;
    // CRTC gamma came with RandR 1.2; an older server has no ramps to set.
    const bool capable = XRRQueryExtension(d->display, &eventBase, &errorBase)
        && XRRQueryVersion(d->display, &major, &minor) && (major > 1 || (major == 1 && minor >= 2));
    if (capable) {
        XErrorHandler previous = XSetErrorHandler(IgnoreError);
        for (int screen = 0; screen < ScreenCount(d->display); ++screen)
            d->CollectScreen(screen);
        XSync(d->display, False);
        XSetErrorHandler(previous);
    }
    if (d->monitors.empty())
        d->Close();
}

void CGammaDisplay::Resample(const quint16* source, int sourceSize, quint16* target, int targetSize)
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
    const qint64 span = targetSize - 1;
    for (int i = 0; i < targetSize; ++i) {
        const qint64 scaled = qint64(i) * (sourceSize - 1);
        const qint64 lower = scaled / span;
        const qint64 remainder = scaled % span;
        const qint64 upper = lower + 1 < sourceSize ? lower + 1 : lower;
        target[i] = quint16((source[lower] * (span - remainder) + source[upper] * remainder) / span);
    }
}

int CGammaDisplay::MonitorCount() const
{
    return int(d->monitors.size());
}

void CGammaDisplay::Write(const quint16* red, const quint16* green, const quint16* blue, int size)
{
    if (d->monitors.empty() || size <= 0)
        return;
    XErrorHandler previous = XSetErrorHandler(IgnoreError);
    for (const Private::Monitor& monitor : d->monitors) {
        XRRCrtcGamma* gamma = monitor.gamma;
        Resample(red, size, gamma->red, gamma->size);
        Resample(green, size, gamma->green, gamma->size);
        Resample(blue, size, gamma->blue, gamma->size);
        XRRSetCrtcGamma(d->display, monitor.crtc, gamma);
    }
    XSync(d->display, False);
    XSetErrorHandler(previous);
}
