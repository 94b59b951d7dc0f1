#include "giolibrary.h"

#include <dlfcn.h>

namespace GioLibrary {
void* Handle()
{
    static void* const library = dlopen("libgio-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
    return library;
}
}
