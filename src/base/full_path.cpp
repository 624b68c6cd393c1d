#include "base/full_path.h"

#include <windows.h>

#include <string_view>

namespace {

std::wstring longPathOf(const std::wstring& path)
{
    const DWORD needed = GetLongPathNameW(path.c_str(), nullptr, 0);
    if (needed == 0) {
        return {};
    }
    std::wstring longPath(needed, L'\0');
    const DWORD length = GetLongPathNameW(path.c_str(), longPath.data(), needed);
    if (length == 0 || length >= needed) {
        return {};
    }
    longPath.resize(length);
    return longPath;
}

bool equalIgnoringCase(const wchar_t* a, std::size_t aLength, const wchar_t* b, std::size_t bLength)
{
    return CompareStringOrdinal(a, static_cast<int>(aLength), b, static_cast<int>(bLength), TRUE) == CSTR_EQUAL;
}

// comparablePath of a path already in full.
std::wstring comparableFullPath(const std::wstring& full)
{
    const std::wstring whole = longPathOf(full);
    if (!whole.empty()) {
        return whole;
    }
    // A file not made yet: its folder usually exists.
    const std::size_t slash = full.find_last_of(L'\\');
    if (slash == std::wstring::npos || slash + 1 == full.size()) {
        return full;
    }
    const std::wstring folder = longPathOf(full.substr(0, slash + 1));
    return folder.empty() ? full : folder + full.substr(slash + 1);
}

// What follows the last backslash of a full path (GetFullPathNameW has turned slashes into them).
std::wstring_view ownName(const std::wstring& fullPath)
{
    const std::size_t cut = fullPath.find_last_of(L'\\');
    return cut == std::wstring::npos ? std::wstring_view(fullPath) : std::wstring_view(fullPath).substr(cut + 1);
}

} // namespace

std::wstring fullPathOf(const std::wstring& path)
{
    const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) {
        return path;
    }
    std::wstring full(needed, L'\0');
    const DWORD length = GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed) {
        return path;
    }
    full.resize(length);
    return full;
}

std::wstring comparablePath(const std::wstring& path)
{
    return comparableFullPath(fullPathOf(path));
}

std::wstring pathKey(const std::wstring& path)
{
    std::wstring key = comparablePath(path);
    if (!key.empty()) {
        // The file system's own case rule, as CompareStringOrdinal ignoring case applies it.
        CharUpperBuffW(key.data(), static_cast<DWORD>(key.size()));
    }
    return key;
}

bool isSamePath(const std::wstring& a, const std::wstring& b)
{
    if (a.empty() || b.empty()) {
        return false;
    }
    // Long names cost a folder search for every part of a path, and the run asks this of a dozen
    // working files before anything is collected. Two spellings of one file can differ in the
    // file's own name only where one of them is a short (8.3) name, and the short names the system
    // makes hold a "~": two other names that differ are two files, without asking.
    const std::wstring fullA = fullPathOf(a);
    const std::wstring fullB = fullPathOf(b);
    const std::wstring_view nameA = ownName(fullA);
    const std::wstring_view nameB = ownName(fullB);
    if (!equalIgnoringCase(nameA.data(), nameA.size(), nameB.data(), nameB.size())
        && nameA.find(L'~') == std::wstring_view::npos && nameB.find(L'~') == std::wstring_view::npos) {
        return false;
    }
    const std::wstring first = comparableFullPath(fullA);
    const std::wstring second = comparableFullPath(fullB);
    return equalIgnoringCase(first.data(), first.size(), second.data(), second.size());
}

bool isEntryOfFolder(const std::wstring& path, const std::wstring& folder, std::wstring& name)
{
    if (path.empty() || folder.empty()) {
        return false;
    }
    const std::wstring file = comparablePath(path);
    std::wstring within = comparablePath(folder);
    if (folder.back() == L'\\' && (within.empty() || within.back() != L'\\')) {
        within += L'\\';
    }
    if (file.size() <= within.size() || !equalIgnoringCase(file.data(), within.size(), within.data(), within.size())) {
        return false;
    }
    const std::wstring rest = file.substr(within.size());
    if (rest.find(L'\\') != std::wstring::npos) {
        return false;
    }
    name = rest;
    return true;
}
