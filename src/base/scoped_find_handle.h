#pragma once

#include <windows.h>

#include "base/scoped_generic.h"

// FindFirstFileW and friends fail as INVALID_HANDLE_VALUE and are closed with FindClose.
struct FindHandleTraits {
    using Type = HANDLE;
    static Type invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void release(Type handle) noexcept { FindClose(handle); }
};
using ScopedFindHandle = ScopedGeneric<FindHandleTraits>;
