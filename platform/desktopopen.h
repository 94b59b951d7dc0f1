#pragma once

#include <QString>

namespace DesktopOpen {
// Hands a file to the program the desktop opens it with by default (a package goes to the
// software installer), as a process of its own that outlives the caller. True when that
// process could be started; what it then does with the file is not known here.
bool OpenDetached(const QString& path);
}
