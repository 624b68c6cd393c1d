#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "base/scoped_handle.h"
#include "support/client_double.h"
#include "support/message_box.h"
#include "support/minidump_bytes.h"
#include "support/minidump_facts.h"
#include "sysinfo/minidump_check.h"
#include "support/zip_reader.h"
#include "tool_run_fixture.h"

namespace {

using Messages = std::vector<std::string>;

std::string narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

std::string hex(unsigned long value)
{
    std::ostringstream text;
    text << std::hex << value;
    return text.str();
}

// Where the tool puts the client's dump: the Wine user's local application data, which a test
// cannot move, so every test starts and ends without a dump there.
std::wstring clientDumpPath()
{
    wchar_t folder[MAX_PATH] = {};
    SHGetSpecialFolderPathW(nullptr, folder, CSIDL_LOCAL_APPDATA, TRUE);
    return std::wstring(folder) + L"\\Ormel\\Merovan\\Vossel\\Crash Dump\\fulldump.dmp";
}

// An idle companion process of the sibling product, "dntcolex.exe" or "dntcolex64.exe".
StartedProgram startCompanion(const std::wstring& program)
{
    static std::atomic<unsigned> counter{0};
    const std::wstring readyName = L"prt-test-companion-ready-" + std::to_wstring(GetCurrentProcessId())
        + L"-" + std::to_wstring(++counter);
    ScopedKernelHandle ready(CreateEventW(nullptr, TRUE, FALSE, readyName.c_str()));
    StartedProgram companion = startProgram(testBinaryFolder() + program, L"--ready " + readyName, {});
    if (!ready || !companion.isRunning() || WaitForSingleObject(ready.get(), 30000) != WAIT_OBJECT_0) {
        ADD_FAILURE() << "the companion double did not come up";
    }
    return companion;
}

// What the dump stage writes to the log, and only it.
bool isDumpStageMessage(const std::string& message)
{
    static const char* const prefixes[] = {"Creating dump file", "Could not open process", "Handle count: ",
        "GDI handle count: ", "USER object count: ", "Dump File: ", "dump file exists", "Fails to CreateFile",
        "Exception Info: ", "Full Memory dump", "No dump file will be created", "Unable to create process",
        "Failed to get exit code", "stand-in dump program", "Ravik: "};
    return std::any_of(std::begin(prefixes), std::end(prefixes),
        [&](const char* prefix) { return message.rfind(prefix, 0) == 0; });
}

Messages dumpStageMessages(const Messages& messages)
{
    Messages found;
    std::copy_if(messages.begin(), messages.end(), std::back_inserter(found), isDumpStageMessage);
    return found;
}

class Dumps : public ToolRunTest {
protected:
    Dumps() { DeleteFileW(clientDumpPath().c_str()); }
    ~Dumps() override { DeleteFileW(clientDumpPath().c_str()); }

    std::wstring reportPath() const { return temp() + L"report.zip"; }

