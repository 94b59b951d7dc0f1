#include "ProgramProcesses.h"

#include <QDir>
#include <QFile>

namespace {
QByteArray ReadProcFile(const QString& pid, const char* name)
{
    QFile file(QStringLiteral("/proc/%1/%2").arg(pid, QLatin1String(name)));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
}

QList<pid_t> ProgramProcesses(const QString& path, const QString& runtimeFolder)
{
    QList<pid_t> found;
    const QByteArray program = QFile::encodeName(path);
    const QByteArray runtime = "XDG_RUNTIME_DIR=" + QFile::encodeName(runtimeFolder);
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool numeric = false;
        const int pid = entry.toInt(&numeric);
        if (numeric && ReadProcFile(entry, "cmdline").split('\0').value(0) == program
            && ReadProcFile(entry, "environ").split('\0').contains(runtime))
            found << pid_t(pid);
    }
    return found;
}
