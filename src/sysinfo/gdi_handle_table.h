#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The GDI shared handle table that Windows maps into every GUI process, read from another process
// through a narrow interface, so that the reading and formatting are tested with made-up tables.

// What the census needs of the client process and of the machine.
class CGdiProcessSource {
public:
    virtual ~CGdiProcessSource() = default;

    // Whether the process is a 32-bit process on 64-bit Windows.
    virtual bool isWow64Process() = 0;
    // Whether the machine's native processor architecture is AMD64.
    virtual bool isNativeAmd64() = 0;
    // Fills record with the process's 64-bit basic information (48 bytes); false on failure.
    virtual bool queryBasicInformation64(unsigned char* record, std::uint32_t size) = 0;
    // Reads size bytes at the 64-bit address in the process; false on failure.
    virtual bool readMemory64(std::uint64_t address, void* buffer, std::uint64_t size) = 0;
};

inline constexpr std::uint32_t kGdiBasicInformationSize = 48;
inline constexpr std::uint32_t kGdiPebBaseOffset = 8;
inline constexpr std::uint32_t kGdiTablePointerOffsetAmd64 = 0xF8;
inline constexpr std::uint32_t kGdiTablePointerOffsetOther = 0x94;
inline constexpr std::uint32_t kGdiTableEntries = 0x4000;
inline constexpr std::uint32_t kGdiEntrySize = 24;
inline constexpr std::uint32_t kGdiTableSize = kGdiTableEntries * kGdiEntrySize;
static_assert(kGdiTableSize == 0x60000);

// The type's name by its low seven bits; "Unknown" for codes without one.
const wchar_t* gdiTypeName(std::uint16_t type);

// The census text of the objects that processId owns in table (entries of kGdiEntrySize bytes):
// the header line, then "HANDLE,Type,kernel address" per object, each line ended by a line feed.
std::wstring formatGdiHandleTable(const unsigned char* table, std::size_t entries, unsigned long processId);

// Finds the table through the process's 64-bit environment block and formats it; empty on every
// failure (not a WOW64 process, a failed query or read, no table).
std::wstring readGdiHandleTable(CGdiProcessSource& process, unsigned long processId);
