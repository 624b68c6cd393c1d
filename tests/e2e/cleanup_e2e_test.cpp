#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/console/closing_line.h"
#include "base/scoped_handle.h"
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

TEST_F(CleanUp, DeleteLogsKeepsEveryLogTheReportDoesNotHold)
{
    writeSettings(true);
    // Held open by another program that lets no one read it (deleting it would be allowed), and
    // one too large for the room the archive is given.
    const std::wstring locked = logs_ + L"vossel.log.2";
    const std::wstring large = logs_ + L"vossel.log.3";
    ScopedClientProfile::put(locked, "a log that cannot be read");
    std::string noise(32 * 1024 * 1024, '\0');
    unsigned state = 7;
    for (auto& c : noise) {
        state = state * 1103515245u + 12345u;
        c = static_cast<char>(state >> 24);
    }
    ScopedClientProfile::put(large, noise);
    ScopedFileHandle holder(CreateFileW(locked.c_str(), GENERIC_WRITE, FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(holder.isValid());

    const std::wstring output = temp() + L"out.zip";
    DiagnosticLogHold keptLog(temp());
    const std::wstring standardOutput = temp() + L"stdout.txt";
    StartedProgram tool = startProgram(testBinaryFolder() + L"VosselPRT.exe", L"/flushed /file \"" + output + L"\"",
        {{L"TMP", temp()}, {L"TEMP", temp()}, {L"VOSSEL_PRT_TEST_ARCHIVE_LIMIT", std::to_wstring(24 * 1024 * 1024)}},
        ProgramStreams{standardOutput, temp() + L"stderr.txt", false});
    ASSERT_EQ(tool.wait(120000), std::optional<unsigned long>(0));
    // Only now could a deletion asked for during the run take effect.
    holder.reset();

    EXPECT_EQ(filesIn(logs_), (std::vector<std::wstring>{L"vossel.log.2", L"vossel.log.3", L"vossel_ui.log"}));
    const Messages lines = logMessages();
    for (const std::string& line : {"Could not read " + asciiText(locked) + ", it is left out of the report.",
             "Not enough memory to add " + asciiText(large) + " to the zip stream.",
             "Log file kept, could not be read: " + asciiText(locked), "Log file kept, no room: " + asciiText(large)}) {
        EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end()) << line;
    }
    const std::string closing = readFileBytes(standardOutput).value_or("");
    EXPECT_EQ(closing.rfind("Report written to " + asciiText(output) + " (", 0), 0u) << closing;
    EXPECT_NE(closing.find("); 2 entries were left out, the diagnostic log PRT.txt in it names them\r\n"),
        std::string::npos) << closing;
}

} // namespace
