#include <windows.h>

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "app/diagnostic_log.h"
#include "report/ap_report.h"
#include "report/data_stream.h"
#include "support/scoped_temp_folder.h"
#include "support/test_files.h"
#include "support/zip_reader.h"

namespace {

using Messages = std::vector<std::string>;

// Builds one archive with the report's writer, saves it and reads it back independently. The
// diagnostic log lines written meanwhile are kept.
class ArchiveWriter : public ::testing::Test {
protected:
    void SetUp() override
    {
        logLinesBefore_ = readLogMessages(getLogFilePath()).size();
        SYSTEMTIME now = {};
        GetLocalTime(&now);
        before_ = now;
        archive_ = report_.beginArchive();
        ASSERT_NE(archive_, nullptr);
    }

    std::vector<ZipEntry> finishAndRead()
    {
        report_.finishArchive(archive_);
        const std::wstring path = temp_.path() + L"report.zip";
        report_.saveArchive(path);
        // minizip's reader cannot open an archive whose end record stands at offset 0, so an
        // archive without entries is checked byte for byte.
        if (theDataStream().length() == 22) {
            EXPECT_EQ(readFileBytes(path), std::string("PK\x05\x06", 4) + std::string(18, '\0'));
            return {};
        }
        auto entries = readZipArchive(path);
        EXPECT_TRUE(entries.has_value()) << "the archive does not read back";
        return entries.value_or(std::vector<ZipEntry>{});
    }

    Messages newLogLines() const
    {
        const Messages all = readLogMessages(getLogFilePath());
        return Messages(all.begin() + static_cast<long>(logLinesBefore_), all.end());
    }

    std::wstring file(const std::wstring& name, const std::string& bytes)
    {
        const std::wstring path = temp_.path() + name;
        EXPECT_TRUE(writeFileBytes(path, bytes));
        return path;
    }

    static std::string narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

    ScopedTempFolder temp_;
    CApReport report_;
    zipFile archive_ = nullptr;
    SYSTEMTIME before_ = {};
    size_t logLinesBefore_ = 0;
};

TEST_F(ArchiveWriter, FilesAndMemoryBlocksComeBackInOrderWithTheirNamesBytesAndDate)
{
    const std::wstring settings = file(L"VosselPRT.ini", "[Config]\r\nProductMode=x\r\n");
    const std::wstring empty = file(L"empty.log", "");
    const std::wstring info = file(L"SystemInfo.txt", std::string(5000, 's'));
    const std::wstring text = L"<config>caf\u00e9</config>";

    report_.addFileToArchive(archive_, settings);
    report_.addFileToArchive(archive_, empty.c_str());
    report_.addFileToArchive(archive_, info, L"SystemInfo\\");
    report_.addMemoryToArchive(archive_, text.data(), static_cast<std::uint32_t>(text.size() * 2),
        L"vosselAllConfig.xml", L"Config\\");
    report_.addMemoryToArchive(archive_, "abc", 3, L"some\\folder\\inner.bin", L"");
    const auto entries = finishAndRead();

    EXPECT_EQ(entryNames(entries), (std::vector<std::string>{"VosselPRT.ini", "empty.log",
                                       "SystemInfo\\SystemInfo.txt", "Config\\vosselAllConfig.xml", "inner.bin"}));
    ASSERT_EQ(entries.size(), 5u);
    EXPECT_EQ(entries[0].bytes, "[Config]\r\nProductMode=x\r\n");
    EXPECT_EQ(entries[1].bytes, "");
    EXPECT_EQ(entries[2].bytes, std::string(5000, 's'));
    EXPECT_EQ(entries[3].bytes, std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2));
    EXPECT_EQ(entries[4].bytes, "abc");

    const unsigned long date = entries[0].dosDate;
    const unsigned long earliest = toDosDate(before_.wYear, before_.wMonth, before_.wDay, before_.wHour,
        before_.wMinute, before_.wSecond);
    EXPECT_GE(date, earliest);
    EXPECT_LE(date, earliest + 2); // taken when the archive began, within the zip format's 2 seconds
    for (const auto& entry : entries) {
        EXPECT_EQ(entry.dosDate, date) << entry.name;
        EXPECT_EQ(entry.method, 8) << entry.name;
        EXPECT_EQ(entry.flag & 0x0800u, 0u) << entry.name; // no name-encoding bit
        EXPECT_EQ(entry.extraLength, 0u) << entry.name;
        EXPECT_EQ(entry.commentLength, 0u) << entry.name;
    }

    EXPECT_EQ(newLogLines(), (Messages{"Adding " + narrow(settings) + " to zip stream.",
                                 "Adding " + narrow(empty) + " to zip stream.",
                                 "Adding " + narrow(info) + " to zip stream.",
                                 "Adding vosselAllConfig.xml from memory to zip stream.",
                                 "Adding some\\folder\\inner.bin from memory to zip stream."}));
}

TEST_F(ArchiveWriter, MissingFilesAndEmptyNamesMakeNoEntry)
{
    report_.addFileToArchive(archive_, temp_.path() + L"missing.dmp");
    report_.addFileToArchive(archive_, std::wstring());
    report_.addFileToArchive(archive_, static_cast<const wchar_t*>(nullptr));
    report_.addMemoryToArchive(archive_, "abc", 3, L"", L"Config\\");
    const auto entries = finishAndRead();

    EXPECT_TRUE(entries.empty());
    EXPECT_EQ(newLogLines(), Messages{"Failed to add  to the zip stream."});
}

TEST_F(ArchiveWriter, ArchiveWithoutEntriesIsTheEndRecordAlone)
{
    EXPECT_TRUE(finishAndRead().empty());
    EXPECT_EQ(theDataStream().length(), 22u);
}

TEST_F(ArchiveWriter, ArchivePassing16MiBInsideAnEntryStaysWholeAndValid)
{
    // Random bytes do not compress: the archive passes 16 MiB in the middle of this entry.
    std::string big(20 * 1024 * 1024, '\0');
    std::mt19937 random(7);
    for (auto& c : big) {
        c = static_cast<char>(random());
    }
    const std::wstring before = file(L"before.txt", "first entry");
    const std::wstring dump = file(L"fulldump.dmp", big);
    const std::wstring after = file(L"after.txt", "last entry");
    report_.addFileToArchive(archive_, before);
    report_.addFileToArchive(archive_, dump);
    report_.addFileToArchive(archive_, after);
    const auto entries = finishAndRead();

    EXPECT_GE(theDataStream().capacity(), 256u * 1024 * 1024);
    EXPECT_GT(theDataStream().length(), 20u * 1024 * 1024);
    ASSERT_EQ(entryNames(entries), (std::vector<std::string>{"before.txt", "fulldump.dmp", "after.txt"}));
    EXPECT_EQ(entries[0].bytes, "first entry");
    EXPECT_TRUE(entries[1].bytes == big);
    EXPECT_EQ(entries[2].bytes, "last entry");
}

TEST_F(ArchiveWriter, SavingToAFolderThatDoesNotExistWritesNothing)
{
    report_.finishArchive(archive_);
    const std::wstring path = temp_.path() + L"missing\\report.zip";
    report_.saveArchive(path);
    EXPECT_FALSE(fileExists(path));
}

} // namespace
