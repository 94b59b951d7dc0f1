#pragma once

#include <QString>

namespace PrivateFolder {
// Makes sure `path` is a real folder (not a symbolic link) that belongs to the current user and
// that nobody else may enter, creating it with mode 0700 when missing. The parent must exist.
// False when the path is taken by something that is not such a folder.
bool Ensure(const QString& path);
}
