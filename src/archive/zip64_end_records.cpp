#include "archive/zip64_end_records.h"

#include "base/little_endian.h"

namespace {

constexpr std::uint32_t kEndRecord = 0x06054b50;
constexpr std::uint32_t kZip64EndRecord = 0x06064b50;
constexpr std::uint32_t kZip64Locator = 0x07064b50;
constexpr std::uint32_t kCentralRecord = 0x02014b50;
constexpr std::uint64_t kEndRecordSize = 22;

void appendLittle(std::string& out, std::uint64_t value, int count)
{
    for (int i = 0; i < count; ++i) {
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

} // namespace

std::string zip64EndRecordsFor(const unsigned char* archive, std::uint64_t length)
{
    if (!archive || length < kEndRecordSize) {
        return {};
    }
    const std::uint64_t endAt = length - kEndRecordSize;
    const unsigned char* end = archive + endAt;
    if (readLittleEndian(end, 4) != kEndRecord || readLittleEndian(end + 10, 2) != 0xFFFF) {
        return {};
    }
    if (endAt >= 20 && readLittleEndian(archive + endAt - 20, 4) == kZip64Locator) {
        return {};
    }
    const std::uint64_t directorySize = readLittleEndian(end + 12, 4);
    const std::uint64_t directoryAt = readLittleEndian(end + 16, 4);
    if (directoryAt + directorySize != endAt) {
        return {};
    }
    std::uint64_t entries = 0;
    for (std::uint64_t at = directoryAt; at < endAt; ++entries) {
        if (endAt - at < 46 || readLittleEndian(archive + at, 4) != kCentralRecord) {
            return {};
        }
        at += 46 + readLittleEndian(archive + at + 28, 2) + readLittleEndian(archive + at + 30, 2) + readLittleEndian(archive + at + 32, 2);
    }

    std::string records;
    appendLittle(records, kZip64EndRecord, 4);
    appendLittle(records, 44, 8); // size of the rest of this record
    appendLittle(records, 45, 2); // made by: zip64 format
    appendLittle(records, 45, 2); // needed to extract
    appendLittle(records, 0, 4);  // this disk
    appendLittle(records, 0, 4);  // disk of the central directory
    appendLittle(records, entries, 8);
    appendLittle(records, entries, 8);
    appendLittle(records, directorySize, 8);
    appendLittle(records, directoryAt, 8);
    appendLittle(records, kZip64Locator, 4);
    appendLittle(records, 0, 4);     // disk of the zip64 end record
    appendLittle(records, endAt, 8); // where it starts
    appendLittle(records, 1, 4);     // disks in all
    records.append(reinterpret_cast<const char*>(end), kEndRecordSize);
    return records;
}
