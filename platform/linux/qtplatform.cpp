#include "qtplatform.h"

#include <QByteArray>
#include <QString>

namespace {
bool g_ours = false;
}

namespace QtPlatform {
void PreferX11OnWayland()
{
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || qEnvironmentVariableIsEmpty("DISPLAY"))
        return;
    const bool wayland = !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        || qEnvironmentVariable("XDG_SESSION_TYPE") == QLatin1String("wayland");
    if (wayland) {
        qputenv("QT_QPA_PLATFORM", "xcb");
        g_ours = true;
    }
}

void SettleForThisProcess()
{
    if (g_ours)
        qunsetenv("QT_QPA_PLATFORM");
    g_ours = false;
}
}
