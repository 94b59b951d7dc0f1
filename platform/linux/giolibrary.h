#pragma once

#include "librarysymbols.h"

// GIO is opened only where a backend really needs it: linked in, it would cost every process about
// 1 MiB resident (GIO and what it brings: GObject, libmount, libblkid, SELinux) for what only
// GNOME sessions use.
namespace GioLibrary {
// The library, opened on first use; null when it is missing. Never closed: GObject's types cannot
// be unloaded.
void* Handle();

// Looks `name` up in GIO; false when the library or the symbol is missing.
template <typename Function>
bool Resolve(const char* name, Function& function)
{
    return LibrarySymbols::Resolve(Handle(), name, function);
}
}
