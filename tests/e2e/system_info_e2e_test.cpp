#include <windows.h>

#include <algorithm>
#include <regex>
#include <string>
#include <vector>

#include "base/scoped_handle.h"
#include "support/zip_reader.h"
#include "tool_run_fixture.h"

namespace {

using Messages = std::vector<std::string>;

std::string narrow(const std::wstring& text)
{
    std::string bytes;
    for (wchar_t c : text) {
        bytes += c <= 0xFF ? static_cast<char>(static_cast<unsigned char>(c)) : '?';
    }
    return bytes;
}

// Splits the environment section off the start of the file: its title with its blank lines, then
// one line per entry of the tool's environment. The entries come back sorted, since the system may
// order a new process's block its own way; rest is what follows the section.
bool takeEnvironmentSection(const std::string& file, size_t entryCount, std::vector<std::string>& entries,
    std::string& rest)
{
    const std::string title = "\r\n\r\nEnvironment Variables\r\n\r\n";
    if (file.compare(0, title.size(), title) != 0) {
        return false;
    }
    size_t at = title.size();
    for (size_t i = 0; i < entryCount; ++i) {
        const size_t end = file.find("\r\n", at);
        if (end == std::string::npos) {
            return false;
        }
        entries.push_back(file.substr(at, end - at));
        at = end + 2;
    }
    std::sort(entries.begin(), entries.end());
    rest = file.substr(at);
    return true;
}

// Reads the device sections that follow the monitor line; each check failure names the place.
class DeviceSectionReader {
public:
    explicit DeviceSectionReader(std::string text) : text_(std::move(text)) {}

    // Empty when the text is the three titled sections and the USB section, in order, with
    // property lines of the listed names only, in list order, each block ended by a blank line.
    std::string check()
    {
        const std::vector<std::string> audio = {"Name", "Description"};
        const std::vector<std::string> video = {"Name", "Description", "DriverVersion", "DriverDate",
            "InstalledDisplayDrivers"};
        const std::vector<std::string> monitor = {"Name", "Description", "MonitorManufacturer", "MonitorType"};
        const std::vector<std::string> usb = {"Availability", "Caption", "ClassGuid", "ConfigManagerErrorCode",
            "Description", "DeviceID", "ErrorDescription", "LastErrorCode", "Manufacturer", "Status",
            "StatusInfo"};
        if (!take("\r\nAudio Devices\r\n") || !blocks(audio, "\r\nVideo Devices\r\n")
            || !take("\r\nVideo Devices\r\n") || !blocks(video, "\r\nDesktop Monitor\r\n")
            || !take("\r\nDesktop Monitor\r\n") || !blocks(monitor, "\r\nUSB Devices")
            || !take("\r\nUSB Devices")) {
            return failure();
        }
        while (at_ < text_.size()) {
            if (!take("\r\n\r\n") || !blocks(usb, "\r\n\r\n")) {
                return failure();
            }
        }
        return {};
    }

    int blockCount() const { return blockCount_; }

private:
    bool startsWith(const std::string& s) const { return text_.compare(at_, s.size(), s) == 0; }

    bool take(const std::string& s)
    {
        if (!startsWith(s)) {
            return false;
        }
        at_ += s.size();
        return true;
    }

    bool blocks(const std::vector<std::string>& names, const std::string& next)
    {
        static const std::regex line(R"(\t([A-Za-z]+):\t([^\r\n]*)\r\n)");
        while (at_ < text_.size() && !startsWith(next)) {
            size_t nextName = 0;
            std::smatch match;
            while (startsWith("\t")) {
                const std::string rest = text_.substr(at_);
                if (!std::regex_search(rest, match, line, std::regex_constants::match_continuous)) {
                    return false;
                }
                const auto found = std::find(names.begin() + nextName, names.end(), match[1].str());
                if (found == names.end()) {
                    return false;
                }
                nextName = found - names.begin() + 1;
                at_ += match.length(0);
            }
            if (!take("\r\n")) {
                return false;
            }
            ++blockCount_;
        }
        return true;
    }

