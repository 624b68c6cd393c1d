#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/lumocoreutils/text.h"
#include "platform/vosselutils/environment_utils.h"
#include "platform/vosselutils/file_utils.h"
#include "support/scoped_temp_folder.h"
#include "support/test_files.h"

namespace {

using vosselutils::FileUtils;

void makeFolder(const std::wstring& path)
{
    ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr)) << GetLastError();
}

TEST(VosselUtilsFiles, FilesBelowAFolderDepthFirstWithSubFoldersWhereTheyStand)
{
    ScopedTempFolder temp;
    const std::wstring logs = temp.path() + L"Logs";
    makeFolder(logs);
    makeFolder(logs + L"\\sub");
    makeFolder(logs + L"\\sub\\deeper");
    makeFolder(logs + L"\\empty");
    ASSERT_TRUE(writeFileBytes(logs + L"\\a.txt", "a"));
    ASSERT_TRUE(writeFileBytes(logs + L"\\sub\\b.txt", "b"));
    ASSERT_TRUE(writeFileBytes(logs + L"\\sub\\deeper\\c.LOG", "c"));
    ASSERT_TRUE(writeFileBytes(logs + L"\\z.txt", "z"));

    // Every spelling of the folder gives the same list, appended to what the list held.
    for (const std::wstring& folder : {logs, logs + L"\\", logs + L"\\*"}) {
        std::vector<std::wstring> files{L"kept"};
        FileUtils::getFilesFromDirectory(folder, L"", files);
        ASSERT_EQ(files.size(), 5u);
        EXPECT_EQ(files[0], L"kept");
        std::vector<std::wstring> found(files.begin() + 1, files.end());
        // The system's order within a folder is its own; depth first means each sub-folder's
        // files stand together, right after each other.
        const auto b = std::find(found.begin(), found.end(), logs + L"\\sub\\b.txt");
        const auto c = std::find(found.begin(), found.end(), logs + L"\\sub\\deeper\\c.LOG");
        ASSERT_NE(b, found.end());
        ASSERT_NE(c, found.end());
        EXPECT_EQ(std::abs(b - c), 1);
        EXPECT_NE(std::find(found.begin(), found.end(), logs + L"\\a.txt"), found.end());
        EXPECT_NE(std::find(found.begin(), found.end(), logs + L"\\z.txt"), found.end());
    }

    std::vector<std::wstring> filtered;
    FileUtils::getFilesFromDirectory(logs + L"\\*", L"log", filtered);
    EXPECT_EQ(filtered, std::vector<std::wstring>{logs + L"\\sub\\deeper\\c.LOG"});

    std::vector<std::wstring> none;
    FileUtils::getFilesFromDirectory(temp.path() + L"missing\\*", L"", none);
    EXPECT_TRUE(none.empty());
}

TEST(VosselUtilsFiles, NonAsciiPathsWorkThroughUtf8)
{
    ScopedTempFolder temp;
    const std::wstring folder = temp.path() + L"J\u00fcrgen \u65e5\u672c";
    makeFolder(folder);
    const std::wstring file = folder + L"\\vossel.log";
    ASSERT_TRUE(writeFileBytes(file, "x"));

    EXPECT_TRUE(FileUtils::fileExists(LumoCoreUtils::toString(file)));
    EXPECT_FALSE(FileUtils::fileExists(LumoCoreUtils::toString(folder)));
    EXPECT_FALSE(FileUtils::fileExists(LumoCoreUtils::toString(folder + L"\\missing.log")));

    std::vector<std::wstring> files;
    FileUtils::getFilesFromDirectory(folder, L"", files);
    EXPECT_EQ(files, std::vector<std::wstring>{file});
}

TEST(VosselUtilsFiles, FileNameIsTheLastComponent)
{
    EXPECT_EQ(FileUtils::getFileName(L"C:\\a\\b\\vossel.log.1"), L"vossel.log.1");
    EXPECT_EQ(FileUtils::getFileName(L"C:/a/b.properties"), L"b.properties");
    EXPECT_EQ(FileUtils::getFileName(L"plain.txt"), L"plain.txt");
    EXPECT_EQ(FileUtils::getFileName(L"C:\\a\\"), L"");
}

TEST(VosselUtilsFiles, RenameReplacesTheTargetAndReportsTheWindowsError)
{
    ScopedTempFolder temp;
    const std::wstring from = temp.path() + L"report.zip";
    const std::wstring to = temp.path() + L"out.zip";
    ASSERT_TRUE(writeFileBytes(from, "new"));
    ASSERT_TRUE(writeFileBytes(to, "old"));

    EXPECT_EQ(FileUtils::wrenameFile(from, to), 0u);
    EXPECT_FALSE(fileExists(from));
    EXPECT_EQ(readFileBytes(to), "new");

    EXPECT_EQ(FileUtils::wrenameFile(from, to), static_cast<unsigned long>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(FileUtils::wrenameFile(to, temp.path() + L"missing\\out.zip"),
        static_cast<unsigned long>(ERROR_PATH_NOT_FOUND));
}

TEST(VosselUtilsFiles, ClientFoldersHangOffTheUserFolders)
{
    const std::string local = FileUtils::getUserLocalAppDir();
    const std::string roaming = FileUtils::getUserRoamingDir();
    ASSERT_FALSE(local.empty());
    ASSERT_FALSE(roaming.empty());
    EXPECT_EQ(local.back(), '\\');
    EXPECT_EQ(roaming.back(), '\\');
    EXPECT_NE(local, roaming);
    EXPECT_EQ(FileUtils::getLocalAppBaseDirectory(), local + "Ormel\\Merovan\\Vossel\\QSK\\");
    EXPECT_EQ(FileUtils::getConfigDirectory(), roaming + "Ormel\\Merovan\\Vossel\\QSK\\Config");
}

TEST(VosselUtilsEnvironment, LocationOfExecutableIsThisProgramsFolder)
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring expected(path);
    expected.resize(expected.find_last_of(L'\\'));
    EXPECT_EQ(vosselutils::EnvironmentUtils::getLocationOfExecutable(), expected);
}

} // namespace
