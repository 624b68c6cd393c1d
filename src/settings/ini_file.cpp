#include "settings/ini_file.h"

#include <windows.h>

#include <vector>

std::wstring readIniValue(const std::wstring& path, const wchar_t* section, const wchar_t* key)
{
    wchar_t buffer[256] = {};
    const DWORD length = GetPrivateProfileStringW(section, key, L"", buffer, 256, path.c_str());
    return std::wstring(buffer, length);
}

IniSection readIniSection(const std::wstring& path, const wchar_t* section, DWORD maxChars)
{
    // A section that does not fit comes back cut inside a line, with the size less two as its
    // length: read again with twice the room until it fits.
    DWORD size = maxChars < 32767 ? maxChars : 32767;
    for (;;) {
        std::vector<wchar_t> buffer(size, L'\0');
        const DWORD length = GetPrivateProfileSectionW(section, buffer.data(), size, path.c_str());
        const bool cut = length + 2 >= size;
        if (!cut || size >= maxChars) {
            return IniSection{std::wstring(buffer.data(), length), !cut};
        }
        size = size > maxChars / 2 ? maxChars : size * 2;
    }
}
