#pragma once

#include <windows.h>

#include "base/scoped_generic.h"

// Kernel objects that fail as null (mutexes, events, processes, threads).
struct KernelHandleTraits {
    using Type = HANDLE;
    static Type invalid() noexcept { return nullptr; }
    static void release(Type handle) noexcept { CloseHandle(handle); }
};
using ScopedKernelHandle = ScopedGeneric<KernelHandleTraits>;

// Files and pipes from CreateFileW, which fail as INVALID_HANDLE_VALUE.
struct FileHandleTraits {
    using Type = HANDLE;
    static Type invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void release(Type handle) noexcept { CloseHandle(handle); }
};
using ScopedFileHandle = ScopedGeneric<FileHandleTraits>;
