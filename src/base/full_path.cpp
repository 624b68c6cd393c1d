#include "base/full_path.h"

#include <windows.h>

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
    const std::wstring full = fullPathOf(path);
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
    const std::wstring first = comparablePath(a);
    const std::wstring second = comparablePath(b);
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
