#include <windows.h>

#include <algorithm>
#include <regex>
#include <string>
#include <vector>

#include "app/console/closing_line.h"
#include "base/scoped_handle.h"
#include "support/test_certificate.h"
#include "support/zip_reader.h"
#include "tool_run_fixture.h"

namespace {

using Lines = std::vector<std::string>;

Lines splitLines(const std::string& text)
{
    Lines lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find("\r\n", start);
        lines.push_back(text.substr(start, end - start));
        if (end == std::string::npos) {
            break;
        }
        start = end + 2;
    }
    return lines;
}

std::string narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

std::vector<std::wstring> filesIn(const std::wstring& folder)
{
    std::vector<std::wstring> found;
    WIN32_FIND_DATAW data = {};
    HANDLE find = FindFirstFileW((folder + L"*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = data.cFileName;
            if (name != L"." && name != L"..") {
                found.push_back(name);
            }
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    std::sort(found.begin(), found.end());
    return found;
}

// The reports in folder, by the archive file name's pattern.
std::vector<std::wstring> reportsIn(const std::wstring& folder)
{
    std::vector<std::wstring> found;
    for (const std::wstring& name : filesIn(folder)) {
        if (name.rfind(L"Vossel-Win-", 0) == 0 && name.size() > 4 && name.substr(name.size() - 4) == L".zip") {
            found.push_back(name);
        }
    }
    return found;
}

// A run whose standard output and standard error are kept apart, as "VosselPRT.exe ... >
// result.txt" at a console keeps them.
class ConsoleRun : public ToolRunTest {
protected:
    void runToolApart(const std::wstring& args)
    {
        const std::wstring outputFile = temp() + L"stdout.txt";
        const std::wstring errorFile = temp() + L"stderr.txt";
        const auto exitCode = ::runTool(args, temp(), ProgramStreams{outputFile, errorFile, false});
        ASSERT_TRUE(exitCode.has_value()) << "the tool did not end";
        EXPECT_EQ(*exitCode, 0u);
        standardOutput_ = readFileBytes(outputFile).value_or("");
        standardError_ = readFileBytes(errorFile).value_or("");
        DeleteFileW(outputFile.c_str());
        DeleteFileW(errorFile.c_str());
    }

    std::string noReportLine(NoReportReason reason, const std::wstring& outputPath = L"") const
    {
        return "No report was made: " + narrow(reasonText(reason, outputPath)) + ". See the diagnostic log "
            + tempText() + "PRT.txt";
    }

    std::string standardOutput_;
    std::string standardError_;
};

TEST_F(ConsoleRun, HelpPrintsTheUsageAndTouchesNothing)
{
    writeIni("[Config]\r\nProductMode=test\r\n");
    // With "/flushed" and a settings file a run would make a report at once; without "/flushed" it
    // would first look for the client and log that.
    for (const wchar_t* args : {L"/?", L"/help", L"/H", L"/flushed /help", L"/flushed /file out.zip /hElP"}) {
        runToolApart(args);
        EXPECT_EQ(standardOutput_.rfind("Usage: VosselPRT.exe", 0), 0u) << narrow(args) << standardOutput_;
        EXPECT_NE(standardOutput_.find("by default " + tempText() + "cmdlinePrt.zip\r\n"), std::string::npos);
        EXPECT_NE(standardOutput_.find("Diagnostic log: " + tempText() + "PRT.txt\r\n"), std::string::npos);
        EXPECT_EQ(standardError_, "") << narrow(args);
        // No log line, no report, no dump, no working file. The test's own hold on the log made an
        // empty PRT.txt; the tool wrote nothing into it, and without it the settings file is alone.
        EXPECT_EQ(readFileBytes(temp() + L"PRT.txt").value_or("missing"), "") << narrow(args);
        DeleteFileW((temp() + L"PRT.txt").c_str());
        EXPECT_EQ(filesIn(temp()), std::vector<std::wstring>{L"VosselPRT.ini"}) << narrow(args);
    }
}

TEST_F(ConsoleRun, ReportRunShowsItsStagesAndWhereTheReportIs)
{
    writeIni("[Config]\r\nProductMode=test\r\n");
    const std::wstring output = temp() + L"report.zip";
    runToolApart(L"/flushed /file \"" + output + L"\"");

    const auto entries = readZipArchive(output);
    ASSERT_TRUE(entries.has_value());
    const auto size = readFileBytes(output).value_or("").size();
    // The standard output holds the closing line alone: "> result.txt" captures just that.
    EXPECT_EQ(standardOutput_, "Report written to " + narrow(output) + " (" + std::to_string(entries->size())
            + " entries, " + narrow(formatReportSize(size)) + ")\r\n");
    EXPECT_EQ(splitLines(standardError_),
        (Lines{"Reading the settings", "Taking the memory dumps", "Describing the machine", "Collecting the report",
            "Saving the report", "Cleaning up"}));
}

TEST_F(ConsoleRun, LargeEntryShowsItsProgressByTenths)
{
    const std::wstring folder = temp() + L"big\\";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    ASSERT_TRUE(writeFileBytes(folder + L"large.bin", std::string(20 * 1024 * 1024, 'v')));
    writeIni("[Config]\r\nProductMode=test\r\n[AdditionalPrtPaths]\r\nBig=" + narrow(folder) + "\r\n");
    runToolApart(L"/flushed /file \"" + temp() + L"report.zip\"");

    const Lines lines = splitLines(standardError_);
    const auto collecting = std::find(lines.begin(), lines.end(), "Collecting the report");
    const auto saving = std::find(lines.begin(), lines.end(), "Saving the report");
    ASSERT_TRUE(collecting != lines.end() && saving != lines.end()) << standardError_;
    // Plain lines on a redirected stream: the entry's name and a rising percentage, ending at 100.
    const std::regex shape(R"(  .*large\.bin (\d+)%)");
    int last = -10;
    for (auto line = collecting + 1; line != saving; ++line) {
        std::smatch match;
        ASSERT_TRUE(std::regex_match(*line, match, shape)) << *line;
        const int percent = std::stoi(match[1]);
        EXPECT_GT(percent / 10, last / 10) << *line;
        last = percent;
    }
    EXPECT_EQ(last, 100) << standardError_;
    EXPECT_GE(saving - collecting, 3) << standardError_;
}

TEST_F(ConsoleRun, HandshakeHasItsStageLine)
{
    writeIni("[Config]\r\nProductMode=test\r\n");
    runToolApart(L"/file out.zip");
    EXPECT_EQ(splitLines(standardError_),
        (Lines{"Reading the settings", "Asking the running client to flush its material"}));
    EXPECT_EQ(standardOutput_, noReportLine(NoReportReason::NoClientWindow) + "\r\n");
}

TEST_F(ConsoleRun, EncryptedReportNamesItsCertificate)
{
    const TestCertificate certificate = makeTestCertificate("Vossel PRT E2E Console");
    ScopedStoreCertificate installed(L"Root", certificate.der);
    writeIni("[Config]\r\nEnablePRTEncryption=1\r\nPrtCertificateName=PRT E2E Console\r\n");
    const std::wstring output = temp() + L"report.zip";
    runToolApart(L"/flushed /file \"" + output + L"\"");

    ASSERT_TRUE(fileExists(output));
    const auto size = readFileBytes(output).value_or("").size();
    // The entries counted are the report's own, which the encrypted form holds.
    EXPECT_EQ(standardOutput_, "Report encrypted for Vossel PRT E2E Console and written to " + narrow(output)
            + " (6 entries, " + narrow(formatReportSize(size)) + ")\r\n");
}

TEST_F(ConsoleRun, EveryStopGivesItsOwnReason)
{
    const std::wstring existing = temp() + L"existing.zip";
    const std::wstring unreachable = temp() + L"missing\\report.zip";
    struct Case {
        const char* name;
        std::string ini; // empty: no settings file
        std::wstring args;
        std::string line;
        // The report stays in the temporary folder, and the line ends by saying where.
        bool keepsReport = false;
    };
    const std::vector<Case> cases = {
        {"no client window", "[Config]\r\n", L"/file out.zip", noReportLine(NoReportReason::NoClientWindow)},
        {"stray word", "[Config]\r\n", L"/flushed /file out.zip stray", noReportLine(NoReportReason::CommandLineUnreadable)},
        {"no settings", "", L"/flushed", noReportLine(NoReportReason::NoSettings)},
        {"/overwrite 0", "[Config]\r\n", L"/flushed /overwrite 0 /file \"" + existing + L"\"",
            noReportLine(NoReportReason::OutputFileKept, existing)},
        {"output is a folder", "[Config]\r\n", L"/flushed /file \"" + temp() + L"folder\"",
            noReportLine(NoReportReason::OutputFileNotReplaceable, temp() + L"folder")},
        {"no certificate", "[Config]\r\nEnablePRTEncryption=1\r\nPrtCertificateName=Vossel PRT Nobody Has This\r\n",
            L"/flushed /file out.zip", noReportLine(NoReportReason::NoCertificate)},
        {"move fails", "[Config]\r\n", L"/flushed /file \"" + unreachable + L"\"",
            noReportLine(NoReportReason::MoveFailed, unreachable), true},
    };
    ASSERT_TRUE(CreateDirectoryW((temp() + L"folder").c_str(), nullptr));
    for (const auto& c : cases) {
        DeleteFileW(iniPath().c_str());
        if (!c.ini.empty()) {
            writeIni(c.ini);
        }
        ASSERT_TRUE(writeFileBytes(existing, "earlier report"));
        runToolApart(c.args);
        std::string line = c.line;
        if (c.keepsReport) {
            const std::vector<std::wstring> kept = reportsIn(temp());
            ASSERT_EQ(kept.size(), 1u) << c.name;
            const std::string ending = ". See the diagnostic log ";
            line.insert(line.rfind(ending), "; the report is kept at " + narrow(temp() + kept[0]));
            DeleteFileW((temp() + kept[0]).c_str());
        }
        EXPECT_EQ(standardOutput_, line + "\r\n") << c.name;
    }
}

TEST_F(ConsoleRun, SecondInstanceSaysSo)
{
    // This test process stands in for the instance that is already running.
    ScopedKernelHandle held(CreateMutexW(nullptr, FALSE, L"Local\\OrmelVossel-PRTMutex"));
    ASSERT_TRUE(held.isValid());
    runToolApart(L"/flushed");
    EXPECT_EQ(standardOutput_, noReportLine(NoReportReason::AnotherInstance) + "\r\n");
    EXPECT_EQ(standardError_, "");
}

TEST_F(ConsoleRun, WithoutConsoleOrRedirectionTheRunIsSilentAndComplete)
{
    // As the client starts the tool: no console, no handles passed on. This process's own standard
    // handles lead to files that the tool is not given; on Windows their values are still copied
    // into the tool's start-up parameters, where they name nothing the tool may write to.
    const std::wstring ownOutput = temp() + L"own-stdout.txt";
    const std::wstring ownError = temp() + L"own-stderr.txt";
    ScopedFileHandle outputFile(CreateFileW(ownOutput.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr));
    ScopedFileHandle errorFile(CreateFileW(ownError.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(outputFile.isValid() && errorFile.isValid());
    const HANDLE savedOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    const HANDLE savedError = GetStdHandle(STD_ERROR_HANDLE);
    SetStdHandle(STD_OUTPUT_HANDLE, outputFile.get());
    SetStdHandle(STD_ERROR_HANDLE, errorFile.get());

    writeIni("[Config]\r\nProductMode=test\r\n");
    const std::wstring output = temp() + L"report.zip";
    const auto exitCode = ::runTool(L"/flushed /file \"" + output + L"\"", temp(), ProgramStreams{L"", L"", true});

    SetStdHandle(STD_OUTPUT_HANDLE, savedOutput);
    SetStdHandle(STD_ERROR_HANDLE, savedError);
    outputFile.reset();
    errorFile.reset();
    ASSERT_TRUE(exitCode.has_value());
    EXPECT_EQ(*exitCode, 0u);
    EXPECT_TRUE(readZipArchive(output).has_value());
    EXPECT_EQ(readFileBytes(ownOutput), "");
    EXPECT_EQ(readFileBytes(ownError), "");
    // The diagnostic log is the run's only voice, and it holds the whole run.
    EXPECT_TRUE(hasMessageStartingWith(logMessages(), "Adding " + tempText() + "PRT.txt"));
}

} // namespace
