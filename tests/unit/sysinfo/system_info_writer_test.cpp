#include "sysinfo/system_info_writer.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "base/diagnostic_log.h"
#include "support/scoped_temp_folder.h"
#include "support/test_files.h"
#include "support/tool_runner.h"
#include "sysinfo/system_info_worker.h"

namespace {

constexpr wchar_t kMetricsKey[] = L"Control Panel\\Desktop\\WindowMetrics";

// Sets the user's "AppliedDPI" for the test and puts back what was there.
class ScopedAppliedDpi {
public:
    ScopedAppliedDpi()
    {
        RegCreateKeyExW(HKEY_CURRENT_USER, kMetricsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr);
        DWORD size = 0;
        if (RegQueryValueExW(key_, L"AppliedDPI", nullptr, &savedType_, nullptr, &size) == ERROR_SUCCESS) {
            saved_.emplace(size, 0);
            RegQueryValueExW(key_, L"AppliedDPI", nullptr, &savedType_, saved_->data(), &size);
        }
    }
    ~ScopedAppliedDpi()
    {
        if (saved_) {
            RegSetValueExW(key_, L"AppliedDPI", 0, savedType_, saved_->data(), static_cast<DWORD>(saved_->size()));
        } else {
            RegDeleteValueW(key_, L"AppliedDPI");
        }
        RegCloseKey(key_);
    }

