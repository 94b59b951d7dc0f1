#include "deviceinfo.h"

#include <algorithm>
#include <utility>
#include <vector>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#endif

namespace {
// ARPHRD_ETHER: wired and wireless adapters alike; wireless ones are told apart below.
const QString kEtherType = QStringLiteral("1");
}

CDeviceInfo::CDeviceInfo(const QString& root)
    : m_root(root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/'))
{
}

QString CDeviceInfo::ReadLine(const QString& relativePath) const
{
    QFile file(m_root + relativePath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(file.readLine(256)).trimmed();
}

QString CDeviceInfo::ProductUuid() const
{
    const QString uuid = ReadLine(QStringLiteral("sys/class/dmi/id/product_uuid"));
    if (!uuid.isEmpty())
        return uuid.toUpper();
    return ReadLine(QStringLiteral("etc/machine-id"));
}

QStringList CDeviceInfo::EthernetAddresses() const
{
    const QString netFolder = m_root + QStringLiteral("sys/class/net/");
    std::vector<std::pair<int, QString>> adapters;
    const QStringList names = QDir(netFolder).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::System);
    for (const QString& name : names) {
        const QString relative = QStringLiteral("sys/class/net/") + name;
        if (ReadLine(relative + QStringLiteral("/type")) != kEtherType)
            continue;
        if (QFileInfo::exists(netFolder + name + QStringLiteral("/wireless"))
            || QFileInfo::exists(netFolder + name + QStringLiteral("/phy80211")))
            continue;
        QString address = ReadLine(relative + QStringLiteral("/address"));
        address.remove(QLatin1Char(':'));
        if (address.isEmpty())
            continue;
        adapters.emplace_back(ReadLine(relative + QStringLiteral("/ifindex")).toInt(), address.toUpper());
    }
    std::stable_sort(adapters.begin(), adapters.end(),
        [](const auto& a, const auto& b) { return a.first < b.first; });
    QStringList addresses;
    for (const auto& adapter : adapters)
        addresses << adapter.second;
    return addresses;
}

QString CDeviceInfo::KernelRelease() const
{
    return ReadLine(QStringLiteral("proc/sys/kernel/osrelease"));
}

QString CDeviceInfo::CpuId()
{
    QString text;
#if defined(__i386__) || defined(__x86_64__)
    auto append = [&text](unsigned int word) {
        if (word != 0)
            text += QStringLiteral("%1").arg(word, 8, 16, QLatin1Char('0')).toUpper();
    };
    unsigned int eax = 0;
    unsigned int ebx = 0;
    unsigned int ecx = 0;
    unsigned int edx = 0;
    if (__get_cpuid(1, &eax, &ebx, &ecx, &edx)) {
        append(edx);
        append(eax);
    }
    if (__get_cpuid(3, &eax, &ebx, &ecx, &edx)) {
        append(edx);
        append(ecx);
    }
#endif
    return text;
}
