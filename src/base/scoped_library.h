#pragma once

#include <windows.h>

#include "base/scoped_generic.h"

// LoadLibrary fails with null; the module is let go with FreeLibrary.
struct LibraryTraits {
    using Type = HMODULE;
    static Type invalid() noexcept { return nullptr; }
    static void release(Type module) noexcept { FreeLibrary(module); }
};
using ScopedLibrary = ScopedGeneric<LibraryTraits>;
