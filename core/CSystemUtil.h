#pragma once

#include <QObject>

#include "deviceinfo.h"

// System services of the tray program: where its files are, the start-with-system entry, the
// start of the prompt sound player, and the machine identity and signature of usage reports.
class CSystemUtil : public QObject
{
    Q_OBJECT
public:
    static CSystemUtil* Instance();

    // The folder of the running program (links resolved); the player and the updater lie beside it.
    QString GetProgramFolder();
    // The per-user data folder, which holds QzConfig.ini and the user's own copies of data files.
    static QString DataFolder();
    // A data file the programs only read: the user's own copy, then the desktop's data folders,
    // then the one installed beside the program. When none exists, the path in the user's folder.
    // For a file this program reads itself, `largestBytes` above 0: the user's copy then counts
    // only as a plain file of at most that size; anything else there is passed over (and no path
    // is given when nothing else is found). The sounds, which the player reads, pass 0.
    static QString LocateDataFile(const QString& relativePath, qint64 largestBytes);

    // Writes the start-with-system entry for the running program for mode 1 or 2; removes it otherwise.
    void SetAutoRun(int mode);
    bool IsAutoRun() const;

    // Starts the sound player for prompt kind 1 (drinking) or 2 (reminder), first cutting off a
    // sound that is still playing; false for other kinds.
    bool PlayPromptSound(int kind);

    // The program's version, "%d.%d.%d.%d", fixed for the life of the process.
    QString GetProgramVersion();
    // The operating system's version (the kernel release), read once.
    QString GetOsVersion();
    QString GetMachineUuid() const;
    QString GetCpuId() const;
    // The first wired Ethernet address that is not all zeros; the last one if all are; empty
    // without any.
    QString GetMacAddress() const;
    // The anonymous device identity: 32 upper-case hexadecimal digits.
    QString GetDeviceId() const;
    // The data text of one report: {"osversion":...,"time":...} with the current second.
    QString GetReportData();
    // 32 lower-case hexadecimal digits that sign a report's identity and data text.
    static QString GetSignature(const QString& deviceId, const QString& macAddress, const QString& data);
    // The identity rules on given parts, which GetDeviceId applies to this machine's.
    static QString DeviceIdFrom(const QString& machineUuid, const QString& macAddress, const QString& cpuId);

    // Reads the machine facts from another source from now on (tests use a tree of their own).
    void SetDeviceInfo(const CDeviceInfo& info);

private:
    CSystemUtil() = default;

    QString m_programFolder;
    QString m_osVersion;
    CDeviceInfo m_deviceInfo;
};
