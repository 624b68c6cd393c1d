#include "base/full_path.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "support/scoped_temp_folder.h"
#include "support/test_files.h"

namespace {

std::wstring shortPathOf(const std::wstring& path)
{
    wchar_t buffer[MAX_PATH] = {};
    const DWORD length = GetShortPathNameW(path.c_str(), buffer, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(buffer, length) : std::wstring();
}

TEST(SamePath, EverySpellingOfOneFileMatchesAndNoOtherFileDoes)
{
    ScopedTempFolder temp;
    const std::wstring folder = temp.path() + L"A Folder With A Long Name\\";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    const std::wstring file = folder + L"problem-report-working-file.txt";
    ASSERT_TRUE(writeFileBytes(file, "x"));
    const std::wstring shortFile = shortPathOf(file);
    const std::wstring shortFolder = shortPathOf(folder);
    ASSERT_FALSE(shortFile.empty());
    ASSERT_FALSE(shortFolder.empty());
    ASSERT_NE(shortFile, file); // else the short spelling would prove nothing

    const struct {
        std::wstring a;
        std::wstring b;
        bool same;
    } cases[] = {
        {file, file, true},
        {file, folder + L"PROBLEM-REPORT-WORKING-FILE.TXT", true},
        {file, folder + L"..\\A Folder With A Long Name\\problem-report-working-file.txt", true},
        {file, shortFile, true},
        // A file not made yet, named through the short name of its folder.
        {folder + L"not-made-yet.zip", shortFolder + L"not-made-yet.zip", true},
        {file, folder + L"problem-report-working-file.zip", false},
        {file, folder + L"other.txt", false},
        {file, temp.path() + L"problem-report-working-file.txt", false},
        {file, L"", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(isSamePath(c.a, c.b), c.same) << std::string(c.a.begin(), c.a.end()) << " / "
                                                << std::string(c.b.begin(), c.b.end());
        EXPECT_EQ(isSamePath(c.b, c.a), c.same);
    }
}

} // namespace
