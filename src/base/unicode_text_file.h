#pragma once

#include <string>

// Writes text as a Unicode text file: bytes FF FE, then UTF-16 little-endian code units, no
// terminator. An empty text writes nothing, so an existing file keeps its content.
void writeUnicodeTextFile(const std::wstring& path, const std::wstring& text);
