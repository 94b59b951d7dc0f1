#pragma once

#include <dlfcn.h>

namespace LibrarySymbols {
// Looks `name` up in a library opened with dlopen; false when it is missing.
template <typename Function>
bool Resolve(void* library, const char* name, Function& function)
{
    function = library ? reinterpret_cast<Function>(dlsym(library, name)) : nullptr;
    return function != nullptr;
}
}
