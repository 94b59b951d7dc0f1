#pragma once

#include <QString>

namespace DesktopSession {
// Whether `desktops`, the colon-separated list of XDG_CURRENT_DESKTOP, names `name`.
bool Names(const QString& desktops, const QString& name);
// Whether the running session's XDG_CURRENT_DESKTOP names `name`.
bool Is(const QString& name);
}
