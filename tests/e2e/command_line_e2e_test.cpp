#include <windows.h>

#include <string>
#include <vector>

#include "tool_run_fixture.h"

namespace {

using Messages = std::vector<std::string>;

class CommandLineRun : public ToolRunTest {
protected:
    void SetUp() override { writeIni("[Config]\r\nProductMode=test\r\n"); }

    std::wstring existingOutput()
    {
        const std::wstring path = temp() + L"out put.zip";
        EXPECT_TRUE(writeFileBytes(path, "earlier report"));
        return path;
    }

    std::string refusedLine(const std::wstring& path)
    {
        return "output file[" + std::string(path.begin(), path.end()) + "] exists, fails to delete. exit application.";
    }
};

TEST_F(CommandLineRun, OverwriteDecidesAboutAnExistingOutputFile)
{
    struct Case {
        std::wstring overwrite;
        bool kept;
    };
    // "/Overwrite 0" is another option: names are matched exactly.
    const std::vector<Case> cases = {
        {L"", false}, {L"/overwrite 1", false}, {L"/overwrite", false}, {L"/overwrite 0", true},
        {L"/Overwrite 0", false},
    };
    for (const auto& c : cases) {
        DeleteFileW((temp() + L"PRT.txt").c_str());
        const std::wstring output = existingOutput();
        runTool(L"/flushed /file \"" + output + L"\" " + c.overwrite);

        const Messages lines = logMessages();
        const bool refused = std::find(lines.begin(), lines.end(), refusedLine(output)) != lines.end();
        EXPECT_EQ(refused, c.kept) << c.overwrite.c_str();
        EXPECT_EQ(readFileBytes(output) == "earlier report", c.kept) << c.overwrite.c_str();
    }
}

TEST_F(CommandLineRun, EmptyFileValueFallsBackToTheDefaultReportPath)
{
    const std::wstring defaultOutput = temp() + L"cmdlinePrt.zip";
    ASSERT_TRUE(writeFileBytes(defaultOutput, "earlier report"));
    runTool(L"/flushed /file \"\" /overwrite 0");
    const Messages lines = logMessages();
    EXPECT_NE(std::find(lines.begin(), lines.end(), refusedLine(defaultOutput)), lines.end());
}

TEST_F(CommandLineRun, OutputPathThatIsAFolderStopsTheRun)
{
    const std::wstring folder = temp() + L"reports";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    runTool(L"/flushed /file \"" + folder + L"\"");
    const Messages lines = logMessages();
    EXPECT_NE(std::find(lines.begin(), lines.end(), refusedLine(folder)), lines.end());
    EXPECT_NE(GetFileAttributesW(folder.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(CommandLineRun, StrayWordMakesNoReportAndShowsUsage)
{
    const std::wstring report = existingOutput();
    runTool(L"/flushed /file \"" + report + L"\" stray");

    EXPECT_NE(output().find("Usage: VosselPRT.exe"), std::string::npos) << output();
    const Messages lines = withoutWorkerMessages(logMessages());
    ASSERT_GE(lines.size(), 2u);
    // The command line is the last thing logged before the wait for the system-information
    // worker: nothing about the failure, and no report.
    EXPECT_EQ(lines[lines.size() - 2].rfind("cmd line : ", 0), 0u) << lines[lines.size() - 2];
    EXPECT_EQ(lines.back(), "Waiting for system info thread to finish.");
    EXPECT_EQ(readFileBytes(report), "earlier report");
}

TEST_F(CommandLineRun, FlushedInsideAnotherValueStillCounts)
{
    // No client runs: a handshake would end the run at once.
    runTool(L"/comments \"see /flushed there\"");
    const Messages lines = logMessages();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Finished reading report ini"), lines.end());
    EXPECT_FALSE(hasMessageStartingWith(lines, "PRT is not triggered"));
}

} // namespace
