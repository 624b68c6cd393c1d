#pragma once

#include <cstdio>
#include <string>

// Writes a full dump of the process to path, telling out what it does one line at a time: a line
// when it starts, one with the size written, or one with the failing call and its error. A dump
// that fails or does not complete (cut short, or of a process that ended while it was dumped) is
// deleted, so that no broken file reaches a report. True on success.
bool writeFullDump(unsigned long processId, const std::wstring& path, std::FILE* out);
