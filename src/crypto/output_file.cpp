#include "crypto/output_file.h"

#include "base/scoped_handle.h"
#include "base/unique_file.h"

bool mayReplaceOutputFile(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES
        || (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0) {
        return false;
    }
    // Asking for the right to delete is refused when the file may not go; nothing is deleted.
    ScopedFileHandle probe(CreateFileW(path.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return probe.isValid();
}

DWORD replaceOutputFile(const std::wstring& from, const std::wstring& to)
{
    if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        return ERROR_SUCCESS;
    }
    const DWORD error = GetLastError();
    if (error != ERROR_NOT_SAME_DEVICE) {
        return error;
    }
    // The staging file's name is one that no file had, so a user's file is never written over,
    // and deleting it on failure removes nothing but this run's copy.
    UniqueFile staging = createFileBeside(to, GENERIC_WRITE, 0);
    if (!staging.file) {
        return staging.error;
    }
    staging.file.reset();
    const std::wstring& staged = staging.path;
    if (!CopyFileW(from.c_str(), staged.c_str(), FALSE)) {
        const DWORD copyError = GetLastError();
        DeleteFileW(staged.c_str());
        return copyError;
    }
    if (!MoveFileExW(staged.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        const DWORD renameError = GetLastError();
        DeleteFileW(staged.c_str());
        return renameError;
    }
    DeleteFileW(from.c_str());
    return ERROR_SUCCESS;
}
