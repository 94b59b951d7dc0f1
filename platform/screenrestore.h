#pragma once

#include <string>
#include <vector>

#include "gammadisplay.h"

// The ramps a screen showed before the program first tinted it, kept in a file while the tint is
// on, so that whoever outlives the program (the screen guard, the crash helper, the next start)
// can put them back. The record starts with the kind of display it was taken from; a kind this
// build cannot restore is left alone.
namespace ScreenRestore {
// Writes the record of every listed monitor of `display`, whole or not at all (a temporary file
// renamed over the old record).
bool Save(const std::string& path, const CGammaDisplay& display, const std::vector<stGammaRamps>& ramps);
// Puts the recorded ramps back on the monitors they were taken from and removes the record.
// False when there was no record.
bool Restore(const std::string& path);
// Forgets the record: the program has put the screen back itself.
void Remove(const std::string& path);
}
