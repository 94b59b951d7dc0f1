#pragma once

#include <QList>
#include <QString>

#include <sys/types.h>

// The running processes of the program at `path` that carry `runtimeFolder` as their
// XDG_RUNTIME_DIR: the copies a test started in its own home, also those they started themselves
// (the crash helper, the screen guard), and no other test's.
QList<pid_t> ProgramProcesses(const QString& path, const QString& runtimeFolder);
