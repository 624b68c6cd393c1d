#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/console/closing_line.h"
#include "tool_run_fixture.h"

namespace {

using Messages = std::vector<std::string>;

// Names of the files in folder that match pattern ("*" for all).
std::vector<std::wstring> filesIn(const std::wstring& folder, const std::wstring& pattern = L"*")
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW entry = {};
    HANDLE search = FindFirstFileW((folder + pattern).c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            names.push_back(entry.cFileName);
        }
    } while (FindNextFileW(search, &entry));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

class CleanUp : public ToolRunTest {
protected:
    void SetUp() override
    {
        logs_ = temp() + L"ClientLogs\\";
        for (const wchar_t* name : {L"vossel.log", L"vossel.log.1", L"vossel_ui.log"}) {
            ScopedClientProfile::put(logs_ + name, asciiText(name));
        }
        // The working files that other stages leave in the temporary folder; the numbered
        // screenshots are the client's and stay.
        for (const wchar_t* name : {L"gdi.txt", L"dntcolex.dmp", L"dntcolex64.dmp", L"Vossel_Screenshot",
                 L"Vossel_Screenshot1.png"}) {
            ASSERT_TRUE(writeFileBytes(temp() + name, "working file"));
        }
    }

    void writeSettings(bool deleteLogs)
    {
        writeIni(std::string("[Config]\r\nDeleteLogs=") + (deleteLogs ? "1" : "0") + "\r\nVosselLogDirectory="
            + asciiText(logs_) + "\r\n");
    }

    std::wstring logs_;
};

TEST_F(CleanUp, WorkingFilesGoAndNoDiagnosticLogRemains)
{
    writeSettings(false);
    const std::wstring output = temp() + L"out.zip";
    runTool(L"/flushed /file \"" + output + L"\"", false);

    EXPECT_TRUE(fileExists(output));
    EXPECT_EQ(filesIn(temp()), (std::vector<std::wstring>{L"VosselPRT.ini", L"Vossel_Screenshot1.png", L"out.zip"}));
    EXPECT_EQ(filesIn(logs_), (std::vector<std::wstring>{L"vossel.log", L"vossel.log.1", L"vossel_ui.log"}));
}

TEST_F(CleanUp, DeleteLogsTakesTheClientLogsAndStartsANewLog)
{
    writeSettings(true);
    // A sub-folder whose name matches is tried like a file, fails and is reported.
    ASSERT_TRUE(CreateDirectoryW((logs_ + L"old vossel.log").c_str(), nullptr));
    const std::wstring output = temp() + L"out.zip";
    runTool(L"/flushed /file \"" + output + L"\"", false);

    EXPECT_TRUE(fileExists(output));
    EXPECT_EQ(filesIn(logs_), std::vector<std::wstring>{L"vossel_ui.log"});
    const Messages lines = logMessages();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "Deleting Log files");
    EXPECT_EQ(lines[1].rfind("Failed to delete file. Error: ", 0), 0u) << lines[1];
    EXPECT_EQ(Messages(lines.begin() + 2, lines.end()),
        (Messages{"Find kib path so libraries can be loaded", "IsVirtualisedEnv() returning 0"}));
    EXPECT_EQ(filesIn(temp()), (std::vector<std::wstring>{L"PRT.txt", L"VosselPRT.ini", L"Vossel_Screenshot1.png", L"out.zip"}));
}

TEST_F(CleanUp, OutputFileThatMayNotBeReplacedStaysAndNothingIsDeleted)
{
    writeSettings(true);
    const std::wstring output = temp() + L"out.zip";
    ASSERT_TRUE(writeFileBytes(output, "earlier report"));
    runTool(L"/flushed /overwrite 0 /file \"" + output + L"\"", false);

    EXPECT_EQ(readFileBytes(output), "earlier report");
    EXPECT_EQ(filesIn(logs_), (std::vector<std::wstring>{L"vossel.log", L"vossel.log.1", L"vossel_ui.log"}));
    const Messages lines = logMessages();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "output file[" + asciiText(output) + "] exists, fails to delete. exit application."),
        lines.end());
    EXPECT_EQ(lines.back(), "No report reached the output path: the log files are kept.");
    EXPECT_FALSE(fileExists(temp() + L"gdi.txt"));
}

TEST_F(CleanUp, FailedMoveKeepsTheReportAndTheClientLogs)
{
    writeSettings(true);
    const std::wstring output = temp() + L"missing-folder\\out.zip";
    runTool(L"/flushed /file \"" + output + L"\"", false);

    const std::vector<std::wstring> kept = filesIn(temp(), L"Vossel-Win-*.zip");
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(filesIn(logs_), (std::vector<std::wstring>{L"vossel.log", L"vossel.log.1", L"vossel_ui.log"}));
    const Messages lines = logMessages();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[lines.size() - 3].rfind("Failed to rename file from " + tempText() + asciiText(kept[0]), 0), 0u);
    EXPECT_EQ(Messages(lines.end() - 2, lines.end()),
        (Messages{"The report did not reach the output path and is kept at " + tempText() + asciiText(kept[0]),
            "No report reached the output path: the log files are kept."}));
    EXPECT_FALSE(fileExists(temp() + L"metadata.txt"));
}

TEST_F(CleanUp, OutputPathThatTheRunWouldDeleteIsRefusedAndNothingIsDeleted)
{
    writeSettings(true);
    ASSERT_TRUE(CreateDirectoryW((temp() + L"sub").c_str(), nullptr));
    struct Case {
        const char* name;
        std::wstring output;
        NoReportReason reason;
        std::wstring clashesWith;
    };
    const std::vector<Case> cases = {
        {"metadata file", temp() + L"metadata.txt", NoReportReason::OutputIsWorkingFile, temp() + L"metadata.txt"},
        {"GDI file, spelt otherwise", temp() + L"sub\\..\\GDI.TXT", NoReportReason::OutputIsWorkingFile,
            temp() + L"gdi.txt"},
        {"companion dump", temp() + L"dntcolex64.dmp", NoReportReason::OutputIsWorkingFile, temp() + L"dntcolex64.dmp"},
        {"client log name, with DeleteLogs", logs_ + L"vossel.log.report.zip", NoReportReason::OutputIsDeletedLog,
            logs_ + L"vossel.log.report.zip"},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(writeFileBytes(c.output, "earlier report")) << c.name;
        runTool(L"/flushed /file \"" + c.output + L"\"");

        EXPECT_EQ(readFileBytes(c.output), "earlier report") << c.name;
        EXPECT_TRUE(fileExists(logs_ + L"vossel.log") && fileExists(logs_ + L"vossel.log.1")) << c.name;
        EXPECT_NE(output().find("No report was made: " + asciiText(reasonText(c.reason, c.output)) + "."),
            std::string::npos) << c.name << ": " << output();
        const Messages lines = logMessages();
        EXPECT_NE(std::find(lines.begin(), lines.end(), "output file[" + asciiText(c.output)
                      + "] would be deleted at the end of the run as " + asciiText(c.clashesWith) + ". no report is made."),
            lines.end()) << c.name;
        // Refused before anything was collected.
        EXPECT_FALSE(hasMessageStartingWith(lines, "Adding ")) << c.name;
        DeleteFileW(c.output.c_str());
        DeleteFileW((temp() + L"PRT.txt").c_str());
    }
}

} // namespace
