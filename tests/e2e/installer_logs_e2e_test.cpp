#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "base/scoped_handle.h"
#include "support/zip_reader.h"
#include "tool_run_fixture.h"

namespace {

using Names = std::vector<std::string>;

using InstallerLogsInReport = ToolRunTest;

TEST_F(InstallerLogsInReport, BothInstallerLogsGoInBeforeTheDiagnosticLog)
{
    writeIni("[Config]\r\n");
    const std::string msiLog = utf16Bytes("=== Verbose logging started\r\nProductCode = {3C0E7D52-9A41-4B6E-8F20-71D5A6C9B314}\r\n");
    ASSERT_TRUE(writeFileBytes(temp() + L"OrmelVosselInstaller.LOG", "installer log"));
    ASSERT_TRUE(writeFileBytes(temp() + L"MSI4f2a9.LOG", msiLog));
    ASSERT_TRUE(writeFileBytes(temp() + L"MSI5b3c1.LOG", utf16Bytes("ProductCode = {another product}")));
    const std::wstring output = temp() + L"report.zip";

    runTool(L"/flushed /file \"" + output + L"\"");

    const auto entries = readZipArchive(output);
    ASSERT_TRUE(entries.has_value());
    const Names names = entryNames(*entries);
    ASSERT_GE(names.size(), 4u);
    EXPECT_EQ(Names(names.end() - 4, names.end()),
        (Names{"OrmelVosselInstaller.LOG", "MSI4f2a9.LOG", "PRT.txt", "manifest.json"}));
    EXPECT_EQ((*entries)[names.size() - 3].bytes, msiLog);
}

// Sets the file's last writing to hoursAgo before now.
bool backdate(const std::wstring& path, int hoursAgo)
{
    ScopedFileHandle file(CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    FILETIME now = {};
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER when = {{now.dwLowDateTime, now.dwHighDateTime}};
    when.QuadPart -= static_cast<unsigned long long>(hoursAgo) * 36000000000ull;
    const FILETIME time = {when.LowPart, when.HighPart};
    return file && SetFileTime(file.get(), nullptr, nullptr, &time);
}

// A file of size bytes that repeat "AB": text of the unit U+4241 without end, and no zero in it.
bool writeLargeText(const std::wstring& path, std::uint64_t size)
{
    ScopedFileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    std::string piece(1024 * 1024, 'A');
    for (size_t i = 1; i < piece.size(); i += 2) {
        piece[i] = 'B';
    }
    for (std::uint64_t done = 0; file && done < size; done += piece.size()) {
        DWORD written = 0;
        if (!WriteFile(file.get(), piece.data(), static_cast<DWORD>(piece.size()), &written, nullptr)
            || written != piece.size()) {
            return false;
        }
    }
    return file.isValid();
}

TEST_F(InstallerLogsInReport, ALargeLogOfAnotherProductIsPassedOverInBoundedMemory)
{
    writeIni("[Config]\r\n");
    const std::string msiLog = utf16Bytes("ProductCode = {3C0E7D52-9A41-4B6E-8F20-71D5A6C9B314}\r\n");
    ASSERT_TRUE(writeFileBytes(temp() + L"MSI4f2a9.LOG", msiLog));
    ASSERT_TRUE(backdate(temp() + L"MSI4f2a9.LOG", 1));
    // Newer, so it is searched first: a verbose log of another product.
    constexpr std::uint64_t kLarge = 512ull * 1024 * 1024;
    ASSERT_TRUE(writeLargeText(temp() + L"MSI9c8d7.LOG", kLarge));
    const std::wstring output = temp() + L"report.zip";

    DiagnosticLogHold keptLog(temp());
    StartedProgram tool = startProgram(testBinaryFolder() + L"VosselPRT.exe", L"/flushed /file \"" + output + L"\"",
        toolTempOverrides(temp()));
    ScopedKernelHandle watched(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, tool.processId()));
    ASSERT_TRUE(watched);
    // The most memory the tool has held, as seen while it runs: the system keeps the peak, so a
    // look at any moment after the search tells what the search took.
    SIZE_T peak = 0;
    std::optional<unsigned long> exitCode;
    const ULONGLONG giveUp = GetTickCount64() + 300000;
    while (!(exitCode = tool.wait(5)) && GetTickCount64() < giveUp) {
        PROCESS_MEMORY_COUNTERS counters = {};
        counters.cb = sizeof(counters);
        if (GetProcessMemoryInfo(watched.get(), &counters, sizeof(counters))) {
            peak = std::max(peak, counters.PeakWorkingSetSize);
        }
    }
    std::printf("[ measured ] the tool's peak working set: %.1f MB\n", peak / 1048576.0);
    ASSERT_EQ(exitCode, std::optional<unsigned long>(0));

    EXPECT_GT(peak, 0u);
    EXPECT_LT(peak, kLarge / 4);
    const auto entries = readZipArchive(output);
    ASSERT_TRUE(entries.has_value());
    const Names names = entryNames(*entries);
    ASSERT_GE(names.size(), 3u);
    EXPECT_EQ(Names(names.end() - 3, names.end()), (Names{"MSI4f2a9.LOG", "PRT.txt", "manifest.json"}));
}

} // namespace
