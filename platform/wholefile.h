#pragma once

#include <QByteArray>
#include <QString>

class QIODevice;

namespace WholeFile {
// Puts `bytes` at `path` whole or not at all: they go to a new file beside it, which replaces
// the old one only once every byte is on disk. QSaveFile alone does not promise that: its
// commit overlooks a write that stopped short and a failed flush of its buffer (a full disk),
// and would put the cut-off file in place. On failure the file at `path` is exactly as it was,
// and `error`, when given, holds the system's reason, or nothing when the disk took only part.
bool Write(const QString& path, const QByteArray& bytes, QString* error = nullptr);

// For code handed an open QSaveFile (QSettings' format hooks): true only when all of `bytes`
// reached the file, buffer flushed, so that the caller may commit.
bool WriteAll(QIODevice& device, const QByteArray& bytes);
}
