#include <windows.h>

#include <gtest/gtest.h>
#include <minizip/zip.h>

#include <string>
#include <vector>

#include "archive/zip64_end_records.h"
#include "archive/zip_archive.h"
#include "base/little_endian.h"
#include "support/scoped_temp_folder.h"
#include "support/test_files.h"
#include "support/zip_reader.h"

namespace {

std::uint64_t little(const std::string& bytes, size_t at, int count)
{
    return readLittleEndian(reinterpret_cast<const unsigned char*>(bytes.data()) + at, count);
}

void addEmptyEntries(zipFile archive, int count)
{
    zip_fileinfo info = {};
    for (int i = 0; i < count; ++i) {
        const std::string name = "e" + std::to_string(i);
        zipOpenNewFileInZip(archive, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED, Z_DEFAULT_COMPRESSION);
        zipCloseFileInZip(archive);
    }
}

// An archive of count empty entries as the zip writer alone makes it, read back from disk.
std::string writtenByZipWriter(const std::wstring& path, int count)
{
    const std::string narrow(path.begin(), path.end());
    zipFile archive = zipOpen64(narrow.c_str(), APPEND_STATUS_CREATE);
    if (!archive) {
        return {};
    }
    addEmptyEntries(archive, count);
    zipClose(archive, nullptr);
    return readFileBytes(path).value_or("");
}

} // namespace

// More entries than the end record can count: the report's writer puts the records that say how
// many there are before it, and a reader finds every entry through them. The entries are added
// straight through the zip writer, which is all that matters here and keeps the test quick.
TEST(Zip64EndRecords, AnArchiveOfMoreEntriesThanTheEndRecordCountsReadsBackWhole)
{
    ScopedTempFolder temp;
    const std::wstring path = temp.path() + L"many.zip";
    CZipArchive archive;
    ASSERT_TRUE(archive.beginArchive());
    addEmptyEntries(archive.zipHandleForTesting(), 65536);
    archive.finishArchive();
    archive.saveArchive(path);
    const std::string fixed = readFileBytes(path).value_or("");
    ASSERT_GT(fixed.size(), 98u);

    const size_t zip64End = fixed.size() - 98;
    EXPECT_EQ(little(fixed, zip64End, 4), 0x06064b50u);
    EXPECT_EQ(little(fixed, zip64End + 24, 8), 65536u);
    EXPECT_EQ(little(fixed, zip64End + 32, 8), 65536u);
    EXPECT_EQ(little(fixed, zip64End + 56, 4), 0x07064b50u);
    EXPECT_EQ(little(fixed, zip64End + 64, 8), zip64End);
    EXPECT_EQ(little(fixed, fixed.size() - 12, 2), 0xFFFFu);

    const auto entries = readZipArchive(path);
    ASSERT_TRUE(entries.has_value());
    ASSERT_EQ(entries->size(), 65536u);
    EXPECT_EQ(entries->back().name, "e65535");
    // Done once, it is never done again.
    EXPECT_EQ(zip64EndRecordsFor(reinterpret_cast<const unsigned char*>(fixed.data()), fixed.size()), "");
}

TEST(Zip64EndRecords, ArchivesThatNeedNoneGetNone)
{
    ScopedTempFolder temp;
    const std::string small = writtenByZipWriter(temp.path() + L"small.zip", 3);
    std::string countedWrongly = small;
    countedWrongly[countedWrongly.size() - 12] = countedWrongly[countedWrongly.size() - 11] = '\xFF';
    countedWrongly[countedWrongly.size() - 14] = countedWrongly[countedWrongly.size() - 13] = '\xFF';
    std::string directoryElsewhere = countedWrongly;
    directoryElsewhere[directoryElsewhere.size() - 6] ^= 1;
    const std::string endRecordOnly = std::string("PK\x05\x06", 4) + std::string(18, '\0');

    const std::vector<std::pair<const char*, std::string>> cases = {
        {"a few entries", small},
        {"no entries", endRecordOnly},
        {"too short for an end record", "PK\x05\x06"},
        {"no end record at the end", small + "x"},
        {"a directory that does not end at the end record", directoryElsewhere},
    };
    for (const auto& [what, archive] : cases) {
        EXPECT_EQ(zip64EndRecordsFor(reinterpret_cast<const unsigned char*>(archive.data()), archive.size()), "") << what;
    }
    EXPECT_EQ(zip64EndRecordsFor(nullptr, 100), "");
    // The three entries counted as 0xFFFF: the directory is walked and says three.
    const std::string records =
        zip64EndRecordsFor(reinterpret_cast<const unsigned char*>(countedWrongly.data()), countedWrongly.size());
    ASSERT_EQ(records.size(), 98u);
    EXPECT_EQ(little(records, 24, 8), 3u);
}
