#pragma once

#include <QString>

// The update service names the installer by its download address; the installer is saved
// under the address's last path segment. The address comes from the network, so only a plain
// file name from an http or https address is accepted.
class CInstallerAddress
{
public:
    // The file name to save the installer as, or empty when the address must not be used: not
    // http/https, no host, or a last segment that is empty, "." or "..", or holds a path
    // separator or a NUL (also when written percent-encoded).
    static QString FileName(const QString& address);
};
