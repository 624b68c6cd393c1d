#include "report/memory_file.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "report/data_stream.h"

namespace {
MemoryFile g_memoryFile = {};

constexpr std::uint64_t k256MiB = 268435456;
constexpr std::uint64_t k384MiB = 402653184;
constexpr std::uint64_t kLow27Bits = (1u << 27) - 1;
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

std::uint32_t grownCapacity(std::uint32_t capacity, std::uint32_t writeLength)
{
    std::uint64_t grown = capacity < k256MiB ? k256MiB : ((capacity - k256MiB) & ~kLow27Bits) + k384MiB;
    const std::uint64_t doubled = 2 * static_cast<std::uint64_t>(writeLength);
    if (doubled >= grown) {
        grown = doubled;
    }
    return grown > UINT32_MAX ? 0 : static_cast<std::uint32_t>(grown);
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
    if (end > file->capacity) {
        const std::uint32_t grown = grownCapacity(file->capacity, static_cast<std::uint32_t>(n));
        // The stream keeps its old buffer when it cannot grow; the memory file follows it either way.
        if (grown != 0) {
            data.reserve(grown);
        }
        file->base = data.buffer();
        file->capacity = data.capacity();
        // The stream copies its data up to the end written so far; a gap that a seek past that
        // end filled with zeros has to be filled again in the new buffer.
        if (file->position > file->size && file->position <= file->capacity) {
            std::memset(file->base + file->size, 0, file->position - file->size);
        }
    }
    // Nothing is ever written past the buffer: a write that still does not fit writes nothing,
    // and the short count tells the zip writer that the entry failed.
    if (end > file->capacity) {
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
