#pragma once

#include <QStringList>

class QRegularExpression;

// The files a running process has mapped whose path matches `path`.
QStringList MappedLibraries(qint64 pid, const QRegularExpression& path);

// The OpenGL driver libraries a running process has mapped: vendor libraries (libGLX_mesa,
// libEGL and its vendors), DRI drivers, LLVM, the GL dispatch table and Qt's GL integration
// plugins. Not the dispatchers libGL, libGLX and libGLdispatch: Qt's Gui library links those
// itself, so every Qt program maps them, and they cost a few hundred KiB.
QStringList OpenGlDriverLibraries(qint64 pid);
