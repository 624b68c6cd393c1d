#pragma once

#include <cstdint>
#include <string>

#include "platform/vosselutils/api.h"

// Text helpers of the client's utility library. Narrow text is UTF-8.
namespace vosselutils {

VOSSELUTILS_API std::wstring toWideString(const char* text);
VOSSELUTILS_API std::wstring toWideString(const std::string& text);
VOSSELUTILS_API std::wstring toWideString(const std::wstring& text);
// The number as decimal digits.
VOSSELUTILS_API std::wstring toWideString(std::uint32_t number);

VOSSELUTILS_API std::string toString(const std::wstring& text);

// A lower-case copy of exactly the same length, code unit for code unit.
VOSSELUTILS_API std::wstring toLowercase(const std::wstring& text);

// "1", "true", "yes", "on" give true and "0", "false", "no", "off" false, in any case; any other
// text gives fallback.
VOSSELUTILS_API bool toBool(const std::wstring& text, bool fallback = false);

// Decimal digits, optionally surrounded by blanks; any other text, or a value beyond 32 bits,
// gives 0.
VOSSELUTILS_API unsigned long toUnsignedLong(const std::wstring& text);

// Replaces every occurrence of search in text; an empty search changes nothing.
VOSSELUTILS_API void replaceAll(std::wstring& text, std::wstring search, std::wstring replacement);
VOSSELUTILS_API void replaceAll(std::string& text, std::string search, std::string replacement);

// Overwrites the characters before the string lets go of them, then empties it.
VOSSELUTILS_API void secureEraseString(std::wstring& text);

} // namespace vosselutils
