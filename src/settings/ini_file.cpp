#include "settings/ini_file.h"

#include <windows.h>

#include <vector>

std::wstring readIniValue(const std::wstring& path, const wchar_t* section, const wchar_t* key)
{
    wchar_t buffer[256] = {};
    const DWORD length = GetPrivateProfileStringW(section, key, L"", buffer, 256, path.c_str());
    return std::wstring(buffer, length);
}

std::wstring readIniSection(const std::wstring& path, const wchar_t* section)
{
    constexpr DWORD kBufferChars = 32767;
    std::vector<wchar_t> buffer(kBufferChars, L'\0');
    const DWORD length = GetPrivateProfileSectionW(section, buffer.data(), kBufferChars, path.c_str());
    return std::wstring(buffer.data(), length);
}
