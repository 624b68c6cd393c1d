#pragma once

#include <string>

// The path as the system spells it in full (GetFullPathNameW), without a length limit; the text
// itself when the system cannot say.
std::wstring fullPathOf(const std::wstring& path);
