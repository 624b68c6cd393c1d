#pragma once

#include <string>

// The path as the system spells it in full (GetFullPathNameW), without a length limit; the text
// itself when the system cannot say.
std::wstring fullPathOf(const std::wstring& path);

// The path in a form that two spellings of one file share: in full, with the long names of the
// folders that exist in place of their short 8.3 names. Names are still to be compared without
// regard to case, as the file system compares them.
std::wstring comparablePath(const std::wstring& path);

// comparablePath in upper case: one key for every spelling of a path, for looking paths up.
std::wstring pathKey(const std::wstring& path);

// Whether a and b name the same file, however each is spelt; an empty path names none.
bool isSamePath(const std::wstring& a, const std::wstring& b);

// Whether path, however spelt, is folder followed by one name without a backslash: an entry
// directly inside folder when folder ends in a backslash, as a listing of folder + "*" finds them.
// name receives that name.
bool isEntryOfFolder(const std::wstring& path, const std::wstring& folder, std::wstring& name);
