#include "executable.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace Executable {
QString Path()
{
    const QFileInfo self(QStringLiteral("/proc/self/exe"));
    const QString target = self.canonicalFilePath();
    return target.isEmpty() ? QCoreApplication::applicationFilePath() : target;
}

QString Folder()
{
    return QFileInfo(Path()).absolutePath();
}
}
