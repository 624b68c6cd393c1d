#pragma once

#include <windows.h>

#include "base/scoped_generic.h"

struct RegistryKeyTraits {
    using Type = HKEY;
    static Type invalid() noexcept { return nullptr; }
    static void release(Type key) noexcept { RegCloseKey(key); }
};
using ScopedRegistryKey = ScopedGeneric<RegistryKeyTraits>;
