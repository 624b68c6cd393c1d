#pragma once

#include <windows.h>

#include <string>

// One value of an initialisation file, as the settings file is read: at most 255 characters,
// empty when the file, section or key is missing.
std::wstring readIniValue(const std::wstring& path, const wchar_t* section, const wchar_t* key);

// A whole section as the system returns it: each line ended by a null character, without the
// final extra null. Empty when the section is missing or empty.
struct IniSection {
    std::wstring text;
    // False when the section did not fit in maxChars characters: text then ends inside a line.
    bool complete = true;
};
IniSection readIniSection(const std::wstring& path, const wchar_t* section, DWORD maxChars = 16u << 20);
