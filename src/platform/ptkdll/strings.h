#pragma once

#include <cstddef>

#include "platform/ptkdll/api.h"

// The number of characters before the first null, looking at no more than maxLength characters;
// a maximum with all bits set means no limit. A null text has length 0.
PTKDLL_API std::size_t at_str_len(const wchar_t* text, std::size_t maxLength);