    // Runs the tool as the client starts it, with settings naming processId, and reads the report.
    std::vector<ZipEntry> report(unsigned long processId, const std::string& moreSettings, const std::wstring& args = L"")
    {
        writeIni("[Config]\r\nProcessID=" + hex(processId) + "\r\n" + moreSettings);
        // A full dump is large and slow to write and compress under Wine on a loaded machine.
        const auto exitCode = ::runTool(L"/flushed /file \"" + reportPath() + L"\" " + args, temp(), L"", 1200000);
        EXPECT_EQ(exitCode, std::optional<unsigned long>(0));
        auto entries = readZipArchive(reportPath());
        EXPECT_TRUE(entries.has_value());
        return entries.value_or(std::vector<ZipEntry>{});
    }
};

TEST_F(Dumps, ClearedStageFlagOrDisabledSettingWriteNoDump)
{
    StartedProgram companion = startCompanion(L"dntcolex.exe");
    // The census finds no WOW64 client here (nor on 64-bit Windows for this 64-bit build): an
    // older GDI file stays as it was and goes into the report.
    ASSERT_TRUE(writeFileBytes(temp() + L"gdi.txt", "older census"));

    auto entries = report(GetCurrentProcessId(), "", L"/fulldump 0");
    EXPECT_EQ(dumpStageMessages(logMessages()), Messages{});
    EXPECT_FALSE(fileExists(clientDumpPath()));
    EXPECT_FALSE(fileExists(temp() + L"dntcolex.dmp"));
    EXPECT_EQ(findZipEntry(entries, "fulldump.dmp"), nullptr);
    ASSERT_NE(findZipEntry(entries, "gdi.txt"), nullptr);
    EXPECT_EQ(findZipEntry(entries, "gdi.txt")->bytes, "older census");

    DeleteFileW((temp() + L"PRT.txt").c_str());
    entries = report(GetCurrentProcessId(), "DisableDUMPFile=1\r\n");
    EXPECT_EQ(dumpStageMessages(logMessages()), Messages{"No dump file will be created"});
    EXPECT_FALSE(fileExists(clientDumpPath()));
    EXPECT_FALSE(fileExists(temp() + L"dntcolex.dmp"));
    EXPECT_EQ(findZipEntry(entries, "fulldump.dmp"), nullptr);
}

// The count lines carry numbers that vary from run to run.
Messages withoutCounts(Messages messages)
{
    for (std::string& message : messages) {
        for (const char* prefix : {"Handle count: ", "GDI handle count: ", "USER object count: "}) {
            if (message.rfind(prefix, 0) == 0) {
                message = std::string(prefix) + "N";
            }
        }
    }
    return messages;
}

Messages dumpMessagesFor(unsigned long processId, const std::string& fileName, const std::wstring& path)
{
    return {"Creating dump file for processID: 0x" + hex(processId) + ", file:" + fileName, "Handle count: N",
        "GDI handle count: N", "USER object count: N", "Dump File: " + narrow(path)};
}

TEST_F(Dumps, ClientDoubleIsDumpedIntoTheReport)
{
    RunningClientDouble client;
    const auto started = std::chrono::steady_clock::now();
    const auto entries = report(client.processId(), "");
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();

    EXPECT_EQ(withoutCounts(dumpStageMessages(logMessages())),
        dumpMessagesFor(client.processId(), "fulldump.dmp", clientDumpPath()));
    const ZipEntry* dump = findZipEntry(entries, "fulldump.dmp");
    ASSERT_NE(dump, nullptr);
    const MinidumpFacts facts = inspectMinidump(dump->bytes);
    EXPECT_TRUE(facts.signature);
    EXPECT_TRUE(facts.memoryList);
    EXPECT_TRUE(facts.complete);
    EXPECT_FALSE(facts.exceptionStream);
    if (facts.processId) {
        EXPECT_EQ(*facts.processId, client.processId());
    }
    // For the record of how long a report with a full dump takes on this machine.
    std::printf("[ measured ] run with the client's full dump: %.1f s, dump %zu bytes, report %llu bytes\n", seconds,
        dump->bytes.size(), static_cast<unsigned long long>(std::filesystem::file_size(reportPath())));
}

TEST_F(Dumps, ExistingDumpsAreUsedAndTheCompanionComesFirst)
{
    StartedProgram companion = startCompanion(L"dntcolex.exe");
    StartedProgram companion64 = startCompanion(L"dntcolex64.exe");
    const std::string handMade = smallMinidump("a dump made by hand");
    const std::string earlier = smallMinidump("an earlier companion dump");
    ScopedClientProfile::put(clientDumpPath(), handMade);
    ASSERT_TRUE(writeFileBytes(temp() + L"dntcolex.dmp", earlier));

    const auto entries = report(GetCurrentProcessId(), "");

    Messages expected = dumpMessagesFor(companion.processId(), "dntcolex.dmp", temp() + L"dntcolex.dmp");
    expected.push_back("dump file exists,use it.");
    for (const auto& line : dumpMessagesFor(GetCurrentProcessId(), "fulldump.dmp", clientDumpPath())) {
        expected.push_back(line);
    }
    expected.push_back("dump file exists,use it.");
    EXPECT_EQ(withoutCounts(dumpStageMessages(logMessages())), expected);
    // The clean-up deletes the working dumps once the report holds them: the report shows what was used.
    ASSERT_NE(findZipEntry(entries, "fulldump.dmp"), nullptr);
    EXPECT_EQ(findZipEntry(entries, "fulldump.dmp")->bytes, handMade);
    ASSERT_NE(findZipEntry(entries, "dntcolex.dmp"), nullptr);
    EXPECT_EQ(findZipEntry(entries, "dntcolex.dmp")->bytes, earlier);
    EXPECT_EQ(findZipEntry(entries, "dntcolex64.dmp"), nullptr);
}

// A copy of the tool, with its libraries, in a folder whose name holds a space, and the stand-in
// dump program as its x64\Ravik.exe.
std::wstring copyToolWithStandInDumper(const std::wstring& folder)
{
    std::filesystem::create_directories(std::filesystem::path(folder + L"x64"));
    const std::wstring bin = testBinaryFolder();
    WIN32_FIND_DATAW found = {};
    HANDLE search = FindFirstFileW((bin + L"*.dll").c_str(), &found);
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found)) {
        EXPECT_TRUE(CopyFileW((bin + found.cFileName).c_str(), (folder + found.cFileName).c_str(), FALSE));
    }
    if (search != INVALID_HANDLE_VALUE) {
        FindClose(search);
    }
    EXPECT_TRUE(CopyFileW((bin + L"VosselPRT.exe").c_str(), (folder + L"VosselPRT.exe").c_str(), FALSE));
    EXPECT_TRUE(CopyFileW((bin + L"StandInDumper.exe").c_str(), (folder + L"x64\\Ravik.exe").c_str(), FALSE));
    return folder + L"VosselPRT.exe";
}

