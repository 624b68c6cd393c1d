#include "decrypt/file_access.h"

#include <windows.h>

#include "base/scoped_handle.h"

namespace {

class CWindowsFileSource final : public CByteSource {
public:
    CWindowsFileSource(ScopedFileHandle file, std::uint64_t size) : file_(std::move(file)), size_(size) {}
    std::uint64_t size() const override { return size_; }

    bool readAt(std::uint64_t offset, void* buffer, std::size_t count) override
    {
        if (offset > size_ || count > size_ - offset) {
            return false;
        }
        auto* out = static_cast<char*>(buffer);
        while (count > 0) {
            const DWORD slice = count < (1u << 30) ? static_cast<DWORD>(count) : (1u << 30);
            OVERLAPPED at = {};
            at.Offset = static_cast<DWORD>(offset);
            at.OffsetHigh = static_cast<DWORD>(offset >> 32);
            DWORD read = 0;
            if (!ReadFile(file_.get(), out, slice, &read, &at) || read != slice) {
                return false;
            }
            out += read;
            offset += read;
            count -= read;
        }
        return true;
    }

private:
    ScopedFileHandle file_;
    std::uint64_t size_;
};

HANDLE handleOf(std::intptr_t value)
{
    return reinterpret_cast<HANDLE>(value);
}

} // namespace

std::unique_ptr<CByteSource> openFileSource(const std::filesystem::path& path)
{
    ScopedFileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
        FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size = {};
    if (!file || GetFileType(file.get()) != FILE_TYPE_DISK || !GetFileSizeEx(file.get(), &size)) {
        return nullptr;
    }
    return std::make_unique<CWindowsFileSource>(std::move(file), static_cast<std::uint64_t>(size.QuadPart));
}

bool isSameFile(const std::filesystem::path& one, const std::filesystem::path& other)
{
    const auto identity = [](const std::filesystem::path& path, BY_HANDLE_FILE_INFORMATION& info) {
        ScopedFileHandle file(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
            nullptr));
        return file && GetFileInformationByHandle(file.get(), &info);
    };
    BY_HANDLE_FILE_INFORMATION a = {};
    BY_HANDLE_FILE_INFORMATION b = {};
    return identity(one, a) && identity(other, b) && a.dwVolumeSerialNumber == b.dwVolumeSerialNumber
        && a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
}

bool pathExists(const std::filesystem::path& path)
{
    if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
        return true;
    }
    const DWORD error = GetLastError();
    return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
}

std::unique_ptr<CCreatedFile> CCreatedFile::createNew(const std::filesystem::path& path)
{
    // CREATE_NEW fails on any existing name, so nothing of the user's is ever opened for writing.
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    return std::unique_ptr<CCreatedFile>(new CCreatedFile(path, reinterpret_cast<std::intptr_t>(file)));
}

CCreatedFile::~CCreatedFile()
{
    closeHandle();
    if (!kept_) {
        DeleteFileW(path_.c_str());
    }
}

void CCreatedFile::closeHandle()
{
    if (open_) {
        CloseHandle(handleOf(handle_));
        open_ = false;
    }
}

bool CCreatedFile::write(const void* data, std::size_t count)
{
    const auto* in = static_cast<const char*>(data);
    while (open_ && count > 0) {
        const DWORD slice = count < (1u << 30) ? static_cast<DWORD>(count) : (1u << 30);
        DWORD written = 0;
        if (!WriteFile(handleOf(handle_), in, slice, &written, nullptr) || written != slice) {
            return false;
        }
        in += written;
        count -= written;
    }
    return open_;
}

bool CCreatedFile::keep()
{
    if (!open_) {
        return false;
    }
    const bool flushed = FlushFileBuffers(handleOf(handle_)) != 0;
    const bool closed = CloseHandle(handleOf(handle_)) != 0;
    open_ = false;
    kept_ = flushed && closed;
    return kept_;
}

bool replaceWithFile(const std::filesystem::path& staged, const std::filesystem::path& target)
{
    return MoveFileExW(staged.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}
