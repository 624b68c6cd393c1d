#pragma once

#include <cstdint>
#include <string>

#include <minizip/ioapi.h>

// The zip writer's view of the data stream: a file that lives in the stream's buffer. One
// instance exists, so one archive can be open at a time.
struct MemoryFile {
    unsigned char* base;
    std::uint32_t capacity;
    std::uint32_t size;     // end of the data written so far
    std::uint32_t position; // current read and write offset
};

// The memory file's values; they stay after the archive closes, so its final position can be read.
MemoryFile& theMemoryFile();

// The "file name" under which the zip writer opens the data stream: its buffer address and its
// capacity in hexadecimal, joined by "+". The whole address is carried, whatever its width.
std::string memoryFileName(const void* buffer, std::uint32_t capacity);

// The capacity to commit so that the data can reach end: end rounded up to the next step of
// 16 MiB, so that growing costs few calls and leaves little committed but unused. 0 when no
// 32-bit capacity would do.
std::uint32_t grownCapacity(std::uint64_t end);

// Grows the data stream in place so that the memory file can hold data up to end, and gives the
// memory file the new capacity. False, changing nothing, when the room cannot be had.
bool growMemoryFile(MemoryFile& file, std::uint64_t end);

void fillMemoryFileFuncs(zlib_filefunc_def* table);

voidpf ZCALLBACK memOpen(voidpf opaque, const char* name, int mode);
uLong ZCALLBACK memRead(voidpf opaque, voidpf file, void* buf, uLong n);
uLong ZCALLBACK memWrite(voidpf opaque, voidpf file, const void* buf, uLong n);
long ZCALLBACK memTell(voidpf opaque, voidpf file);
long ZCALLBACK memSeek(voidpf opaque, voidpf file, uLong offset, int origin);
int ZCALLBACK memClose(voidpf opaque, voidpf file);
int ZCALLBACK memTestError(voidpf opaque, voidpf file);
