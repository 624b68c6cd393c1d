#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/zip_reader.h"
#include "tool_run_fixture.h"

namespace {

// A fresh folder on another volume than the temporary folder, removed with its files when the
// owner goes: under Wine, drive Z: is the host's root, and /dev/shm a file system of its own.
class OtherVolumeFolder {
public:
    OtherVolumeFolder()
        : path_(L"Z:\\dev\\shm\\prt-test-" + std::to_wstring(GetCurrentProcessId()) + L"-"
              + std::to_wstring(GetTickCount64()) + L"\\")
    {
        made_ = CreateDirectoryW(path_.c_str(), nullptr) != FALSE;
    }
    ~OtherVolumeFolder() { removeFolderTree(path_); }
    OtherVolumeFolder(const OtherVolumeFolder&) = delete;
    OtherVolumeFolder& operator=(const OtherVolumeFolder&) = delete;

    bool made() const { return made_; }
    const std::wstring& path() const { return path_; }

    std::vector<std::wstring> names() const
    {
        std::vector<std::wstring> found;
        WIN32_FIND_DATAW entry = {};
        HANDLE search = FindFirstFileW((path_ + L"*").c_str(), &entry);
        for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &entry)) {
            if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                found.push_back(entry.cFileName);
            }
        }
        if (search != INVALID_HANDLE_VALUE) {
            FindClose(search);
        }
        std::sort(found.begin(), found.end());
        return found;
    }

private:
    std::wstring path_;
    bool made_ = false;
};

using OutputMove = ToolRunTest;

TEST_F(OutputMove, AcrossVolumesTheCopyTakesANameOfItsOwnAndLeavesTheUsersFilesAlone)
{
    OtherVolumeFolder other;
    ASSERT_TRUE(other.made()) << asciiText(other.path());
    writeIni("[Config]\r\n");
    const std::wstring report = other.path() + L"report.zip";
    // Files of the user's beside the output path, one of them with the name a copy in progress
    // might be given.
    ASSERT_TRUE(writeFileBytes(report, "earlier report"));
    ASSERT_TRUE(writeFileBytes(report + L".partial", "the user's own file"));

    runTool(L"/flushed /file \"" + report + L"\"");

    EXPECT_EQ(readFileBytes(report + L".partial"), "the user's own file");
    EXPECT_TRUE(readZipArchive(report).has_value());
    EXPECT_EQ(other.names(), (std::vector<std::wstring>{L"report.zip", L"report.zip.partial"}));
    EXPECT_NE(output().find("Report written to " + asciiText(report) + " ("), std::string::npos) << output();
}

} // namespace
