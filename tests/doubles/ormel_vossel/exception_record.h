#pragma once

#include <string>

// An exception as the client hands it to the tool when it crashes: the exception pointers, the
// record (an access violation at an address in this program's own code) and the calling thread's
// context, in one page of this process below 4 GB, since the settings carry the address as 32 bits.
// Writes "THREAD ADDRESS" (hex) to path, for the test to put into the settings as ThreadId and
// ExceptionAddress. False when no such page can be had or the file cannot be written.
bool publishExceptionRecord(const std::wstring& path);
