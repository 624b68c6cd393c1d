#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

// Whether a dump file is whole. A dump cut short while it was written (a run that was killed, a
// full disk, a process that ended half-way) or a fragment of one copied keeps its header and
// directory at the front, so the sizes and places they name are checked against the file.

// Reads count bytes at offset into buffer; false when not all of them can be read.
using DumpBytesReader = std::function<bool(std::uint64_t offset, void* buffer, std::size_t count)>;

// True when the fileSize bytes that read gives are a complete minidump: the "MDMP" signature and
// the format's version, a stream directory inside the file, every stream inside the file, and
// inside the file too the memory that the memory lists and the threads point to. withMemory: a
// full dump, which must also hold memory ranges.
bool isCompleteMinidump(std::uint64_t fileSize, const DumpBytesReader& read, bool withMemory);

// The same for a file opened with read access, or for a path (false when it cannot be opened).
bool isCompleteMinidumpFile(HANDLE file, bool withMemory);
bool isCompleteMinidumpFile(const std::wstring& path, bool withMemory);

// True when the dump just written to file (read access) is complete and holds memory, and process
// still runs: a process that ended while it was dumped leaves a dump that may read as whole but
// lacks what the process held.
bool isWholeDumpOfRunningProcess(HANDLE process, HANDLE file);
