#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "installer/installer_logs.h"
#include "installer/installer_logs_lib.h"
#include "installer/wide_text_reader.h"
#include "support/scoped_temp_folder.h"
#include "support/test_files.h"

namespace {

std::string utf16(const std::wstring& text)
{
    std::string bytes;
    for (wchar_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    return bytes;
}

const std::wstring kCode = kInstallerProductCode;

class InstallerLogs : public ::testing::Test {
protected:
    // Writes the file and gives it a modification time minutesAgo before a fixed moment.
    std::wstring put(const std::wstring& name, const std::string& bytes, int minutesAgo = 0)
    {
        const std::wstring path = temp_.path() + name;
        EXPECT_TRUE(writeFileBytes(path, bytes));
        HANDLE file = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        EXPECT_NE(file, INVALID_HANDLE_VALUE);
        ULARGE_INTEGER when = {};
        when.QuadPart = 133500000000000000ull - static_cast<unsigned long long>(minutesAgo) * 600000000ull;
        const FILETIME time = {when.LowPart, when.HighPart};
        EXPECT_TRUE(SetFileTime(file, nullptr, nullptr, &time));
        CloseHandle(file);
        return path;
    }

    std::wstring search()
    {
        InstallerLogsLib library;
        std::vector<std::wstring> files = library.getFilesInFolder(temp_.path());
        return library.findProductMsiLog(files);
    }

    ScopedTempFolder temp_;
};

TEST(InstallerLogName, MatchesTheWholeNameInAnyCase)
{
    const struct {
        const wchar_t* name;
        bool candidate;
    } cases[] = {
        {L"MSI1a2b3.LOG", true}, {L"msi1a2b3.log", true}, {L"Msi1a2b3.Log", true}, {L"MSI.LOG", false},
        {L"MSI1.2.LOG", false}, {L"MSI1a2b3.LOG.bak", false}, {L"xMSI1a2b3.LOG", false}, {L"MSI1a2b3.txt", false},
        {L"", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(isInstallerMsiLogName(c.name), c.candidate) << std::string(c.name, c.name + wcslen(c.name));
    }
}

TEST_F(InstallerLogs, OnlyCandidatesThatNameTheProductCodeAreFound)
{
    const std::string mentions = utf16(L"\xFEFF=== Logging started\r\nProductCode = " + kCode + L"\r\n");
    for (const wchar_t* name : {L"MSI.LOG", L"MSI1.2.LOG", L"MSI1a2b3.LOG.bak", L"xMSI1a2b3.LOG"}) {
        put(name, mentions, 0);
    }
    ASSERT_TRUE(CreateDirectoryW((temp_.path() + L"MSI9newest.LOG").c_str(), nullptr));
    put(L"MSIlower.LOG", utf16(L"ProductCode = {3c0e7d52-9a41-4b6e-8f20-71d5a6c9b314}"), 1);
    put(L"MSInarrow.LOG", "ProductCode = {3C0E7D52-9A41-4B6E-8F20-71D5A6C9B314}", 2);
    put(L"MSIother.LOG", utf16(L"ProductCode = {00000000-0000-0000-0000-000000000000}"), 3);
    EXPECT_EQ(search(), L"");

    const std::wstring older = put(L"msi1a2b3.log", mentions, 20);
    EXPECT_EQ(search(), older);
    const std::wstring newer = put(L"Msizzzz.Log", mentions, 10);
    EXPECT_EQ(search(), newer);
}

TEST_F(InstallerLogs, FilesAreOrderedNewestFirstAndAVanishedFileLast)
{
    const std::wstring a = put(L"a.txt", "a", 30);
    const std::wstring b = put(L"b.txt", "b", 10);
    const std::wstring c = put(L"c.txt", "c", 20);
    std::vector<std::wstring> files = {temp_.path() + L"gone.txt", a, b, c};
    InstallerLogsLib().findProductMsiLog(files);
    EXPECT_EQ(files, (std::vector<std::wstring>{b, c, a, temp_.path() + L"gone.txt"}));
    EXPECT_TRUE(isNewerFile(b, a));
    EXPECT_FALSE(isNewerFile(a, b));
    EXPECT_TRUE(isNewerFile(a, temp_.path() + L"gone.txt"));
    EXPECT_FALSE(isNewerFile(temp_.path() + L"gone.txt", a));
}

TEST_F(InstallerLogs, FileTextIsReadAsLittleEndianUnitsUpToTheFirstZero)
{
    const struct {
        const char* name;
        std::string bytes;
        std::wstring text;
    } cases[] = {
        {"empty", "", L""},
        {"single byte", "A", L""},
        {"odd length drops its last byte", std::string("A\0B\0C", 5), L"AB"},
        {"byte-order mark stays", std::string("\xFF\xFE" "A\0", 4), L"\xFEFF" L"A"},
        {"stops at a zero unit", std::string("A\0\0\0B\0", 6), L"A"},
        {"a zero byte inside a unit is kept", std::string("\0\x01", 2), L"\x0100"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(readFileAsWideText(put(L"text.bin", c.bytes)), c.text) << c.name;
    }
    EXPECT_EQ(readFileAsWideText(temp_.path() + L"missing.bin"), L"");
}

TEST_F(InstallerLogs, TextIsSearchedPieceByPieceAndAcrossTheirEnds)
{
    const std::wstring needle = L"{3C0E}";
    const struct {
        const char* name;
        std::string bytes;
        bool found;
    } cases[] = {
        {"at the start", utf16(L"{3C0E} and more"), true},
        {"at the very end", utf16(L"some text before {3C0E}"), true},
        {"after a byte-order mark", std::string("\xFF\xFE") + utf16(L"x{3C0E}"), true},
        {"only in part", utf16(L"some text before {3C0"), false},
        {"after the zero that ends the text", utf16(L"text") + std::string(2, '\0') + utf16(L"{3C0E}"), false},
        {"in another case", utf16(L"{3c0e}"), false},
        {"one byte off the units", "x" + utf16(L"{3C0E}"), false},
        {"odd length, the last byte dropped", utf16(L"{3C0E}") + "x", true},
        {"empty", "", false},
    };
    for (const auto& c : cases) {
        const std::wstring path = put(L"text.bin", c.bytes);
        for (const std::size_t piece : {std::size_t{1}, std::size_t{2}, std::size_t{3}, std::size_t{7}, kWideTextPieceBytes}) {
            EXPECT_EQ(fileTextContains(path, needle, piece), c.found) << c.name << ", pieces of " << piece;
        }
    }
    EXPECT_FALSE(fileTextContains(temp_.path() + L"missing.bin", needle));
    // Whole text read the same way, as the search sees it.
    EXPECT_EQ(readFileAsWideText(put(L"text.bin", utf16(L"ab") + std::string(2, '\0') + "cd")), L"ab");
}

TEST_F(InstallerLogs, InstallerLogPathIsNamedEvenWithoutTheFile)
{
    const std::wstring path = getInstallerLogPath();
    EXPECT_GT(path.size(), std::wstring(L"\\OrmelVosselInstaller.LOG").size());
    EXPECT_EQ(path.substr(path.size() - 25), L"\\OrmelVosselInstaller.LOG");
    EXPECT_EQ(getInstallerLogPath(), path);
}

TEST_F(InstallerLogs, SearchInTheTemporaryFolderIsRepeatedUntilALogIsFound)
{
    wchar_t saved[MAX_PATH + 1] = {};
    GetEnvironmentVariableW(L"TMP", saved, MAX_PATH + 1);
    SetEnvironmentVariableW(L"TMP", temp_.path().c_str());

    EXPECT_EQ(findInstallerMsiLog(), L"");
    const std::wstring found = put(L"MSI77aa.LOG", utf16(L"ProductCode = " + kCode), 5);
    EXPECT_EQ(findInstallerMsiLog(), found);
    // Once found, the path is kept for the rest of the run.
    put(L"MSI88bb.LOG", utf16(L"ProductCode = " + kCode), 1);
    EXPECT_EQ(findInstallerMsiLog(), found);

    SetEnvironmentVariableW(L"TMP", saved[0] ? saved : nullptr);
}

} // namespace