    std::string failure() const { return "device sections do not parse at: " + text_.substr(at_, 80); }

    std::string text_;
    size_t at_ = 0;
    int blockCount_ = 0;
};

const Messages kWorkerLines = {"writeEnvironmentalVars Entered", "writeIpConfig Entered",
    "writeTaskList Entered", "writeWindowSystemInfo Entered", "writeMonitorResolution Entered",
    "writeSystemDevices Entered", "Connecting WMI", "Connected to WMI namespace", "Gathering Audio info...",
    "Gathering Video driver info...", "Gathering Monitor info...", "Gathering USB device info..."};

// Whether wanted appears in messages in its order, other messages between.
bool inOrder(const Messages& messages, const Messages& wanted)
{
    auto at = messages.begin();
    for (const auto& line : wanted) {
        at = std::find(at, messages.end(), line);
        if (at == messages.end()) {
            return false;
        }
        ++at;
    }
    return true;
}

class SystemInfoRun : public ToolRunTest {
protected:
    // Checks the file's layout for a run whose temporary folder was folder; returns the bytes
    // that the commands wrote between the environment and the monitor line.
    std::string checkLayout(const std::string& file, const std::wstring& folder)
    {
        return checkLayout(file, toolTempOverrides(folder));
    }

    // The same for a run whose environment the test changed by overrides.
    std::string checkLayout(const std::string& file, const EnvironmentOverrides& overrides)
    {
        std::vector<std::string> expected;
        for (const auto& entry : environmentEntries(overrides)) {
            expected.push_back(narrow(entry));
        }
        std::sort(expected.begin(), expected.end());
        std::vector<std::string> entries;
        std::string afterEnvironment;
        if (!takeEnvironmentSection(file, expected.size(), entries, afterEnvironment)) {
            ADD_FAILURE() << "no environment section of " << expected.size() << " lines:\n" << file.substr(0, 400);
            return {};
        }
        EXPECT_EQ(entries, expected);

        const std::regex monitorLine(R"(\r\nMonitor Resolution: \{Width=\d+, Height=\d+\} DPI: \d+\r\n)");
        std::smatch match;
        if (!std::regex_search(afterEnvironment, match, monitorLine)) {
            ADD_FAILURE() << "no monitor line";
            return {};
        }
        DeviceSectionReader devices(match.suffix().str());
        EXPECT_EQ(devices.check(), "");
        return match.prefix().str();
    }

