#pragma once

#include <QString>

namespace Executable {
// Absolute path of the running program with symbolic links resolved, so that a link in bin/
// still leads to the folder the companion programs live in.
QString Path();
// The folder of Path().
QString Folder();
}
