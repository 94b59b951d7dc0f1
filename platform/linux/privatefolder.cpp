#include "privatefolder.h"

#include <cerrno>

#include <QFile>

#include <sys/stat.h>
#include <unistd.h>

namespace PrivateFolder {
bool Ensure(const QString& path)
{
    const QByteArray native = QFile::encodeName(path);
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST)
        return false;
    struct stat info {};
    // lstat, so that a symbolic link someone planted under our name is refused, not followed.
    if (::lstat(native.constData(), &info) != 0)
        return false;
    if (!S_ISDIR(info.st_mode) || info.st_uid != ::getuid())
        return false;
    if ((info.st_mode & 077) != 0 && ::chmod(native.constData(), 0700) != 0)
        return false;
    return true;
}
}