    // Runs the tool with the temporary folder name below the test's and checks that the commands'
    // output reached the report, and that their own files went with the clean-up.
    void runInFolderAndCheckTheCommandsOutput(const std::wstring& name)
    {
        const std::wstring folder = temp() + name + L"\\";
        ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
        ASSERT_TRUE(writeFileBytes(folder + L"VosselPRT.ini", "[Config]\r\n"));
        ASSERT_EQ(::runTool(L"/flushed", folder), 0u);

        const auto entries = readZipArchive(folder + L"cmdlinePrt.zip");
        ASSERT_TRUE(entries.has_value());
        const auto names = entryNames(*entries);
        const auto entry = std::find(names.begin(), names.end(), "SystemInfo\\SystemInfo.txt");
        ASSERT_NE(entry, names.end());
        // ipconfig always prints something; what it prints is the machine's own.
        EXPECT_FALSE(checkLayout((*entries)[entry - names.begin()].bytes, folder).empty());
        EXPECT_FALSE(hasMessageStartingWith(readLogMessages(folder + L"PRT.txt"), "Unable to "));
        for (const wchar_t* output : {L"SystemInfo-ipconfig.txt", L"SystemInfo-tasklist.txt", L"SystemInfo-systeminfo.txt"}) {
            EXPECT_TRUE(fileGoneWithin(folder + output, 10000)) << asciiText(output);
        }
    }
};

TEST_F(SystemInfoRun, ReportHoldsTheMachineDescriptionWrittenAfreshInItsSectionOrder)
{
    writeIni("[Config]\r\nProductMode=test\r\n");
    // What an earlier run left behind is deleted before the worker writes.
    ASSERT_TRUE(writeFileBytes(temp() + L"SystemInfo.txt", "an earlier run's description\r\n"));
    runTool(L"/flushed");

    // The clean-up deletes the working file once the report holds it: the report's copy is read.
    EXPECT_FALSE(fileExists(temp() + L"SystemInfo.txt"));
    const auto entries = readZipArchive(temp() + L"cmdlinePrt.zip");
    ASSERT_TRUE(entries.has_value());
    const auto names = entryNames(*entries);
    const auto entry = std::find(names.begin(), names.end(), "SystemInfo\\SystemInfo.txt");
    ASSERT_NE(entry, names.end());
    // After the settings file and before the comment, as the collection orders them.
    EXPECT_EQ(entry[-1], "VosselPRT.ini");
    EXPECT_EQ(entry[1], "user-comment.txt");
    const std::string& file = (*entries)[entry - names.begin()].bytes;
    EXPECT_EQ(file.find("an earlier run"), std::string::npos);
    checkLayout(file, temp());

    const Messages lines = logMessages();
    Messages expected = {"System info file: " + tempText() + "SystemInfo.txt"};
    expected.insert(expected.end(), kWorkerLines.begin(), kWorkerLines.end());
    EXPECT_TRUE(inOrder(lines, expected));
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "Waiting for system info thread to finish."), 1);
    // Every worker line is on disk before the file goes into the report.
    const auto added = std::find(lines.begin(), lines.end(),
        "Adding " + tempText() + "SystemInfo.txt to zip stream.");
    if (added != lines.end()) {
        EXPECT_TRUE(inOrder(Messages(lines.begin(), added), expected));
    }
    EXPECT_FALSE(hasMessageStartingWith(lines, "Unable to "));
}

