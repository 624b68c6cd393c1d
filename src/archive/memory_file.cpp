#include "archive/memory_file.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "archive/data_stream.h"

namespace {
MemoryFile g_memoryFile = {};

constexpr std::uint64_t kGrowthStep = 16 * 1024 * 1024;
} // namespace

MemoryFile& theMemoryFile()
{
    return g_memoryFile;
}

std::string memoryFileName(const void* buffer, std::uint32_t capacity)
{
    char name[256] = {};
    std::snprintf(name, sizeof(name), "%" PRIxPTR "+%" PRIx32, reinterpret_cast<std::uintptr_t>(buffer), capacity);
    return name;
}

std::uint32_t grownCapacity(std::uint64_t end)
{
    const std::uint64_t grown = (end + kGrowthStep - 1) / kGrowthStep * kGrowthStep;
    if (grown <= UINT32_MAX) {
        return static_cast<std::uint32_t>(grown);
    }
    // The last step is cut at what a 32-bit capacity can hold.
    return end <= 0xFFFF0000u ? 0xFFFF0000u : 0;
}

bool growMemoryFile(MemoryFile& file, std::uint64_t end)
{
    if (end <= file.capacity) {
        return true;
    }
    CDataStream& data = theDataStream();
    const std::uint32_t grown = grownCapacity(end);
    // A last step that does not fit in what is left still leaves room for the exact need.
    if (grown == 0 || !(data.reserve(grown) || data.reserve(static_cast<std::uint32_t>(end)))) {
        return false;
    }
    // The buffer grows in place: the memory file keeps its base and learns the new capacity.
    file.base = data.buffer();
    file.capacity = data.capacity();
    return true;
}

void fillMemoryFileFuncs(zlib_filefunc_def* table)
{
    table->zopen_file = memOpen;
    table->zread_file = memRead;
    table->zwrite_file = memWrite;
    table->ztell_file = memTell;
    table->zseek_file = memSeek;
    table->zclose_file = memClose;
    table->zerror_file = memTestError;
    table->opaque = nullptr;
}

voidpf ZCALLBACK memOpen(voidpf, const char* name, int mode)
{
    std::uintptr_t base = 0;
    std::uint32_t capacity = 0;
    if (!name || std::sscanf(name, "%" SCNxPTR "+%" SCNx32, &base, &capacity) != 2) {
        return nullptr;
    }
    MemoryFile& file = theMemoryFile();
    file.base = reinterpret_cast<unsigned char*>(base);
    file.capacity = capacity;
    file.position = 0;
    file.size = (mode & ZLIB_FILEFUNC_MODE_CREATE) ? 0 : capacity;
    return &file;
}

uLong ZCALLBACK memRead(voidpf, voidpf stream, void* buf, uLong n)
{
    auto* file = static_cast<MemoryFile*>(stream);
    const std::uint32_t room = file->position < file->capacity ? file->capacity - file->position : 0;
    const std::uint32_t count = n < room ? static_cast<std::uint32_t>(n) : room;
    std::memcpy(buf, file->base + file->position, count);
    file->position += count;
    return count;
}

uLong ZCALLBACK memWrite(voidpf, voidpf stream, const void* buf, uLong n)
{
    auto* file = static_cast<MemoryFile*>(stream);
    CDataStream& data = theDataStream();
    const std::uint64_t end = static_cast<std::uint64_t>(file->position) + n;
    // Nothing is ever written past the buffer: a write that does not fit writes nothing, and the
    // short count tells the zip writer that the entry failed.
    if (!growMemoryFile(*file, end)) {
        return 0;
    }
    std::memcpy(file->base + file->position, buf, n);
    file->position += static_cast<std::uint32_t>(n);
    if (file->position > file->size) {
        file->size = file->position;
    }
    data.setLength(file->size);
    return n;
}

long ZCALLBACK memTell(voidpf, voidpf stream)
{
    return static_cast<long>(static_cast<MemoryFile*>(stream)->position);
}

long ZCALLBACK memSeek(voidpf, voidpf stream, uLong offset, int origin)
{
    auto* file = static_cast<MemoryFile*>(stream);
    // Offsets are 32-bit; a backward move arrives as its two's complement and wraps back.
    std::uint32_t target = 0;
    switch (origin) {
    case ZLIB_FILEFUNC_SEEK_SET:
        target = static_cast<std::uint32_t>(offset);
        break;
    case ZLIB_FILEFUNC_SEEK_CUR:
        target = file->position + static_cast<std::uint32_t>(offset);
        break;
    case ZLIB_FILEFUNC_SEEK_END:
        target = file->size + static_cast<std::uint32_t>(offset);
        break;
    default:
        return -1;
    }
    if (target > file->capacity) {
        return 1;
    }
    if (target > file->size) {
        std::memset(file->base + file->size, 0, target - file->size);
    }
    file->position = target;
    return 0;
}

int ZCALLBACK memClose(voidpf, voidpf)
{
    return 0;
}

int ZCALLBACK memTestError(voidpf, voidpf)
{
    return 0;
}
