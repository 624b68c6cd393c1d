#pragma once

#include <windows.h>

#include <string>

// The output path of a report, where an earlier report (or any file the user named) may already
// lie. That file stays untouched until a finished report takes its place in one step, so a run
// that makes no report never costs the user the file.

// Whether an existing file at path could be replaced: not a folder, not read-only, and not held
// open by anyone who forbids its deletion. Nothing is changed.
bool mayReplaceOutputFile(const std::wstring& path);

// Moves the finished report from to the output path to, replacing a file there. Across volumes the
// report is first copied beside the output path, under a name no other file there has, and then
// renamed over it, so a copy cut short never stands in the earlier file's place. ERROR_SUCCESS, or
// the system's error code.
DWORD replaceOutputFile(const std::wstring& from, const std::wstring& to);