// The worker's systeminfo is a stand-in that ends only when the test lets it, and the test lets it
// once the tool has logged the join: everything before the system-information entry was compressed
// while the worker still ran, the join comes just before that entry, and the entry holds the whole
// file that the worker finished afterwards.
TEST_F(SystemInfoRun, CompressionGoesOnWhileTheWorkerRunsAndTheJoinComesJustBeforeItsEntry)
{
    for (const wchar_t* folder : {L"alpha", L"beta"}) {
        ASSERT_TRUE(CreateDirectoryW((temp() + folder).c_str(), nullptr));
    }
    ASSERT_TRUE(writeFileBytes(temp() + L"alpha\\a.log", "the first further folder\r\n"));
    // Long enough to be compressed in pieces by the workers.
    ASSERT_TRUE(writeFileBytes(temp() + L"beta\\b.log", std::string(3 * 1024 * 1024 + 5, 'b')));
    writeIni("[Config]\r\nProductMode=test\r\n[AdditionalPrtPaths]\r\nAlpha=" + tempText() + "alpha\r\nBeta="
        + tempText() + "beta\r\n");

    const std::wstring eventName = L"Local\\PrtSystemInfoDouble-" + std::to_wstring(GetCurrentProcessId());
    ScopedKernelHandle release(CreateEventW(nullptr, TRUE, FALSE, eventName.c_str()));
    ASSERT_TRUE(release);
    EnvironmentOverrides overrides = toolTempOverrides(temp());
    overrides.push_back({L"VOSSEL_PRT_TEST_SYSTEMINFO_PROGRAM", testBinaryFolder() + L"systeminfo-double\\systeminfo.exe"});
    overrides.push_back({L"PRT_SYSTEMINFO_EVENT", eventName});

    DiagnosticLogHold log(temp());
    StartedProgram tool = startProgram(testBinaryFolder() + L"VosselPRT.exe", L"/flushed", overrides);
    const std::string join = "Waiting for system info thread to finish.";
    Messages atJoin;
    for (int poll = 0; poll < 1200 && tool.isRunning(); ++poll) {
        atJoin = logMessages();
        if (std::find(atJoin.begin(), atJoin.end(), join) != atJoin.end()) {
            break;
        }
        Sleep(50);
    }
    // While the stand-in still runs, the further folders and everything else before the
    // machine description are in the archive already.
    const std::string furtherB = "Adding " + tempText() + "beta\\b.log to zip stream.";
    const std::string settings = "Adding " + tempText() + "VosselPRT.ini to zip stream.";
    EXPECT_TRUE(inOrder(atJoin, {"Adding " + tempText() + "alpha\\a.log to zip stream.", furtherB, settings, join}));
    EXPECT_EQ(std::find(atJoin.begin(), atJoin.end(), "writeMonitorResolution Entered"), atJoin.end());
    SetEvent(release.get());
    const auto exitCode = tool.wait(120000);
    ASSERT_TRUE(exitCode.has_value()) << "the tool did not end";

    const auto entries = readZipArchive(temp() + L"cmdlinePrt.zip");
    ASSERT_TRUE(entries.has_value());
    EXPECT_EQ(entryNames(*entries), (Messages{"Alpha\\a.log", "Beta\\b.log", "VosselPRT.ini",
                                        "SystemInfo\\SystemInfo.txt", "user-comment.txt", "metadata.txt", "PRT.txt",
                                        "manifest.json"}));
    const ZipEntry* info = findZipEntry(*entries, "SystemInfo\\SystemInfo.txt");
    ASSERT_NE(info, nullptr);
    const std::string commands = checkLayout(info->bytes, overrides);
    EXPECT_NE(commands.find("Stand-in systeminfo: the machine description\r\n"), std::string::npos);

    // The join is the main thread's last line before the entry, and every worker line is before it.
    const Messages lines = logMessages();
    const Messages main = withoutWorkerMessages(lines);
    const auto joined = std::find(main.begin(), main.end(), join);
    ASSERT_NE(joined, main.end());
    ASSERT_NE(joined + 1, main.end());
    EXPECT_EQ(joined[1], "Adding " + tempText() + "SystemInfo.txt to zip stream.");
    EXPECT_EQ(std::count(lines.begin(), lines.end(), join), 1);
    const auto added = std::find(lines.begin(), lines.end(), joined[1]);
    EXPECT_TRUE(inOrder(Messages(lines.begin(), added), kWorkerLines));
}

TEST_F(SystemInfoRun, TemporaryFolderWithASpaceStillReceivesTheCommandsOutput)
{
    runInFolderAndCheckTheCommandsOutput(L"with space");
}

TEST_F(SystemInfoRun, PercentSignsInTheTemporaryFolderKeepTheCommandsOutput)
{
    // A command interpreter would read "%OS%" as the variable's value, a folder that does not exist.
    runInFolderAndCheckTheCommandsOutput(L"pct%OS%dir");
}

TEST_F(SystemInfoRun, RunRefusedAtOverwriteZeroWaitsForTheWorkerBeforeItEnds)
{
    writeIni("[Config]\r\n");
    const std::wstring output = temp() + L"kept.zip";
    ASSERT_TRUE(writeFileBytes(output, "earlier report"));
    runTool(L"/flushed /file \"" + output + L"\" /overwrite 0");

    EXPECT_EQ(readFileBytes(output), "earlier report");
    const Messages lines = logMessages();
    const std::string refused = "output file[" + narrow(output) + "] exists, fails to delete. exit application.";
    EXPECT_TRUE(inOrder(lines, {refused, "Waiting for system info thread to finish."}));
    // The worker wrote its last section and its last line before the process ended.
    EXPECT_TRUE(inOrder(lines, kWorkerLines));
    // The clean-up deleted the file after the worker had finished it: nothing wrote it again.
    EXPECT_FALSE(fileExists(temp() + L"SystemInfo.txt"));
}

} // namespace
