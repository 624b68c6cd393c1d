#pragma once

#include <string>

// One value of an initialisation file, as the settings file is read: at most 255 characters,
// empty when the file, section or key is missing.
std::wstring readIniValue(const std::wstring& path, const wchar_t* section, const wchar_t* key);

// A whole section as the system returns it: each line ended by a null character, without the
// final extra null. Empty when the section is missing or empty.
std::wstring readIniSection(const std::wstring& path, const wchar_t* section);
