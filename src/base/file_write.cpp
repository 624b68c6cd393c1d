#include "base/file_write.h"

#include <algorithm>
#include <mutex>

namespace {

constexpr DWORD kLargestWrite = 64u << 20;

struct WriteLimit {
    std::mutex mutex;
    std::optional<std::uint64_t> bytesLeft;
};

WriteLimit& writeLimit()
{
    static WriteLimit limit;
    return limit;
}

// WriteFile, held to the test's limit when one is set.
BOOL writePiece(HANDLE file, const unsigned char* data, DWORD count, DWORD* written)
{
    WriteLimit& limit = writeLimit();
    std::lock_guard<std::mutex> lock(limit.mutex);
    if (!limit.bytesLeft || *limit.bytesLeft >= count) {
        const BOOL ok = WriteFile(file, data, count, written, nullptr);
        if (ok && limit.bytesLeft) {
            *limit.bytesLeft -= *written;
        }
        return ok;
    }
    const DWORD allowed = static_cast<DWORD>(*limit.bytesLeft);
    DWORD partial = 0;
    if (allowed > 0) {
        WriteFile(file, data, allowed, &partial, nullptr);
    }
    *limit.bytesLeft -= partial;
    *written = partial;
    SetLastError(ERROR_DISK_FULL);
    return FALSE;
}

} // namespace

bool writeWholeFile(HANDLE file, const void* data, std::uint64_t count, DWORD& error)
{
    const auto* bytes = static_cast<const unsigned char*>(data);
    while (count > 0) {
        const DWORD piece = static_cast<DWORD>(std::min<std::uint64_t>(count, kLargestWrite));
        DWORD written = 0;
        if (!writePiece(file, bytes, piece, &written)) {
            error = GetLastError();
            return false;
        }
        // A disk file takes all or fails; a short count without an error is a failure all the same.
        if (written != piece) {
            error = ERROR_WRITE_FAULT;
            return false;
        }
        bytes += written;
        count -= written;
    }
    error = ERROR_SUCCESS;
    return true;
}

void limitFileWritesForTesting(std::optional<std::uint64_t> bytesLeft)
{
    WriteLimit& limit = writeLimit();
    std::lock_guard<std::mutex> lock(limit.mutex);
    limit.bytesLeft = bytesLeft;
}
