#include "report/config_folder_exclusion.h"

#include <windows.h>

#include "base/scoped_handle.h"

namespace {

std::wstring withoutTrailingSeparators(std::wstring path)
{
    while (path.size() > 1 && (path.back() == L'\\' || path.back() == L'/')) {
        path.pop_back();
    }
    return path;
}

// Resolves ".", ".." and "/" without touching the disk.
std::wstring fullPath(const std::wstring& path)
{
    const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) {
        return withoutTrailingSeparators(path);
    }
    std::wstring full(needed, L'\0');
    const DWORD length = GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
    full.resize(length < needed ? length : 0);
    return withoutTrailingSeparators(full);
}

// The path the file system itself gives the folder (links followed, short names made long); the
// full path when the folder cannot be opened.
std::wstring realPath(const std::wstring& path)
{
    const std::wstring full = fullPath(path);
    ScopedFileHandle folder(CreateFileW(full.c_str(), FILE_READ_ATTRIBUTES,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
        nullptr));
    if (!folder) {
        return full;
    }
    const DWORD needed = GetFinalPathNameByHandleW(folder.get(), nullptr, 0, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (needed == 0) {
        return full;
    }
    std::wstring real(needed, L'\0');
    const DWORD length = GetFinalPathNameByHandleW(folder.get(), real.data(), needed, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (length == 0 || length >= needed) {
        return full;
    }
    real.resize(length);
    if (real.compare(0, 8, L"\\\\?\\UNC\\") == 0) {
        real = L"\\\\" + real.substr(8);
    } else if (real.compare(0, 4, L"\\\\?\\") == 0) {
        real = real.substr(4);
    }
    return withoutTrailingSeparators(real);
}

bool equalIgnoringCase(const wchar_t* one, const wchar_t* other, size_t length)
{
    return CompareStringOrdinal(one, static_cast<int>(length), other, static_cast<int>(length), TRUE) == CSTR_EQUAL;
}

} // namespace

bool isPathAtOrBelow(const std::wstring& path, const std::wstring& folder)
{
    if (folder.empty() || path.size() < folder.size() || !equalIgnoringCase(path.c_str(), folder.c_str(), folder.size())) {
        return false;
    }
    return path.size() == folder.size() || path[folder.size()] == L'\\' || folder.back() == L'\\';
}

CConfigFolderExclusion::CConfigFolderExclusion(const std::wstring& configFolder)
    : config_(configFolder.empty() ? std::wstring() : realPath(configFolder))
{
}

void CConfigFolderExclusion::beginFolder(const std::wstring& folder)
{
    folderGiven_ = fullPath(folder);
    folderReal_ = realPath(folder);
}

bool CConfigFolderExclusion::excludes(const std::wstring& file) const
{
    if (config_.empty()) {
        return false;
    }
    const std::wstring full = fullPath(file);
    // The walk names files after the folder as given; seen from where the folder really lies.
    if (isPathAtOrBelow(full, folderGiven_)) {
        return isPathAtOrBelow(folderReal_ + full.substr(folderGiven_.size()), config_);
    }
    return isPathAtOrBelow(full, config_);
}
