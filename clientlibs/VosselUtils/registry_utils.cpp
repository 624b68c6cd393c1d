#include "platform/vosselutils/registry_utils.h"

#include <vector>

#include "base/scoped_registry_key.h"

namespace vosselutils {

std::wstring RegistryUtils::readRegistryKeyStringValue(HKEY root, const std::wstring& subKey,
    const std::wstring& valueName, REGSAM access)
{
    HKEY opened = nullptr;
    if (RegOpenKeyExW(root, subKey.c_str(), 0, access, &opened) != ERROR_SUCCESS) {
        return {};
    }
    ScopedRegistryKey key(opened);

    DWORD type = 0;
    DWORD bytes = 0;
    if (RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS
        || (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return {};
    }
    // The stored data need not be terminated, nor even a whole number of characters.
    std::vector<wchar_t> buffer((bytes + 1) / sizeof(wchar_t) + 1, L'\0');
    DWORD size = static_cast<DWORD>((buffer.size() - 1) * sizeof(wchar_t));
    if (RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &type,
            reinterpret_cast<BYTE*>(buffer.data()), &size) != ERROR_SUCCESS
        || (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return {};
    }
    const size_t chars = size / sizeof(wchar_t);
    std::wstring value(buffer.data(), chars);
    const size_t terminator = value.find(L'\0');
    if (terminator != std::wstring::npos) {
        value.resize(terminator);
    }
    return value;
}

} // namespace vosselutils
