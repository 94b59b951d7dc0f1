#include "qtplatform.h"

#include <QByteArray>
#include <QString>

namespace QtPlatform {
void PreferX11OnWayland()
{
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || qEnvironmentVariableIsEmpty("DISPLAY"))
        return;
    const bool wayland = !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        || qEnvironmentVariable("XDG_SESSION_TYPE") == QLatin1String("wayland");
    if (wayland)
        qputenv("QT_QPA_PLATFORM", "xcb");
}
}
