#pragma once

#include <windows.h>
#include <dbghelp.h>

// The one kind of dump the tool and its 64-bit dump program write: all memory, with the handle
// table, unloaded modules, the whole memory map and the threads' details, so that support staff
// can analyse the process as if they had attached to it.
inline constexpr MINIDUMP_TYPE kFullDumpType = static_cast<MINIDUMP_TYPE>(MiniDumpWithFullMemory
    | MiniDumpWithHandleData | MiniDumpWithUnloadedModules | MiniDumpWithFullMemoryInfo
    | MiniDumpWithThreadInfo);
static_assert(kFullDumpType == 0x1826);