std::vector<std::wstring> parseCommandLine(const std::wstring& line)
{
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(line.c_str(), &argc);
    std::vector<std::wstring> arguments(argv, argv + (argv ? argc : 0));
    LocalFree(argv);
    return arguments;
}

TEST_F(Dumps, The64BitCompanionGoesToTheDumpProgramWhoseOutputReachesTheLog)
{
    StartedProgram companion64 = startCompanion(L"dntcolex64.exe");
    const std::wstring toolFolder = temp() + L"tool copy\\";
    const std::wstring tool = copyToolWithStandInDumper(toolFolder);
    // The dump goes to the temporary folder, whose path here holds a space.
    const std::wstring tmp = temp() + L"tmp with space\\";
    std::filesystem::create_directories(std::filesystem::path(tmp));
    ASSERT_TRUE(writeFileBytes(tmp + L"VosselPRT.ini", "[Config]\r\nProcessID=0\r\n"));
    const std::wstring record = temp() + L"stand-in-command-line.txt";

    DiagnosticLogHold keptLog(tmp);
    StartedProgram run = startProgram(tool, L"/flushed /file \"" + reportPath() + L"\"",
        {{L"TMP", tmp}, {L"TEMP", tmp}, {L"PRT_STAND_IN_RECORD", record}});
    ASSERT_EQ(run.wait(300000), 0u);

    const std::wstring recorded = [&] {
        const std::string bytes = readFileBytes(record).value_or("");
        return std::wstring(bytes.begin(), bytes.end());
    }();
    // The program writes beside the dump's final path, under a name of its own.
    const std::vector<std::wstring> arguments = parseCommandLine(recorded);
    ASSERT_EQ(arguments.size(), 3u) << asciiText(recorded);
    EXPECT_EQ(arguments[0], toolFolder + L"x64\\Ravik.exe");
    EXPECT_EQ(arguments[1], std::to_wstring(companion64.processId()));
    const std::wstring beside = tmp + L"dntcolex64.dmp.";
    EXPECT_EQ(arguments[2].rfind(beside, 0), 0u) << asciiText(arguments[2]);
    EXPECT_EQ(arguments[2].substr(arguments[2].size() - 8), L".partial");
    EXPECT_FALSE(fileExists(arguments[2]));

    // Every line the program printed is a log line of its own, in order, and the log keeps its
    // shape although the output was longer than one read.
    Messages expected;
    for (int line = 1; line <= 100; ++line) {
        char text[96];
        std::snprintf(text, sizeof(text), "stand-in dump program, line %03d of its output, padded to sixty bytes..", line);
        expected.push_back(text);
    }
    expected.push_back("stand-in dump program, a line on standard error");
    const Messages messages = readLogMessages(tmp + L"PRT.txt");
    Messages printed;
    std::copy_if(messages.begin(), messages.end(), std::back_inserter(printed),
        [](const std::string& m) { return m.rfind("stand-in dump program", 0) == 0; });
    EXPECT_EQ(printed, expected);
    std::istringstream log(readFileBytes(tmp + L"PRT.txt").value_or(""));
    for (std::string line; std::getline(log, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        EXPECT_TRUE(hasLogLineShape(line)) << line;
    }
    EXPECT_FALSE(hasMessageStartingWith(messages, "Unable to create process"));
    EXPECT_TRUE(hasMessageStartingWith(messages, "Could not open process: 0x0,GetLastError=0x"));

    const auto entries = readZipArchive(reportPath());
    ASSERT_TRUE(entries.has_value());
    ASSERT_NE(findZipEntry(*entries, "dntcolex64.dmp"), nullptr);
    EXPECT_EQ(findZipEntry(*entries, "dntcolex64.dmp")->bytes, smallMinidump("stand-in dump"));
    EXPECT_EQ(findZipEntry(*entries, "fulldump.dmp"), nullptr);
}

TEST_F(Dumps, ADumpProgramThatPrintsWithoutPauseIsLeftBehindWhenItsTimeIsUp)
{
    StartedProgram companion64 = startCompanion(L"dntcolex64.exe");
    const std::wstring tool = copyToolWithStandInDumper(temp() + L"tool copy\\");
    writeIni("[Config]\r\nProcessID=0\r\n");

    DiagnosticLogHold keptLog(temp());
    StartedProgram run = startProgram(tool, L"/flushed /file \"" + reportPath() + L"\"",
        {{L"TMP", temp()}, {L"TEMP", temp()}, {L"PRT_STAND_IN_ENDLESS", L"1"},
            {L"VOSSEL_PRT_TEST_DUMP_PROGRAM_LIMIT_MS", L"3000"}});
    const auto exitCode = run.wait(120000);
    // The program that never stops goes with the test, whether or not the tool left it behind.
    const std::vector<unsigned long> leftBehind = childProcesses(run.processId(), L"Ravik.exe");
    for (const unsigned long id : leftBehind) {
        ScopedKernelHandle program(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id));
        if (program) {
            TerminateProcess(program.get(), 1);
            WaitForSingleObject(program.get(), 10000);
        }
    }
    ASSERT_EQ(exitCode, std::optional<unsigned long>(0)) << "the tool did not end";
    EXPECT_EQ(leftBehind.size(), 1u);

    const Messages messages = logMessages();
    EXPECT_TRUE(hasMessageStartingWith(messages, "The dump program did not end in its time; its dump is not used: "
            + tempText() + "dntcolex64.dmp."));
    EXPECT_TRUE(hasMessageStartingWith(messages, "stand-in dump program, line 001"));
    const auto entries = readZipArchive(reportPath());
    ASSERT_TRUE(entries.has_value());
    EXPECT_EQ(findZipEntry(*entries, "dntcolex64.dmp"), nullptr);
    EXPECT_FALSE(fileExists(temp() + L"dntcolex64.dmp"));
}

