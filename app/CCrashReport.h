#pragma once

#include <QString>

// The crash helper: a fresh process started by the crash handler, because a crashed process
// can no longer safely show a window or use the network.
namespace CCrashReport {
// The first argument that makes a start of the program a crash helper.
inline const QString Mode = QStringLiteral("--crash-report");
// Tells the user about the crash and reports it; returns the exit status.
int Run(const QString& code, const QString& address);
}
