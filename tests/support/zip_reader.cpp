#include "support/zip_reader.h"

#include <minizip/unzip.h>

#include <algorithm>

#include "platform/vosselutils/text.h"

std::optional<std::vector<ZipEntry>> readZipArchive(const std::wstring& path)
{
    // The narrow path goes to the C runtime's fopen: test folders are plain ASCII.
    const std::string narrow(path.begin(), path.end());
    unzFile archive = unzOpen(narrow.c_str());
    if (!archive) {
        return std::nullopt;
    }
    std::vector<ZipEntry> entries;
    bool ok = true;
    for (int status = unzGoToFirstFile(archive); status == UNZ_OK; status = unzGoToNextFile(archive)) {
        unz_file_info info = {};
        char name[1024] = {};
        if (unzGetCurrentFileInfo(archive, &info, name, sizeof(name), nullptr, 0, nullptr, 0) != UNZ_OK
            || unzOpenCurrentFile(archive) != UNZ_OK) {
            ok = false;
            break;
        }
        ZipEntry entry;
        entry.name = name;
        entry.method = static_cast<int>(info.compression_method);
        entry.compressedSize = info.compressed_size;
        entry.flag = info.flag;
        entry.dosDate = info.dosDate;
        entry.crc = info.crc;
        entry.extraLength = info.size_file_extra;
        entry.commentLength = info.size_file_comment;
        char chunk[65536];
        int read = 0;
        while ((read = unzReadCurrentFile(archive, chunk, sizeof(chunk))) > 0) {
            entry.bytes.append(chunk, static_cast<size_t>(read));
        }
        // Closing checks the CRC of what was read.
        if (read < 0 || unzCloseCurrentFile(archive) != UNZ_OK || entry.bytes.size() != info.uncompressed_size) {
            ok = false;
            break;
        }
        entries.push_back(std::move(entry));
    }
    unzClose(archive);
    if (!ok) {
        return std::nullopt;
    }
    return entries;
}

std::vector<std::string> entryNames(const std::vector<ZipEntry>& entries)
{
    std::vector<std::string> names;
    for (const auto& entry : entries) {
        names.push_back(entry.name);
    }
    return names;
}

unsigned long toDosDate(int year, int month, int day, int hour, int minute, int second)
{
    const unsigned long date = (static_cast<unsigned long>(year - 1980) << 9) | (month << 5) | day;
    const unsigned long time = (hour << 11) | (minute << 5) | (second / 2);
    return (date << 16) | time;
}

const ZipEntry* findZipEntry(const std::vector<ZipEntry>& entries, const std::string& name)
{
    const auto found = std::find_if(entries.begin(), entries.end(), [&](const ZipEntry& e) { return e.name == name; });
    return found == entries.end() ? nullptr : &*found;
}
