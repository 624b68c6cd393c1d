#pragma once

#include <optional>
#include <string>
#include <vector>

// Reads a zip archive back with minizip's reader, independently of the writer under test.
struct ZipEntry {
    std::string name;
    std::string bytes;
    int method = 0;          // 8 for deflate, 0 for stored (as the central directory says)
    unsigned long compressedSize = 0;
    unsigned long flag = 0;  // general-purpose bit flag
    unsigned long dosDate = 0;
    unsigned long crc = 0;
    unsigned long extraLength = 0;
    unsigned long commentLength = 0;
};

// Every entry in archive order, with its bytes (their CRC checked by the reader); nothing when
// the archive or any entry cannot be read.
std::optional<std::vector<ZipEntry>> readZipArchive(const std::wstring& path);

std::vector<std::string> entryNames(const std::vector<ZipEntry>& entries);

// The DOS date and time of a local time, with the zip format's two-second resolution.
unsigned long toDosDate(int year, int month, int day, int hour, int minute, int second);

// The first entry named name; null when there is none.
const ZipEntry* findZipEntry(const std::vector<ZipEntry>& entries, const std::string& name);