TEST_F(Dumps, AnIncompleteDumpIsReplacedNotShipped)
{
    StartedProgram companion = startCompanion(L"dntcolex.exe");
    // The first 4 MB of a larger dump, as a run that was killed while it wrote one leaves it.
    const std::string fragment = smallMinidump(std::string(8 * 1024 * 1024, 'm')).substr(0, 4 * 1024 * 1024);
    const std::wstring path = temp() + L"dntcolex.dmp";
    ASSERT_TRUE(writeFileBytes(path, fragment));

    const auto entries = report(0, "");

    const Messages messages = logMessages();
    EXPECT_NE(std::find(messages.begin(), messages.end(),
                  "dump file exists but is not a complete dump, a new one replaces it: " + narrow(path)),
        messages.end());
    EXPECT_FALSE(hasMessageStartingWith(messages, "dump file exists,use it."));
    const ZipEntry* dump = findZipEntry(entries, "dntcolex.dmp");
    ASSERT_NE(dump, nullptr);
    EXPECT_NE(dump->bytes.size(), fragment.size());
    const MinidumpFacts facts = inspectMinidump(dump->bytes);
    EXPECT_TRUE(facts.complete);
    if (facts.processId) {
        EXPECT_EQ(*facts.processId, companion.processId());
    }
}

