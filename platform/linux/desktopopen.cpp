#include "desktopopen.h"

#include <QFileInfo>
#include <QProcess>

namespace DesktopOpen {
bool OpenDetached(const QString& path)
{
    const QFileInfo file(path);
    if (!file.isFile())
        return false;
    // xdg-open asks the running desktop for the file's default program, whichever desktop it is.
    return QProcess::startDetached(QStringLiteral("xdg-open"), {file.absoluteFilePath()});
}
}
