#pragma once

#include <QString>
#include <QStringList>

// Facts about this machine that make up its anonymous identity in usage reports. Everything
// except the processor comes from the kernel's files below a root folder, "/" normally; tests
// point it at a tree of their own.
class CDeviceInfo
{
public:
    explicit CDeviceInfo(const QString& root = QStringLiteral("/"));

    // The firmware's product UUID; it is readable by root only, so for everyone else the
    // system's machine id stands in. Empty when neither can be read.
    QString ProductUuid() const;
    // Hardware addresses of the wired Ethernet adapters, in the kernel's interface order, as
    // upper-case hexadecimal digits without separators.
    QStringList EthernetAddresses() const;
    // The running kernel's release, as the operating system version.
    QString KernelRelease() const;
    // Feature and signature words of the processor identification instruction, "%08X" each,
    // only the words that are not 0; empty on processors without the instruction.
    static QString CpuId();

private:
    QString ReadLine(const QString& relativePath) const;

    QString m_root;
};
