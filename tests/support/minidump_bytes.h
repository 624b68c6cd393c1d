#pragma once

#include <cstdint>
#include <string>

// Small minidumps made up for tests, in the format the system's dump writer uses: little-endian
// numbers, a 32-byte header, a directory of 12-byte entries, the streams after it.

inline void putLittleEndian(std::string& bytes, std::size_t at, std::uint64_t value, int count)
{
    if (bytes.size() < at + count) {
        bytes.resize(at + count, '\0');
    }
    for (int i = 0; i < count; ++i) {
        bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

// Offsets in smallMinidump's bytes.
inline constexpr std::size_t kSmallDumpDirectory = 32;
inline constexpr std::size_t kSmallDumpMemoryList = 44;
inline constexpr std::size_t kSmallDumpMemory = 76;

// A whole full dump: header, a directory of one stream, the 64-bit memory list (stream type 9)
// of one range whose bytes are memory.
inline std::string smallMinidump(const std::string& memory)
{
    std::string bytes;
    putLittleEndian(bytes, 0, 0x504D444D, 4); // "MDMP"
    putLittleEndian(bytes, 4, 0xA793, 4);
    putLittleEndian(bytes, 8, 1, 4);
    putLittleEndian(bytes, 12, kSmallDumpDirectory, 4);
    putLittleEndian(bytes, 16, 0, 16);
    putLittleEndian(bytes, kSmallDumpDirectory, 9, 4);
    putLittleEndian(bytes, kSmallDumpDirectory + 4, 32, 4);
    putLittleEndian(bytes, kSmallDumpDirectory + 8, kSmallDumpMemoryList, 4);
    putLittleEndian(bytes, kSmallDumpMemoryList, 1, 8);
    putLittleEndian(bytes, kSmallDumpMemoryList + 8, kSmallDumpMemory, 8);
    putLittleEndian(bytes, kSmallDumpMemoryList + 16, 0x10000, 8);
    putLittleEndian(bytes, kSmallDumpMemoryList + 24, memory.size(), 8);
    return bytes + memory;
}
