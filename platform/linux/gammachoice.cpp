#include "gammachoice.h"

#include <cstring>

#include <QByteArray>

#include <wayland-client.h>

#include "desktopsession.h"
#include "gamma_gnome.h"
#include "gamma_kde.h"
#include "gamma_none.h"
#include "gamma_wlroots.h"
#include "waylandwait.h"

namespace {
constexpr int kProbeTimeoutMs = 2000;
constexpr char kGammaManager[] = "zwlr_gamma_control_manager_v1";

void NoteGlobal(void* data, wl_registry*, uint32_t, const char* interface, uint32_t)
{
    if (std::strcmp(interface, kGammaManager) == 0)
        *static_cast<bool*>(data) = true;
}

void ForgetGlobal(void*, wl_registry*, uint32_t)
{
}

const wl_registry_listener kRegistryListener = {NoteGlobal, ForgetGlobal};

// Whether WAYLAND_DISPLAY accepts a connection, and whether its compositor offers the gamma
// control. An unset name is no session: the library would otherwise try a default socket.
void ProbeWayland(GammaSessionFacts& facts)
{
    if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return;
    wl_display* display = wl_display_connect(nullptr);
    if (!display)
        return;
    facts.waylandSession = true;
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &kRegistryListener, &facts.gammaControl);
    WaylandWait::Roundtrip(display, kProbeTimeoutMs);
    wl_registry_destroy(registry);
    wl_display_disconnect(display);
}
}

namespace GammaChoice {
GammaBackendKind Choose(const GammaSessionFacts& facts)
{
    if (!facts.waylandSession)
        return GammaBackendKind::RandR;
    if (facts.gammaControl)
        return GammaBackendKind::Wlroots;
    if (DesktopSession::Names(facts.desktop, QStringLiteral("GNOME")) && facts.gnomeNightLightSchema)
        return GammaBackendKind::Gnome;
    if (DesktopSession::Names(facts.desktop, QStringLiteral("KDE")) && facts.kwinNightLight)
        return GammaBackendKind::Kde;
    return GammaBackendKind::None;
}

GammaSessionFacts Probe()
{
    GammaSessionFacts facts;
    facts.desktop = qEnvironmentVariable("XDG_CURRENT_DESKTOP");
    ProbeWayland(facts);
    if (!facts.waylandSession || facts.gammaControl)
        return facts;
    if (DesktopSession::Names(facts.desktop, QStringLiteral("GNOME")))
        facts.gnomeNightLightSchema = CGnomeNightLight::Available();
    if (DesktopSession::Names(facts.desktop, QStringLiteral("KDE")))
        facts.kwinNightLight = CKdeNightColor::Available();
    return facts;
}

std::unique_ptr<CGammaBackend> Create(const QString& dataFolder)
{
    const GammaBackendKind kind = Choose(Probe());
    // Settings a run left changed on a desktop this session is not are put back at once. The
    // chosen desktop's are taken over: the stored state tints over them or puts them back, so a
    // restart never shows the user's own Night Light in between.
    if (kind != GammaBackendKind::Gnome)
        CGnomeNightLight::RestoreLeftover(dataFolder);
    if (kind != GammaBackendKind::Kde)
        CKdeNightColor::RestoreLeftover(dataFolder);
    switch (kind) {
    case GammaBackendKind::RandR:
        return nullptr;
    case GammaBackendKind::Wlroots:
        return std::make_unique<CWlrootsGamma>();
    case GammaBackendKind::Gnome:
        return std::make_unique<CGnomeNightLight>(dataFolder);
    case GammaBackendKind::Kde:
        return std::make_unique<CKdeNightColor>(dataFolder);
    case GammaBackendKind::None:
        break;
    }
    return std::make_unique<CNoGamma>();
}
}
