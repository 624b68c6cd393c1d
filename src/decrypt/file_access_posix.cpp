#include "decrypt/file_access.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace {

class CPosixFileSource final : public CByteSource {
public:
    CPosixFileSource(int file, std::uint64_t size) : file_(file), size_(size) {}
    ~CPosixFileSource() override { close(file_); }
    CPosixFileSource(const CPosixFileSource&) = delete;
    CPosixFileSource& operator=(const CPosixFileSource&) = delete;
    std::uint64_t size() const override { return size_; }

    bool readAt(std::uint64_t offset, void* buffer, std::size_t count) override
    {
        if (offset > size_ || count > size_ - offset) {
            return false;
        }
        auto* out = static_cast<char*>(buffer);
        while (count > 0) {
            const ssize_t read = pread(file_, out, count, static_cast<off_t>(offset));
            if (read < 0 && errno == EINTR) {
                continue;
            }
            if (read <= 0) {
                return false;
            }
            out += read;
            offset += static_cast<std::uint64_t>(read);
            count -= static_cast<std::size_t>(read);
        }
        return true;
    }

private:
    int file_;
    std::uint64_t size_;
};

} // namespace

std::unique_ptr<CByteSource> openFileSource(const std::filesystem::path& path)
{
    const int file = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (file < 0) {
        return nullptr;
    }
    struct stat info = {};
    if (fstat(file, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(file);
        return nullptr;
    }
    return std::make_unique<CPosixFileSource>(file, static_cast<std::uint64_t>(info.st_size));
}

bool isSameFile(const std::filesystem::path& one, const std::filesystem::path& other)
{
    struct stat a = {};
    struct stat b = {};
    return stat(one.c_str(), &a) == 0 && stat(other.c_str(), &b) == 0 && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool pathExists(const std::filesystem::path& path)
{
    struct stat info = {};
    return lstat(path.c_str(), &info) == 0 || errno != ENOENT;
}

std::unique_ptr<CCreatedFile> CCreatedFile::createNew(const std::filesystem::path& path)
{
    // O_EXCL fails on any existing name, a link included, so nothing of the user's is ever opened.
    const int file = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (file < 0) {
        return nullptr;
    }
    return std::unique_ptr<CCreatedFile>(new CCreatedFile(path, file));
}

CCreatedFile::~CCreatedFile()
{
    closeHandle();
    if (!kept_) {
        unlink(path_.c_str());
    }
}

void CCreatedFile::closeHandle()
{
    if (open_) {
        close(static_cast<int>(handle_));
        open_ = false;
    }
}

bool CCreatedFile::write(const void* data, std::size_t count)
{
    const auto* in = static_cast<const char*>(data);
    while (open_ && count > 0) {
        const ssize_t written = ::write(static_cast<int>(handle_), in, count);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        in += written;
        count -= static_cast<std::size_t>(written);
    }
    return open_;
}

bool CCreatedFile::keep()
{
    if (!open_) {
        return false;
    }
    const bool synced = fsync(static_cast<int>(handle_)) == 0;
    const bool closed = close(static_cast<int>(handle_)) == 0;
    open_ = false;
    kept_ = synced && closed;
    return kept_;
}

bool replaceWithFile(const std::filesystem::path& staged, const std::filesystem::path& target)
{
    return std::rename(staged.c_str(), target.c_str()) == 0;
}
