#include "sysinfo/gdi_handle_table.h"

#include <cstring>
#include <iomanip>
#include <memory>
#include <sstream>

#include "base/little_endian.h"

const wchar_t* gdiTypeName(std::uint16_t type)
{
    switch (type & 0x7F) {
    case 1: return L"DC";
    case 4: return L"Region";
    case 5: return L"Bitmap";
    case 8: return L"Palette";
    case 10: return L"Font";
    case 16: return L"Brush";
    case 48: return L"Pen";
    default: return L"Unknown";
    }
}

std::wstring formatGdiHandleTable(const unsigned char* table, std::size_t entries, unsigned long processId)
{
    std::wostringstream text;
    text << L"Handle,Type,Kernel address\n";
    text << std::hex;
    for (std::size_t index = 0; index < entries; ++index) {
        const unsigned char* entry = table + index * kGdiEntrySize;
        const auto owner = readLittleEndian<std::uint16_t>(entry + 8);
        if (owner != processId) {
            continue;
        }
        const auto kernelAddress = readLittleEndian<std::uint64_t>(entry);
        const auto upperHandle = readLittleEndian<std::uint16_t>(entry + 12);
        const auto type = readLittleEndian<std::uint16_t>(entry + 14);
        const std::uint32_t handle = (static_cast<std::uint32_t>(upperHandle) << 16) | static_cast<std::uint32_t>(index);
        // The handle column is always eight digits, whatever the pointer size of this build.
        text << std::uppercase << std::setw(8) << std::setfill(L'0') << handle << std::nouppercase
             << L"," << gdiTypeName(type) << L"," << kernelAddress << L"\n";
    }
    return text.str();
}

std::wstring readGdiHandleTable(CGdiProcessSource& process, unsigned long processId)
{
    if (!process.isWow64Process()) {
        return {};
    }
    const std::uint32_t pointerOffset =
        process.isNativeAmd64() ? kGdiTablePointerOffsetAmd64 : kGdiTablePointerOffsetOther;

    unsigned char basicInformation[kGdiBasicInformationSize] = {};
    if (!process.queryBasicInformation64(basicInformation, kGdiBasicInformationSize)) {
        return {};
    }
    const auto pebAddress = readLittleEndian<std::uint64_t>(basicInformation + kGdiPebBaseOffset);

    auto peb = std::make_unique<unsigned char[]>(pointerOffset + 8);
    if (!process.readMemory64(pebAddress, peb.get(), pointerOffset + 8)) {
        return {};
    }
    const auto tablePointer = readLittleEndian<std::uint32_t>(peb.get() + pointerOffset);
    if (tablePointer == 0) {
        return {};
    }
    peb.reset();

    // The environment block of a 32-bit process holds a 32-bit pointer, widened with its sign.
    const auto tableAddress = static_cast<std::uint64_t>(static_cast<std::int64_t>(static_cast<std::int32_t>(tablePointer)));
    auto table = std::make_unique<unsigned char[]>(kGdiTableSize);
    if (!process.readMemory64(tableAddress, table.get(), kGdiTableSize)) {
        return {};
    }
    return formatGdiHandleTable(table.get(), kGdiTableEntries, processId);
}
