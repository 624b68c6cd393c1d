#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/client_double.h"
#include "support/zip_reader.h"
#include "tool_run_fixture.h"

namespace {

using Messages = std::vector<std::string>;

class SettingsRun : public ToolRunTest {
protected:
    // The lines the reader writes, from its first to the command-line step's first.
    Messages settingsLines()
    {
        return messagesBetween(withoutWorkerMessages(logMessages()), "Reading report ini...", "");
    }

    Messages readerLines()
    {
        Messages lines = settingsLines();
        const auto cmd = std::find_if(lines.begin(), lines.end(),
            [](const std::string& m) { return m.rfind("cmd line : ", 0) == 0; });
        lines.erase(cmd, lines.end());
        return lines;
    }

    Messages workingFileLines()
    {
        const std::string t = tempText();
        return {"Comment file: " + t + "user-comment.txt", "Metadata File Path: " + t + "metadata.txt",
            "GDI File Path: " + t + "gdi.txt", "dntcolex.exe Dump File Path: " + t + "dntcolex.dmp",
            "dntcolex64.exe Dump File Path: " + t + "dntcolex64.dmp"};
    }
};

TEST_F(SettingsRun, LogsEverySettingInOrderThenTheCommandLine)
{
    writeIni("[Config]\r\n"
             "LogServerURL=https://logs.example.invalid/upload\r\n"
             "ProblemReportToolOnPrem=1\r\n"
             "AutoUploadPRT=0\r\n"
             "DisableDUMPFile=1\r\n"
             "EnableForensicsContactData=true\r\n"
             "VosselLogDirectory=C:\\Logs\\\r\n"
             "ProcessID=0x1A\r\n"
             "ExceptionAddress=7ffd1234\r\n"
             "ThreadId=2b\r\n"
             "ProductMode=softphone\r\n"
             "ProductName=Ormel Vossel\r\n"
             "LangID=1031\r\n"
             "DeleteLogs=Yes\r\n"
             "EnablePRTEncryption=0\r\n"
             "PrtCertificateName=Support\r\n"
             "[AdditionalPrtPaths]\r\n"
             "Logs=C:\\Logs\r\n");
    runTool(L"/flushed");

    Messages expected = {
        "Reading report ini...",
        "Initialization file path: " + tempText() + "VosselPRT.ini",
        "Log Server URL: https://logs.example.invalid/upload",
        "ProblemReportToolOnPrem: 1",
        "AutoUploadPRT: 0",
        "DisableCreateDumpFile: 1",
        "EnableForensicsContactData: true",
        "Vossel Log Path: C:\\Logs\\",
    };
    for (const auto& line : workingFileLines()) {
        expected.push_back(line);
    }
    for (const std::string line : {"ProcessID: 0x0x1A", "Exception pointer: 0x7ffd1234",
             "ExceptionThreadID: 0x2b", "ProductMode: softphone", "ProductName: Ormel Vossel",
             "Language ID from VosselPRT.ini: 1031", "Delete Logs: 1", "Enable PRT Encryption: 0",
             "Prt Certificate Name: Support", "Finished reading report ini"}) {
        expected.push_back(line);
    }
    const Messages lines = settingsLines();
    ASSERT_GT(lines.size(), expected.size());
    EXPECT_EQ(Messages(lines.begin(), lines.begin() + expected.size()), expected);
    EXPECT_EQ(lines[expected.size()], "cmd line : \"" + [] {
        std::wstring exe = testBinaryFolder() + L"VosselPRT.exe";
        return std::string(exe.begin(), exe.end());
    }() + "\" /flushed");
}

struct LineCase {
    std::string ini;
    std::vector<std::string> present;
    std::vector<std::string> absent;
};

TEST_F(SettingsRun, EachValueIsLoggedAsTheTableSays)
{
    const std::string longValue(300, 'v');
    const std::string userLang = "Language ID from user default: " + std::to_string(GetUserDefaultLangID());
    const std::vector<LineCase> cases = {
        {"[Config]\r\nProcessID=1A\r\n", {"ProcessID: 0x1A", userLang}, {}},
        {"[Config]\r\nDeleteLogs=TRUE\r\nEnablePRTEncryption=on\r\nPrtCertificateName=\r\n",
            {"Delete Logs: 1", "Enable PRT Encryption: 1", "Prt Certificate Name: ",
                "No certificate name provided by config"},
            {"Finished reading report ini", "Read certificate Trust store failed"}},
        {"[Config]\r\nEnablePRTEncryption=1\r\nPrtCertificateName=Nobody Here\r\n"
         "[AdditionalPrtPaths]\r\nLogs=C:\\Logs\r\n",
            {"Prt Certificate Name: Nobody Here", "Read certificate Trust store failed"},
            {"Finished reading report ini", "No certificate name provided by config"}},
        {"[Config]\r\nDeleteLogs=nah\r\nEnablePRTEncryption=no\r\n",
            {"Delete Logs: 0", "Enable PRT Encryption: 0", "Finished reading report ini"}, {}},
        {"[Config]\r\nProductName=" + longValue + "\r\n", {"ProductName: " + longValue.substr(0, 255)}, {}},
    };
    for (const auto& c : cases) {
        writeIni(c.ini);
        DeleteFileW((temp() + L"PRT.txt").c_str());
        runTool(L"/flushed");
        const Messages lines = readerLines();
        for (const auto& line : c.present) {
            EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end()) << line << "\nfor\n" << c.ini;
        }
        for (const auto& line : c.absent) {
            EXPECT_EQ(std::find(lines.begin(), lines.end(), line), lines.end()) << line << "\nfor\n" << c.ini;
        }
    }
}

TEST_F(SettingsRun, MissingFileWithoutClientCancelsTheReport)
{
    const std::wstring output = temp() + L"existing.zip";
    ASSERT_TRUE(writeFileBytes(output, "earlier report"));
    runTool(L"/flushed /file \"" + output + L"\"");

    const Messages lines = logMessages();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Log Server URL: "), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "ProcessID: 0x"), lines.end());
    const Messages tail = messagesBetween(withoutWorkerMessages(lines),
        "vossel generated 'VosselPRT.ini' doesn't exist. use default setting by CApReportIniDefault.", "");
    EXPECT_EQ(tail, (Messages{
        "vossel generated 'VosselPRT.ini' doesn't exist. use default setting by CApReportIniDefault.",
        "Fails to get vossel process ID.",
        "Fails to generate default vossel prt ini setting. cancel to generate PRT.",
        "Waiting for system info thread to finish."}));
    // No report was generated, so the output file was not touched.
    EXPECT_EQ(readFileBytes(output), "earlier report");
}

TEST_F(SettingsRun, MissingFileWithClientsRunningUsesDefaultSettings)
{
    RunningClientDouble first;
    RunningClientDouble second;
    RunningClientDouble third;
    const std::wstring output = temp() + L"existing.zip";
    ASSERT_TRUE(writeFileBytes(output, "earlier report"));
    runTool(L"/flushed /file \"" + output + L"\"");

    const Messages lines = logMessages();
    EXPECT_EQ(std::count(lines.begin(), lines.end(),
                  "vossel generated 'VosselPRT.ini' doesn't exist. use default setting by CApReportIniDefault."),
        1);
    EXPECT_FALSE(hasMessageStartingWith(lines, "Fails"));
    // The report went ahead: the earlier file at the output path was replaced by a report.
    const auto report = readZipArchive(output);
    ASSERT_TRUE(report.has_value());
    EXPECT_FALSE(report->empty());
}

} // namespace
