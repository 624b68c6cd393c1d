#include <windows.h>

#include <string>
#include <vector>

#include "support/client_double.h"
#include "tool_run_fixture.h"

namespace {

using Messages = std::vector<std::string>;

constexpr char kOpening[] = "PRT is not triggered in vossel application, ready to trigger PRT material flush.";

class FlushHandshake : public ToolRunTest {
protected:
    void SetUp() override
    {
        logFolder_ = temp() + L"ClientLogs\\";
        ASSERT_TRUE(CreateDirectoryW(logFolder_.c_str(), nullptr));
        ASSERT_TRUE(writeFileBytes(logFolder_ + L"vossel.log", "client log"));
        writeIni("[Config]\r\nDeleteLogs=1\r\nVosselLogDirectory="
            + std::string(logFolder_.begin(), logFolder_.end()) + "\r\n");
    }

    std::wstring recordPath() const { return temp() + L"client-requests.txt"; }

    std::wstring logFolder_;
};

TEST_F(FlushHandshake, NoClientWindowEndsTheRunBeforeAnySettingIsRead)
{
    const std::wstring output = temp() + L"cmdlinePrt.zip";
    ASSERT_TRUE(writeFileBytes(output, "earlier report"));
    runTool(L"");

    EXPECT_EQ(logMessages(), (Messages{"Reading report ini...",
                                 "Initialization file path: " + tempText() + "VosselPRT.ini", kOpening,
                                 "can't find vossel window handle, exit PRT tool."}));
    // Neither a report nor the clean-up ran.
    EXPECT_EQ(readFileBytes(output), "earlier report");
    EXPECT_TRUE(fileExists(logFolder_ + L"vossel.log"));
}

TEST_F(FlushHandshake, ClientThatAnswersIsAskedOnceAndTheRunGoesOn)
{
    for (const std::wstring answer : {L"--answer now", L"--answer late --answer-delay 1500"}) {
        DeleteFileW((temp() + L"PRT.txt").c_str());
        DeleteFileW(recordPath().c_str());
        RunningClientDouble client(answer + L" --record \"" + recordPath() + L"\"");
        runTool(L"/fulldump 0");

        const Messages lines = logMessages();
        EXPECT_EQ(messagesBetween(lines, kOpening, "Log Server URL: "),
            (Messages{kOpening, "PRT material flush completes."}))
            << answer.c_str();
        EXPECT_NE(std::find(lines.begin(), lines.end(), "Finished reading report ini"), lines.end());
        EXPECT_EQ(readFileBytes(recordPath()), "flush-request 0 0\r\n");
    }
}

TEST_F(FlushHandshake, ClientThatNeverAnswersTimesOutAndTheRunGoesOn)
{
    RunningClientDouble client(L"--answer never --record \"" + recordPath() + L"\"");
    runTool(L"/fulldump 0");

    const Messages lines = logMessages();
    const Messages handshake = messagesBetween(lines, kOpening, "Log Server URL: ");
    ASSERT_EQ(handshake.size(), 2u);
    // The client made the event first, so opening it left ERROR_ALREADY_EXISTS, and a wait that
    // times out leaves the code as it was.
    EXPECT_EQ(handshake[1], "exception occrus when PRT material flushs , GetLastError=183");
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Finished reading report ini"), lines.end());
    EXPECT_TRUE(hasMessageStartingWith(lines, "cmd line : "));
    EXPECT_EQ(readFileBytes(recordPath()), "flush-request 0 0\r\n");
}

} // namespace