    void remove() { RegDeleteValueW(key_, L"AppliedDPI"); }
    void setText(const std::wstring& text)
    {
        RegSetValueExW(key_, L"AppliedDPI", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
            static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }
    void setNumber(DWORD number)
    {
        RegSetValueExW(key_, L"AppliedDPI", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof(number));
    }

private:
    HKEY key_ = nullptr;
    DWORD savedType_ = 0;
    std::optional<std::vector<BYTE>> saved_;
};

struct DpiCase {
    const char* name;
    std::optional<std::wstring> text;
    std::optional<DWORD> number;
    int dpi;
};

TEST(SystemInfoWriter, MonitorLineShowsTheScreenAndTheAppliedDpi)
{
    const std::vector<DpiCase> cases = {
        {"missing", std::nullopt, std::nullopt, 96},
        {"not a number", L"large", std::nullopt, 96},
        {"text 120", L"120", std::nullopt, 120},
        // As Windows itself keeps it.
        {"number 144", std::nullopt, 144, 144},
    };
    ScopedAppliedDpi registry;
    for (const auto& c : cases) {
        registry.remove();
        if (c.text) {
            registry.setText(*c.text);
        }
        if (c.number) {
            registry.setNumber(*c.number);
        }
        ScopedTempFolder folder;
        const std::wstring path = folder.path() + L"SystemInfo.txt";
        CSystemInfoWriter(path).writeMonitorResolution();

        char expected[128] = {};
        std::snprintf(expected, sizeof(expected), "\r\nMonitor Resolution: {Width=%d, Height=%d} DPI: %d\r\n",
            GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), c.dpi);
        EXPECT_EQ(readFileBytes(path), std::string(expected)) << c.name;
    }
}

TEST(SystemInfoWriter, StartsANewFileAndWritesEveryEnvironmentEntryAsOneLine)
{
    ScopedTempFolder folder;
    const std::wstring path = folder.path() + L"SystemInfo.txt";
    ASSERT_TRUE(writeFileBytes(path, "an earlier run's description\r\n"));
    SetEnvironmentVariableW(L"PRT_TEST_LATIN1", L"caf\u00e9 \u20ac");

    CSystemInfoWriter writer(path);
    EXPECT_FALSE(fileExists(path));
    writer.writeEnvironmentalVars();

    std::string expected = "\r\n\r\nEnvironment Variables\r\n\r\n";
    wchar_t* block = GetEnvironmentStringsW();
    for (const wchar_t* entry = block; *entry; entry += wcslen(entry) + 1) {
        for (const wchar_t* c = entry; *c; ++c) {
            expected += *c <= 0xFF ? static_cast<char>(*c) : '?';
        }
        expected += "\r\n";
    }
    FreeEnvironmentStringsW(block);
    SetEnvironmentVariableW(L"PRT_TEST_LATIN1", nullptr);
    EXPECT_EQ(readFileBytes(path), expected);
    EXPECT_NE(expected.find("PRT_TEST_LATIN1=caf\xe9 ?\r\n"), std::string::npos);
}

TEST(SystemInfoWriter, FileThatCannotBeOpenedLeavesItsSectionOutWithALogLine)
{
    ScopedTempFolder folder;
    const std::wstring path = folder.path() + L"missing\\SystemInfo.txt";
    CSystemInfoWriter writer(path);
    writer.writeEnvironmentalVars();
    writer.writeMonitorResolution();
    EXPECT_FALSE(fileExists(path));

    const auto messages = readLogMessages(getLogFilePath());
    const std::string narrowPath(path.begin(), path.end());
    for (const std::string& line : {"Unable to open " + narrowPath + " to write environmental variables",
             "Unable to open " + narrowPath + " to write monitor resolution"}) {
        EXPECT_NE(std::find(messages.begin(), messages.end(), line), messages.end()) << line;
    }
}

TEST(SystemInfoWriter, CommandsRunSideBySideAndTheirOutputsLandInTheirOrder)
{
    ScopedTempFolder folder;
    const std::wstring path = folder.path() + L"SystemInfo.txt";
    CSystemInfoWriter writer(path);
    const std::wstring program = testBinaryFolder() + L"StandInCommand.exe";
    const std::wstring mutex = L"prt-test-third-command-" + std::to_wstring(GetCurrentProcessId());
    // The first can only end after the third has: were they run one after the other, it would wait
    // in vain, and say so.
    writer.writeCommandOutputs({
        {L"first command", program, L"StandInCommand.exe first --after " + mutex, L"first.txt"},
        {L"second command", program, L"StandInCommand.exe second", L"second.txt"},
        {L"third command", program, L"StandInCommand.exe third --hold " + mutex, L"third.txt"},
    });

    EXPECT_EQ(readFileBytes(path), "first\r\nsecond\r\nthird\r\n");
    // Each program's own file goes once its part is in the description.
    for (const wchar_t* output : {L"first.txt", L"second.txt", L"third.txt"}) {
        EXPECT_TRUE(fileGoneWithin(folder.path() + output, 10000)) << asciiText(output);
    }
    const auto messages = readLogMessages(getLogFilePath());
    const auto first = std::find(messages.begin(), messages.end(), "first command");
    ASSERT_NE(first, messages.end());
    EXPECT_EQ(std::vector<std::string>(first, std::min(first + 3, messages.end())),
        (std::vector<std::string>{"first command", "second command", "third command"}));
}

TEST(SystemInfoWriter, CommandOutputsLieBesideTheFileUnderTheirOwnNames)
{
    EXPECT_EQ(commandOutputPaths(L"C:\\T%OS%\\SystemInfo.txt"),
        (std::vector<std::wstring>{L"C:\\T%OS%\\SystemInfo-ipconfig.txt", L"C:\\T%OS%\\SystemInfo-tasklist.txt",
            L"C:\\T%OS%\\SystemInfo-systeminfo.txt"}));
    const auto commands = systemInfoCommands();
    ASSERT_EQ(commands.size(), 3u);
    EXPECT_EQ(commands[0].commandLine, L"ipconfig.exe /all");
    EXPECT_EQ(commands[0].logLine, L"writeIpConfig Entered");
    EXPECT_EQ(commands[1].commandLine, L"tasklist.exe");
    EXPECT_EQ(commands[2].commandLine, L"systeminfo.exe");
}

TEST(SystemInfoWorker, WaitWithoutAWorkerReturnsAtOnceAndLogsNothing)
{
    const auto count = [] {
        const auto messages = readLogMessages(getLogFilePath());
        return std::count(messages.begin(), messages.end(), "Waiting for system info thread to finish.");
    };
    const auto before = count();
    waitForSystemInfoThread();
    waitForSystemInfoThread();
    EXPECT_EQ(count(), before);
    EXPECT_EQ(getSystemInfoFilePath(), L"");
}

} // namespace
