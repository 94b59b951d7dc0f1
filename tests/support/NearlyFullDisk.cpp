#include "NearlyFullDisk.h"

#include <QProcess>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

CNearlyFullDisk::CNearlyFullDisk()
{
    // Two pages: one for the files laid before Fill(), one left free.
    m_mounted = geteuid() == 0
        && QProcess::execute(QStringLiteral("mount"),
               {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                   QStringLiteral("size=%1,mode=0700").arg(2 * FreeBytes), QStringLiteral("tmpfs"), m_dir.path()})
            == 0;
}

CNearlyFullDisk::~CNearlyFullDisk()
{
    Release();
    if (m_mounted)
        QProcess::execute(QStringLiteral("umount"), {m_dir.path()});
}

QString CNearlyFullDisk::Path() const
{
    return m_dir.path();
}

void CNearlyFullDisk::Fill()
{
    if (m_mounted || m_limited)
        return;
    // Past the limit the kernel sends SIGXFSZ, which would end the test instead of failing the write.
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{rlim_t(FreeBytes), RLIM_INFINITY};
    m_limited = setrlimit(RLIMIT_FSIZE, &limit) == 0;
}

void CNearlyFullDisk::Release()
{
    if (!m_limited)
        return;
    const rlimit unlimited{RLIM_INFINITY, RLIM_INFINITY};
    setrlimit(RLIMIT_FSIZE, &unlimited);
    m_limited = false;
}
