#include "MappedLibraries.h"

#include <QFile>
#include <QRegularExpression>

QStringList MappedLibraries(qint64 pid, const QRegularExpression& path)
{
    QStringList found;
    QFile maps(QStringLiteral("/proc/%1/maps").arg(pid));
    if (!maps.open(QIODevice::ReadOnly))
        return {QStringLiteral("unreadable: ") + maps.fileName()};
    for (const QByteArray& line : maps.readAll().split('\n')) {
        const int start = line.indexOf('/');
        if (start < 0)
            continue;
        const QString file = QString::fromLocal8Bit(line.mid(start));
        if (path.match(file).hasMatch() && !found.contains(file))
            found << file;
    }
    return found;
}

QStringList OpenGlDriverLibraries(qint64 pid)
{
    static const QRegularExpression driver(QStringLiteral(
        "/(libGLX_[^/]*|libEGL[^/]*|[^/]*_dri\\.so[^/]*|libLLVM[^/]*|libglapi[^/]*|libgbm[^/]*|libqxcb-[^/]*-integration\\.so)$"));
    return MappedLibraries(pid, driver);
}
