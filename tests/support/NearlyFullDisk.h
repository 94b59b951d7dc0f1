#pragma once

#include <QTemporaryDir>

// A folder on a disk with only a few KiB left, as a user's nearly full disk: a tmpfs of its own
// when the test may mount one (as root), otherwise an ordinary folder where, while Fill() is in
// force, this process may make no file longer than that (RLIMIT_FSIZE). Either way the kernel
// cuts a longer write short and fails the rest, as on a full disk.
class CNearlyFullDisk
{
public:
    static constexpr int FreeBytes = 4096;

    CNearlyFullDisk();
    ~CNearlyFullDisk();

    QString Path() const;
    // Small files may be laid in the folder before; from here until Release() the disk is full.
    void Fill();
    void Release();

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
    bool m_limited = false;
};