TEST_F(Dumps, AHandMadeDumpStaysWhenNoReportIsMade)
{
    const std::string handMade = smallMinidump("a dump made by hand");
    ScopedClientProfile::put(clientDumpPath(), handMade);
    ASSERT_TRUE(writeFileBytes(temp() + L"dntcolex64.dmp", smallMinidump("an earlier companion dump")));
    // Encryption without its certificate: no report reaches the output path.
    writeIni("[Config]\r\nProcessID=" + hex(GetCurrentProcessId())
        + "\r\nEnablePRTEncryption=1\r\nPrtCertificateName=Vossel PRT Nobody Has This\r\n");
    runTool(L"/flushed /file \"" + reportPath() + L"\"");

    EXPECT_FALSE(fileExists(reportPath()));
    const Messages messages = logMessages();
    EXPECT_NE(std::find(messages.begin(), messages.end(), "dump file exists,use it."), messages.end());
    EXPECT_EQ(readFileBytes(clientDumpPath()), handMade);
    EXPECT_EQ(readFileBytes(temp() + L"dntcolex64.dmp"), smallMinidump("an earlier companion dump"));
}

// Runs the real dump program and returns its exit code; its output is kept in output.
std::optional<unsigned long> runRavik(const std::wstring& args, const std::wstring& outputPath, std::string& output)
{
    StartedProgram ravik = startProgram(testBinaryFolder() + L"x64\\Ravik.exe", args, {}, outputPath);
    const auto exitCode = ravik.wait(300000);
    output = readFileBytes(outputPath).value_or("");
    output.erase(std::remove(output.begin(), output.end(), '\r'), output.end());
    return exitCode;
}

TEST_F(Dumps, RavikDumpsA64BitProcessIntoAPathWithASpace)
{
    const std::wstring outputPath = temp() + L"ravik-output.txt";
    std::string output;
    for (const std::wstring args : {L"", L"12", L"abc \"C:\\x.dmp\"", L"0 \"C:\\x.dmp\""}) {
        EXPECT_EQ(runRavik(args, outputPath, output), 2u) << narrow(args);
        EXPECT_EQ(output.rfind("usage: Ravik.exe PROCESS_ID DUMP_FILE", 0), 0u) << output;
    }
    const std::wstring folder = temp() + L"dump folder\\";
    std::filesystem::create_directories(std::filesystem::path(folder));
    EXPECT_EQ(runRavik(L"4294967292 \"" + folder + L"none.dmp\"", outputPath, output), 1u);
    EXPECT_NE(output.find("Ravik: OpenProcess failed, error "), std::string::npos) << output;
    EXPECT_FALSE(fileExists(folder + L"none.dmp"));

    StartedProgram companion64 = startCompanion(L"dntcolex64.exe");
    const std::wstring dump = folder + L"companion dump.dmp";
    const std::wstring args = std::to_wstring(companion64.processId()) + L" \"" + dump + L"\"";
    EXPECT_EQ(runRavik(args, outputPath, output), 0u) << output;
    const auto size = std::filesystem::file_size(std::filesystem::path(dump));
    EXPECT_EQ(output, "Ravik: writing a full dump of process " + std::to_string(companion64.processId()) + " to "
            + narrow(dump) + "\nRavik: wrote " + std::to_string(size) + " bytes\n");
    const MinidumpFacts facts = inspectMinidumpFile(dump);
    DeleteFileW(dump.c_str());
    EXPECT_TRUE(facts.signature);
    EXPECT_TRUE(facts.memoryList);
    EXPECT_TRUE(facts.complete);
    if (facts.processId) {
        EXPECT_EQ(*facts.processId, companion64.processId());
    }
}

