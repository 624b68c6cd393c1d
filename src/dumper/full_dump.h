#pragma once

#include <cstdio>
#include <string>

// Writes a full dump of the process to path, telling out what it does one line at a time: a line
// when it starts, one with the size written, or one with the failing call and its error. A dump
// that fails is deleted, so that no broken file reaches a report. True on success.
bool writeFullDump(unsigned long processId, const std::wstring& path, std::FILE* out);
