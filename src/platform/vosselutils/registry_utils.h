#pragma once

#include <windows.h>

#include <string>

#include "platform/vosselutils/api.h"

namespace vosselutils {

class VOSSELUTILS_API RegistryUtils {
public:
    // The text of a string value (REG_SZ or REG_EXPAND_SZ, not expanded); empty text when the key
    // or value is missing, cannot be opened with access, or holds another type.
    static std::wstring readRegistryKeyStringValue(HKEY root, const std::wstring& subKey,
        const std::wstring& valueName, REGSAM access);
};

} // namespace vosselutils
