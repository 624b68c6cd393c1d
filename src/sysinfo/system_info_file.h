#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "base/scoped_stdio_file.h"

// The system-information file opened for appending in text mode, created when missing; empty when
// it cannot be opened.
ScopedStdioFile openSystemInfoFile(const std::wstring& path);

// Writes text as one byte per character (a character above U+00FF, which has no byte of its own,
// as "?"); the text mode stores each line feed as CR LF.
void writeSystemInfoText(std::FILE* file, std::wstring_view text);

// Appends the bytes of the file at from, as they are, to the file at to; nothing when from cannot
// be read. A program's output is its own: no line end is changed.
void appendFileBytes(const std::wstring& to, const std::wstring& from);
