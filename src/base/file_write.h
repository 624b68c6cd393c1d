#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>

// Writes all count bytes at data to file, in pieces the system takes in one call. False, with
// the system's error code in error, as soon as a piece fails or is written short.
bool writeWholeFile(HANDLE file, const void* data, std::uint64_t count, DWORD& error);

// For tests: from now on the disk takes only bytesLeft more bytes through writeWholeFile; the
// write that reaches the limit writes up to it and then fails with ERROR_DISK_FULL, as a full disk
// does. std::nullopt lifts the limit.
void limitFileWritesForTesting(std::optional<std::uint64_t> bytesLeft);
