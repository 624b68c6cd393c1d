#pragma once

#include <string>

#include "platform/lumocoreutils/api.h"

// Text helpers of the client's core library. Narrow text is UTF-8.
namespace LumoCoreUtils {

// Decimal, optionally signed and surrounded by blanks; any other text, or a value beyond int,
// gives fallback.
LUMOCOREUTILS_API int toInt(const std::wstring& text, int fallback);

LUMOCOREUTILS_API std::wstring toWideString(const std::string& text);
LUMOCOREUTILS_API std::string toString(const std::wstring& text);

} // namespace LumoCoreUtils
