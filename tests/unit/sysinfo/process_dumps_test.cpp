#include "sysinfo/process_dumps.h"

#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "base/diagnostic_log.h"
#include "support/scoped_temp_folder.h"
#include "support/test_files.h"
#include "support/tool_runner.h"
#include "sysinfo/dump_output_lines.h"
#include "sysinfo/dump_program.h"

namespace {

TEST(ExceptionInfo, AddressInEightUpperCaseHexadecimalDigits)
{
    struct Case {
        unsigned long threadId;
        unsigned long address;
        std::wstring line;
    };
    const std::vector<Case> cases = {
        {16, 0x1A2B3C, L"Exception Info: (ThreadId)16, (ExceptionPointers)001A2B3C, (ClientPointers)1"},
        {0, 0xDEADBEEF, L"Exception Info: (ThreadId)0, (ExceptionPointers)DEADBEEF, (ClientPointers)1"},
        {4294967295ul, 1, L"Exception Info: (ThreadId)4294967295, (ExceptionPointers)00000001, (ClientPointers)1"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(formatExceptionInfo(c.threadId, c.address), c.line);
    }
}

std::vector<std::string> splitInReads(const std::string& output, std::size_t readSize)
{
    CDumpOutputLines splitter;
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < output.size(); at += readSize) {
        const auto some = splitter.add(output.data() + at, std::min(readSize, output.size() - at));
        lines.insert(lines.end(), some.begin(), some.end());
    }
    const auto rest = splitter.finish();
    lines.insert(lines.end(), rest.begin(), rest.end());
    return lines;
}

TEST(DumpOutputLines, WholeLinesWhereverTheReadsEnd)
{
    const std::string longLine(5000, 'x');
    struct Case {
        const char* name;
        std::string output;
        std::vector<std::string> lines;
    };
    const std::vector<Case> cases = {
        {"CR LF line ends", "one\r\ntwo\r\n", {"one", "two"}},
        {"LF line ends, no end after the last", "one\ntwo", {"one", "two"}},
        {"blank lines dropped", "\r\n\r\none\r\n\r\n", {"one"}},
        {"nothing", "", {}},
        {"a line longer than one read", longLine + "\r\nafter",
            {std::string(4095, 'x'), std::string(905, 'x'), "after"}},
        {"bytes above 127 kept", "caf\xE9\n", {"caf\xE9"}},
    };
    for (const Case& c : cases) {
        for (const std::size_t readSize : {std::size_t{1}, std::size_t{3}, std::size_t{4095}}) {
            EXPECT_EQ(splitInReads(c.output, readSize), c.lines) << c.name << ", reads of " << readSize;
        }
    }
}

TEST(DumpProgramCommandLine, ParsesBackIntoProgramIdentifierAndPath)
{
    const std::wstring line = buildDumpProgramCommandLine(L"C:\\Program Files (x86)\\Ormel\\Vossel", 4242,
        L"C:\\Users\\Jo Doe\\AppData\\Local\\Temp\\dntcolex64.dmp");
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(line.c_str(), &argc);
    ASSERT_NE(argv, nullptr);
    const std::vector<std::wstring> arguments(argv, argv + argc);
    LocalFree(argv);
    EXPECT_EQ(arguments, (std::vector<std::wstring>{L"C:\\Program Files (x86)\\Ormel\\Vossel\\x64\\Ravik.exe",
                             L"4242", L"C:\\Users\\Jo Doe\\AppData\\Local\\Temp\\dntcolex64.dmp"}));
}

// A dump program that hangs with its output still open holds the report back for no longer than
// the time allowed; its output so far still reaches the log. One that ends is not waited for.
TEST(DumpProgram, AHangingProgramIsLeftRunningWhenTheTimeIsUp)
{
    ScopedTempFolder temp;
    const std::wstring dump = temp.path() + L"hung.dmp";
    const std::wstring commandLine = L"\"" + testBinaryFolder() + L"StandInDumper.exe\" 1 \"" + dump + L"\"";
    struct Case {
        const wchar_t* sleepMs;
        ULONGLONG atLeastMs;
        ULONGLONG atMostMs;
        bool dumpWritten;
    };
    const std::vector<Case> cases = {{L"5000", 1500, 4500, false}, {L"0", 0, 1400, true}};
    // The exit code of a program that ended in its time; nothing for one left running.
    const std::vector<std::optional<unsigned long>> exitCodes = {std::nullopt, 0ul};
    size_t index = 0;
    for (const Case& c : cases) {
        DeleteFileW(dump.c_str());
        SetEnvironmentVariableW(L"PRT_STAND_IN_LINES", L"2");
        SetEnvironmentVariableW(L"PRT_STAND_IN_SLEEP_MS", c.sleepMs);
        const size_t linesBefore = readLogMessages(getLogFilePath()).size();
        const ULONGLONG start = GetTickCount64();
        const std::optional<unsigned long> exitCode = runDumpProgram(commandLine, 1500);
        const ULONGLONG took = GetTickCount64() - start;
        EXPECT_EQ(exitCode, exitCodes[index++]) << c.sleepMs;
        SetEnvironmentVariableW(L"PRT_STAND_IN_LINES", nullptr);
        SetEnvironmentVariableW(L"PRT_STAND_IN_SLEEP_MS", nullptr);

        EXPECT_GE(took, c.atLeastMs) << c.sleepMs;
        EXPECT_LE(took, c.atMostMs) << c.sleepMs;
        const auto lines = readLogMessages(getLogFilePath());
        EXPECT_EQ(std::vector<std::string>(lines.begin() + static_cast<long>(linesBefore), lines.end()),
            (std::vector<std::string>{"stand-in dump program, line 001 of its output, padded to sixty bytes..",
                "stand-in dump program, line 002 of its output, padded to sixty bytes..",
                "stand-in dump program, a line on standard error"}))
            << c.sleepMs;
        EXPECT_EQ(GetFileAttributesW(dump.c_str()) != INVALID_FILE_ATTRIBUTES, c.dumpWritten) << c.sleepMs;
    }
}

} // namespace