TEST_F(Dumps, RavikFailsAndLeavesNoFileWhenItsProcessEndsWhileItIsDumped)
{
    StartedProgram companion64 = startCompanion(L"dntcolex64.exe");
    const std::wstring dump = temp() + L"ended.dmp";
    const std::wstring outputPath = temp() + L"ravik-output.txt";
    StartedProgram ravik = startProgram(testBinaryFolder() + L"x64\\Ravik.exe",
        std::to_wstring(companion64.processId()) + L" \"" + dump + L"\"", {}, outputPath);
    // The process ends as soon as the dump has begun to reach the disk.
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    while (ravik.isRunning()
        && !(GetFileAttributesExW(dump.c_str(), GetFileExInfoStandard, &data) && data.nFileSizeLow > 0)) {
        ravik.wait(1);
    }
    companion64.terminate();
    const auto exitCode = ravik.wait(300000);
    const std::string output = readFileBytes(outputPath).value_or("");
    std::printf("[ measured ] dump file of %lu bytes when the process ended, exit code %lu, output:\n%s",
        data.nFileSizeLow, exitCode.value_or(999), output.c_str());
    EXPECT_EQ(exitCode, std::optional<unsigned long>(1)) << output;
    EXPECT_FALSE(fileExists(dump));
}

// The message box of a process, once it shows one.
HWND waitForMessageBox(unsigned long processId, unsigned long timeoutMs)
{
    HWND found = nullptr;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!(found = findMessageBoxOf(processId)) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    return found;
}

std::wstring windowText(HWND window)
{
    wchar_t text[2048] = {};
    GetWindowTextW(window, text, 2048);
    return text;
}

TEST_F(Dumps, ADumpThatCannotBeWrittenAsksTheUserAndTheRunGoesOn)
{
    // A process that has ended but whose object this test keeps: it can be opened, not dumped.
    StartedProgram companion = startCompanion(L"dntcolex.exe");
    const unsigned long processId = companion.processId();
    ScopedKernelHandle ended(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    ASSERT_TRUE(ended);
    companion.terminate();
    ASSERT_EQ(WaitForSingleObject(ended.get(), 30000), WAIT_OBJECT_0);

    writeIni("[Config]\r\nProcessID=" + hex(processId) + "\r\nExceptionAddress=0x1A2B3C\r\nThreadId=10\r\n");
    DiagnosticLogHold keptLog(temp());
    StartedProgram tool = startProgram(testBinaryFolder() + L"VosselPRT.exe", L"/flushed /file \"" + reportPath() + L"\"",
        {{L"TMP", temp()}, {L"TEMP", temp()}});
    const HWND box = waitForMessageBox(tool.processId(), 120000);
    ASSERT_NE(box, nullptr) << "no message box";
    EXPECT_EQ(windowText(box), L"Error");
    EXPECT_EQ(windowText(GetDlgItem(box, 0xFFFF)),
        L"Failed to collect dump file.\nDump file is quite important to us. Please manually create dump for Process "
            + std::to_wstring(processId) + L" and copy it to \"" + clientDumpPath() + L"\" before clicking [OK]");
    // The tool waits for the user, who puts a dump made by hand where it asks.
    EXPECT_TRUE(tool.isRunning());
    EXPECT_TRUE(writeFileBytes(clientDumpPath(), "a dump made by hand"));
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    ASSERT_EQ(tool.wait(120000), 0u);

    const Messages messages = dumpStageMessages(logMessages());
    ASSERT_GE(messages.size(), 7u);
    EXPECT_EQ(withoutCounts(Messages(messages.begin(), messages.begin() + 5)),
        dumpMessagesFor(processId, "fulldump.dmp", clientDumpPath()));
    EXPECT_EQ(messages[5], "Exception Info: (ThreadId)16, (ExceptionPointers)001A2B3C, (ClientPointers)1");
    EXPECT_EQ(messages[6].rfind("Full Memory dump failed error: 0x", 0), 0u) << messages[6];
    const auto entries = readZipArchive(reportPath());
    ASSERT_TRUE(entries.has_value());
    ASSERT_NE(findZipEntry(*entries, "fulldump.dmp"), nullptr);
    EXPECT_EQ(findZipEntry(*entries, "fulldump.dmp")->bytes, "a dump made by hand");
}

} // namespace
