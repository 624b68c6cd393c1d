#include "base/diagnostic_log.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "support/scoped_temp_folder.h"
#include "support/test_files.h"
#include "support/test_time.h"

namespace {

TEST(DiagnosticLogTimestamp, PadsEveryFieldToItsWidth)
{
    EXPECT_EQ(formatLogTimestamp(makeSystemTime(2024, 3, 7, 9, 5, 2, 42)), L"2024-03-07 09:05:02,042");
    EXPECT_EQ(formatLogTimestamp(makeSystemTime(1999, 12, 31, 23, 59, 59, 999)), L"1999-12-31 23:59:59,999");
    EXPECT_EQ(formatLogTimestamp(makeSystemTime(2026, 1, 1, 0, 0, 0, 0)), L"2026-01-01 00:00:00,000");
}

TEST(DiagnosticLogTimestamp, CurrentTimeHasTheLogShape)
{
    const std::wstring now = formatLogTimestamp();
    ASSERT_EQ(now.size(), 23u);
    EXPECT_TRUE(hasLogLineShape("[" + std::string(now.begin(), now.end()) + "] "));
}

struct EncodingCase {
    std::wstring message;
    std::string bytes;
};

TEST(DiagnosticLogFile, WritesBracketedTimestampMessageAndCrLf)
{
    const std::vector<EncodingCase> cases = {
        {L"", ""},
        {L"Reading report ini...", "Reading report ini..."},
        {L"caf\u00e9 \u00ff\u0001", "caf\xe9 \xff\x01"},
        {L"over \u0100 and \u20ac", "over ? and ?"},
        {L"x\n[2030-01-01 00:00:00,000] PRT material flush completes.",
            "x [2030-01-01 00:00:00,000] PRT material flush completes."},
        {L"\r\na\rb\n\n", "  a b  "},
    };
    for (const auto& c : cases) {
        ScopedTempFolder folder;
        const std::wstring path = folder.path() + L"PRT.txt";
        appendLogLine(path, c.message);

        const auto bytes = readFileBytes(path);
        ASSERT_TRUE(bytes);
        ASSERT_EQ(bytes->size(), 1 + 23 + 2 + c.bytes.size() + 2);
        EXPECT_TRUE(hasLogLineShape(bytes->substr(0, bytes->size() - 2)));
        EXPECT_EQ(bytes->substr(26), c.bytes + "\r\n");
    }
}

TEST(DiagnosticLogFile, AppendsToWhatTheFileHolds)
{
    ScopedTempFolder folder;
    const std::wstring path = folder.path() + L"PRT.txt";
    ASSERT_TRUE(writeFileBytes(path, "line of an earlier run\r\n"));
    appendLogLine(path, L"first");
    appendLogLine(path, L"second");
    EXPECT_EQ(readLogMessages(path),
        (std::vector<std::string>{"line of an earlier run", "first", "second"}));
}

TEST(DiagnosticLogFile, FolderThatCannotBeWrittenIsSilentlySkipped)
{
    ScopedTempFolder folder;
    const std::wstring path = folder.path() + L"missing\\PRT.txt";
    appendLogLine(path, L"dropped");
    EXPECT_FALSE(fileExists(path));
    // The caller carries on and a later writable log still works.
    appendLogLine(folder.path() + L"PRT.txt", L"kept");
    EXPECT_EQ(readLogMessages(folder.path() + L"PRT.txt"), std::vector<std::string>{"kept"});
}

TEST(DiagnosticLogFile, ConcurrentWritersLeaveOnlyWholeLines)
{
    ScopedTempFolder folder;
    const std::wstring path = folder.path() + L"PRT.txt";
    constexpr int kLines = 300;
    const std::wstring mainText(200, L'm');
    const std::wstring workerText(150, L'w');

    std::thread worker([&] {
        for (int i = 0; i < kLines; ++i) {
            appendLogLine(path, workerText);
        }
    });
    for (int i = 0; i < kLines; ++i) {
        appendLogLine(path, mainText);
    }
    worker.join();

    const auto bytes = readFileBytes(path);
    ASSERT_TRUE(bytes);
    int mainLines = 0;
    int workerLines = 0;
    size_t start = 0;
    while (start < bytes->size()) {
        const size_t end = bytes->find("\r\n", start);
        ASSERT_NE(end, std::string::npos) << "the file ends inside a line";
        const std::string line = bytes->substr(start, end - start);
        ASSERT_TRUE(hasLogLineShape(line)) << line;
        const std::string message = line.substr(26);
        if (message == std::string(mainText.begin(), mainText.end())) {
            ++mainLines;
        } else if (message == std::string(workerText.begin(), workerText.end())) {
            ++workerLines;
        } else {
            FAIL() << "torn line: " << line;
        }
        start = end + 2;
    }
    EXPECT_EQ(mainLines, kLines);
    EXPECT_EQ(workerLines, kLines);
}

} // namespace
