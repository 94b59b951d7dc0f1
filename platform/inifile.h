#pragma once

#include <QSettings>

namespace IniFile {
// The INI format for QSettings, written whole or not at all. Qt's own IniFormat puts a file cut
// short by a full disk in place of the old one and reports success; with this one a failed write
// leaves the old file as it was, status() says AccessError, and QSettings keeps the values to
// write at the next change. Files are the same text IniFormat reads and writes: "[group]" lines,
// then "key=value" lines. Values are kept as their text in the file, quotes and escapes
// included, so that whatever a hand or another program put there is written back unchanged;
// the values this program writes are plain numbers.
QSettings::Format Format();
}
