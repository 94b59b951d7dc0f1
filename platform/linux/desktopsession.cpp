#include "desktopsession.h"

#include <QStringList>

namespace DesktopSession {
bool Names(const QString& desktops, const QString& name)
{
    for (const QString& desktop : desktops.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        if (desktop.trimmed().compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

bool Is(const QString& name)
{
    return Names(qEnvironmentVariable("XDG_CURRENT_DESKTOP"), name);
}
}
