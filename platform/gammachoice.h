#pragma once

#include <memory>

#include <QString>

class CGammaBackend;

enum class GammaBackendKind
{
    RandR,
    Wlroots,
    Gnome,
    Kde,
    None,
};

// What a start finds out about its session, in the order the choice needs it.
struct GammaSessionFacts
{
    // WAYLAND_DISPLAY names a socket that accepted a connection.
    bool waylandSession = false;
    // That compositor offers the wlroots gamma control.
    bool gammaControl = false;
    // XDG_CURRENT_DESKTOP: names separated by colons.
    QString desktop;
    // The GSettings schema of GNOME's Night Light is installed.
    bool gnomeNightLightSchema = false;
    // KWin offers its Night Light on the session bus.
    bool kwinNightLight = false;
};

namespace GammaChoice {
// The first backend that works: wlroots, GNOME, KDE, none on any other Wayland session, and
// RandR on X11.
GammaBackendKind Choose(const GammaSessionFacts& facts);
// Looks at the running session; facts the choice cannot need are left unexamined.
GammaSessionFacts Probe();
// The backend for a Wayland session; null on X11, whose monitors take the program's own ramps.
// A desktop's own settings that an earlier run left changed are put back first, unless the
// chosen backend takes them over; `dataFolder` holds the user's values saved before a change.
std::unique_ptr<CGammaBackend> Create(const QString& dataFolder);
}
