#pragma once

#include <map>
#include <string>
#include <vector>

#include "gammadisplay.h"

// The ramps a screen showed before the program first tinted it, kept in a record while the tint
// is on, so that whoever outlives the program (the screen guard, the crash helper, the next start)
// can put them back. The record starts with the kind of display it was taken from; a kind this
// build cannot restore is left alone.
namespace ScreenRestore {
// The largest record read: a few hundred KiB hold the ramps of more monitors than any desk has.
constexpr std::size_t MaximumRecordBytes = 512 * 1024;

// The record of every listed monitor of `display`, `ramps` in the display's order.
std::string Record(const CGammaDisplay& display, const std::vector<stGammaRamps>& ramps);
// Writes a record to `path` whole or not at all; false when it could not.
bool Save(const std::string& path, const std::string& record);
// The display a record was taken from and its ramps by monitor; false for anything that is not a
// whole record.
bool Parse(const std::string& record, std::string& displayName, std::map<unsigned long, stGammaRamps>& ramps);
// Reads the record at `path`; whatever lies there that is not one (a link, a FIFO, something too
// large) is removed, and false returned.
bool Load(const std::string& path, std::string& record);
// Puts the ramps of a record back on the monitors they were taken from.
bool RestoreRecord(const std::string& record);
// Loads the record at `path`, puts it back and removes it. False when there was none.
bool Restore(const std::string& path);
// Forgets the record: the program has put the screen back itself.
void Remove(const std::string& path);
}
