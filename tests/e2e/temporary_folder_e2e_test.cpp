#include <windows.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "app/console/closing_line.h"
#include "tool_run_fixture.h"

namespace {

// The names and bytes of the files in folder.
std::map<std::wstring, std::string> folderContents(const std::wstring& folder)
{
    std::map<std::wstring, std::string> contents;
    WIN32_FIND_DATAW entry = {};
    HANDLE search = FindFirstFileW((folder + L"*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) {
        return contents;
    }
    do {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            contents[entry.cFileName] = readFileBytes(folder + entry.cFileName).value_or("unreadable");
        }
    } while (FindNextFileW(search, &entry));
    FindClose(search);
    return contents;
}

// The names of the files that differ between two looks at a folder: changed, made or gone.
std::vector<std::wstring> differences(const std::map<std::wstring, std::string>& before,
    const std::map<std::wstring, std::string>& after)
{
    std::vector<std::wstring> names;
    for (const auto& [name, bytes] : after) {
        const auto earlier = before.find(name);
        if (earlier == before.end() || earlier->second != bytes) {
            names.push_back(name);
        }
    }
    for (const auto& [name, bytes] : before) {
        if (after.find(name) == after.end()) {
            names.push_back(name);
        }
    }
    return names;
}

// The test process's current folder, changed while the owner lives: a program it starts runs there.
class ScopedCurrentFolder {
public:
    explicit ScopedCurrentFolder(const std::wstring& folder)
    {
        wchar_t saved[MAX_PATH] = {};
        GetCurrentDirectoryW(MAX_PATH, saved);
        saved_ = saved;
        changed_ = SetCurrentDirectoryW(folder.c_str()) != FALSE;
    }
    ~ScopedCurrentFolder() { SetCurrentDirectoryW(saved_.c_str()); }
    ScopedCurrentFolder(const ScopedCurrentFolder&) = delete;
    ScopedCurrentFolder& operator=(const ScopedCurrentFolder&) = delete;
    bool changed() const { return changed_; }

private:
    std::wstring saved_;
    bool changed_ = false;
};

using TemporaryFolder = ToolRunTest;

TEST_F(TemporaryFolder, WithoutOneNoReportIsMadeAndTheCurrentFolderIsLeftAlone)
{
    // A folder of the user's own files that happen to bear the working files' names, and the
    // run started in it.
    const std::wstring own = temp() + L"own files\\";
    ASSERT_TRUE(CreateDirectoryW(own.c_str(), nullptr));
    for (const wchar_t* name : {L"SystemInfo.txt", L"metadata.txt", L"user-comment.txt", L"gdi.txt", L"PRT.txt",
             L"dntcolex.dmp", L"dntcolex64.dmp", L"Vossel_Screenshot", L"cmdlinePrt.zip"}) {
        ASSERT_TRUE(writeFileBytes(own + name, "the user's own " + asciiText(name)));
    }
    ASSERT_TRUE(writeFileBytes(own + L"VosselPRT.ini", "[Config]\r\nDeleteLogs=1\r\nVosselLogDirectory="
        + asciiText(own) + "\r\n"));
    ASSERT_TRUE(writeFileBytes(own + L"vossel.log", "the user's own log"));
    const auto before = folderContents(own);

    // 277 characters: more than the system's temporary-folder lookup takes, so it finds none.
    std::wstring tooLong = temp() + L"t";
    tooLong += std::wstring(276 - tooLong.size(), L'x') + L"\\";
    ASSERT_EQ(tooLong.size(), 277u);
    const std::wstring standardOutput = temp() + L"stdout.txt";
    for (const std::wstring args : {L"/flushed", L"/flushed /file report.zip", L"/summary \"no client either\""}) {
        {
            ScopedCurrentFolder inOwnFiles(own);
            ASSERT_TRUE(inOwnFiles.changed());
            StartedProgram tool = startProgram(testBinaryFolder() + L"VosselPRT.exe", args,
                {{L"TMP", tooLong}, {L"TEMP", tooLong}}, ProgramStreams{standardOutput, temp() + L"stderr.txt", false});
            ASSERT_EQ(tool.wait(120000), 0u) << asciiText(args);
        }
        EXPECT_EQ(differences(before, folderContents(own)), std::vector<std::wstring>{}) << asciiText(args);
        EXPECT_EQ(readFileBytes(standardOutput),
            "No report was made: " + asciiText(reasonText(NoReportReason::NoTemporaryFolder, L"")) + "\r\n")
            << asciiText(args);
    }
}

} // namespace
