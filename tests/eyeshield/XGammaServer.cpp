#include "XGammaServer.h"

#include <cmath>

#include <QTest>

#include "core/CGammaRamp.h"

// Xlib last: its macros would clash with Qt's headers.
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

namespace {
template <typename Visit>
bool ForEachCrtc(const QByteArray& name, Visit visit)
{
    Display* display = XOpenDisplay(name.constData());
    if (!display)
        return false;
    for (int screen = 0; screen < ScreenCount(display); ++screen) {
        XRRScreenResources* resources = XRRGetScreenResourcesCurrent(display, RootWindow(display, screen));
        if (!resources)
            continue;
        for (int i = 0; i < resources->ncrtc; ++i) {
            XRRCrtcInfo* info = XRRGetCrtcInfo(display, resources, resources->crtcs[i]);
            if (info && info->noutput > 0)
                visit(display, resources->crtcs[i]);
            if (info)
                XRRFreeCrtcInfo(info);
        }
        XRRFreeScreenResources(resources);
    }
    XSync(display, False);
    XCloseDisplay(display);
    return true;
}

stCrtcGamma FromRamp(const CGammaRamp& ramp)
{
    stCrtcGamma gamma;
    for (int i = 0; i < CGammaRamp::Size; ++i) {
        gamma.red << ramp.Red()[i];
        gamma.green << ramp.Green()[i];
        gamma.blue << ramp.Blue()[i];
    }
    return gamma;
}
}

CXGammaServer::CXGammaServer(const QStringList& screens, const QStringList& options)
    : m_server(screens, options)
{
}

QByteArray CXGammaServer::DisplayName() const
{
    return m_server.DisplayName();
}

std::vector<stCrtcGamma> CXGammaServer::ReadGamma() const
{
    std::vector<stCrtcGamma> all;
    ForEachCrtc(DisplayName(), [&all](Display* display, RRCrtc crtc) {
        stCrtcGamma read;
        if (XRRCrtcGamma* gamma = XRRGetCrtcGamma(display, crtc)) {
            for (int i = 0; i < gamma->size; ++i) {
                read.red << gamma->red[i];
                read.green << gamma->green[i];
                read.blue << gamma->blue[i];
            }
            XRRFreeGamma(gamma);
        }
        all.push_back(read);
    });
    return all;
}

bool CXGammaServer::WriteGamma(const stCrtcGamma& wanted) const
{
    return ForEachCrtc(DisplayName(), [&wanted](Display* display, RRCrtc crtc) {
        const int size = wanted.red.size();
        XRRCrtcGamma* gamma = XRRAllocGamma(size);
        for (int i = 0; i < size; ++i) {
            gamma->red[i] = wanted.red[i];
            gamma->green[i] = wanted.green[i];
            gamma->blue[i] = wanted.blue[i];
        }
        XRRSetCrtcGamma(display, crtc, gamma);
        XRRFreeGamma(gamma);
    });
}

bool CXGammaServer::SwitchMonitorsOffAndOn() const
{
    return ForEachCrtc(DisplayName(), [](Display* display, RRCrtc crtc) {
        XRRScreenResources* resources = XRRGetScreenResourcesCurrent(display, DefaultRootWindow(display));
        XRRCrtcInfo* info = XRRGetCrtcInfo(display, resources, crtc);
        XRRSetCrtcConfig(display, resources, crtc, CurrentTime, 0, 0, None, RR_Rotate_0, nullptr, 0);
        XRRSetCrtcConfig(display, resources, crtc, CurrentTime, info->x, info->y, info->mode, info->rotation,
            info->outputs, info->noutput);
        XRRFreeCrtcInfo(info);
        XRRFreeScreenResources(resources);
    });
}

stCrtcGamma CXGammaServer::Expected(int kelvin)
{
    CGammaRamp ramp;
    ramp.FillColorTemperature(kelvin);
    return FromRamp(ramp);
}

stCrtcGamma CXGammaServer::Linear()
{
    CGammaRamp ramp;
    ramp.FillLinear();
    return FromRamp(ramp);
}

stCrtcGamma CXGammaServer::Marker()
{
    stCrtcGamma gamma;
    for (int i = 0; i < CGammaRamp::Size; ++i) {
        gamma.red << quint16(60000 - i * 100);
        gamma.green << quint16(60000 - i * 50);
        gamma.blue << quint16(60000 - i * 25);
    }
    return gamma;
}

stCrtcGamma CXGammaServer::Calibration()
{
    stCrtcGamma gamma;
    for (int i = 0; i < CGammaRamp::Size; ++i) {
        const double level = i / 255.0;
        gamma.red << quint16(65535 * std::pow(level, 0.7));
        gamma.green << quint16(65535 * std::pow(level, 1.3));
        gamma.blue << quint16(1000 + i * 230);
    }
    return gamma;
}

stCrtcGamma CXGammaServer::Expected(int kelvin, const stCrtcGamma& calibration)
{
    const CGammaRamp::Multipliers m = CGammaRamp::ChannelMultipliers(kelvin);
    stCrtcGamma gamma;
    for (int i = 0; i < calibration.red.size(); ++i) {
        // Each entry scaled by its channel's share of full strength (multiplier / 256).
        gamma.red << quint16(float(calibration.red[i]) / 256.0f * m.red);
        gamma.green << quint16(float(calibration.green[i]) / 256.0f * m.green);
        gamma.blue << quint16(float(calibration.blue[i]) / 256.0f * m.blue);
    }
    return gamma;
}

bool operator==(const stCrtcGamma& a, const stCrtcGamma& b)
{
    return a.red == b.red && a.green == b.green && a.blue == b.blue;
}

char* toString(const stCrtcGamma& gamma)
{
    auto last = [](const QVector<quint16>& channel) {
        return channel.isEmpty() ? QByteArray("-") : QByteArray::number(channel.last());
    };
    return QTest::toString(QByteArray("ramp of ") + QByteArray::number(gamma.red.size()) + " entries ending "
        + last(gamma.red) + '/' + last(gamma.green) + '/' + last(gamma.blue));
}
