#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "res/string_ids.h"
#include "support/message_box.h"
#include "support/zip_reader.h"
#include "tool_run_fixture.h"

namespace {

using Lines = std::vector<std::string>;

constexpr wchar_t kKibKey[] = L"SOFTWARE\\Ormel Systems, Inc.\\Kib";
constexpr char kFind[] = "Find kib path so libraries can be loaded";

void removeKibKey()
{
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kKibKey);
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Ormel Systems, Inc.");
}

// The lines a detection writes when the library loads and answers.
Lines loaded(const std::string& library)
{
    return {kFind, "Kib path found", "Attempt to Load " + library + " DLL", library + " DLL loaded succesfully"};
}

Lines operator+(Lines a, const Lines& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class VirtualDesktop : public ToolRunTest {
protected:
    void SetUp() override
    {
        removeKibKey();
        problemArea_ = "audio";
        writeIni("[Config]\r\nProductMode=desk\r\n");
    }
    void TearDown() override
    {
        removeKibKey();
        ToolRunTest::TearDown();
    }

    // Installs the library doubles in a Kib folder of this test and names it in the registry,
    // as the virtual-desktop client's installer does.
    void installKib(const std::string& control)
    {
        kib_ = temp() + L"Kib\\";
        ASSERT_TRUE(CreateDirectoryW(kib_.c_str(), nullptr));
        for (const wchar_t* library : {L"Quillet.dll", L"Skerrit.dll"}) {
            ASSERT_TRUE(CopyFileW((testBinaryFolder() + L"kib\\" + library).c_str(), (kib_ + library).c_str(), FALSE));
        }
        ASSERT_TRUE(writeFileBytes(kib_ + L"kib-double.ini", control));
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kKibKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr), ERROR_SUCCESS);
        const std::string path = asciiText(kib_);
        RegSetValueExA(key, "KibPath", 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()), static_cast<DWORD>(path.size() + 1));
        RegCloseKey(key);
    }

    // The calls the library doubles recorded since the last look, and forgets them.
    Lines takeCalls()
    {
        Lines calls;
        std::istringstream record(readFileBytes(kib_ + L"kib-calls.txt").value_or(""));
        for (std::string line; std::getline(record, line);) {
            calls.push_back(line);
        }
        DeleteFileW((kib_ + L"kib-calls.txt").c_str());
        return calls;
    }

    std::vector<ZipEntry> report()
    {
        DeleteFileW((temp() + L"PRT.txt").c_str());
        const std::wstring output = temp() + L"report.zip";
        DeleteFileW(output.c_str());
        runTool(L"/flushed /ProblemArea " + std::wstring(problemArea_.begin(), problemArea_.end()) + L" /file \"" + output + L"\"");
        return readZipArchive(output).value_or(std::vector<ZipEntry>{});
    }

    static const ZipEntry* find(const std::vector<ZipEntry>& entries, const std::string& name)
    {
        const auto it = std::find_if(entries.begin(), entries.end(), [&](const ZipEntry& e) { return e.name == name; });
        return it == entries.end() ? nullptr : &*it;
    }

    static std::string engineFolder()
    {
        char folder[MAX_PATH] = {};
        EXPECT_TRUE(SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, folder)));
        return std::string(folder) + "\\Ormel\\Merovan\\Virtualisation\\";
    }

    std::wstring kib_;
    std::string problemArea_;
};

TEST_F(VirtualDesktop, WithoutTheKibKeyEachDetectionWritesItsTwoLines)
{
    const auto entries = report();
    ASSERT_NE(find(entries, "metadata.txt"), nullptr);
    EXPECT_EQ(find(entries, "metadata.txt")->bytes.substr(0, 16), "\xFF\xFE" + utf16Bytes(",audio,"));

    // The system-information worker may still be writing while the collection runs.
    const Lines lines = withoutWorkerMessages(logMessages());
    Lines detections;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i] == kFind) {
            ASSERT_LT(i + 1, lines.size());
            detections.push_back(lines[i + 1]);
        }
    }
    // The collection asks twice and the metadata once.
    EXPECT_EQ(detections, Lines(3, "IsVirtualisedEnv() returning 0"));
    EXPECT_FALSE(hasMessageStartingWith(lines, "Attempt to"));
    EXPECT_FALSE(hasMessageStartingWith(lines, "VerifyVersion"));
}

TEST_F(VirtualDesktop, DetectionAndVersionDecideWhatIsCollected)
{
    const std::wstring config = profile_.configFolder() + L"\\";
    ScopedClientProfile::put(config + L"media.conf", "<password>s3cret</password><port>5060</port>");
    const struct {
        const char* name;
        int environment;
        int verdict;
        bool virtualDesktop;
        bool collected;
    } cases[] = {
        {"environment 1", 1, 0, false, false},
        {"environment 3", 3, 0, false, false},
        {"virtual desktop, version accepted", 2, 0, true, true},
        {"virtual desktop, version refused", 2, 7, true, false},
    };
    installKib("");
    for (const auto& c : cases) {
        ASSERT_TRUE(writeFileBytes(kib_ + L"kib-double.ini", "[Quillet]\r\nGetEnvironment=" + std::to_string(c.environment)
            + "\r\nVerifyVersion=" + std::to_string(c.verdict) + "\r\n"));
        const auto entries = report();
        const Lines lines = logMessages();
        const std::string detected = std::string("IsVirtualisedEnv() returning ") + (c.virtualDesktop ? "1" : "0");
        // The system-information worker may still be writing while the collection runs.
        const Lines collection = withoutWorkerMessages(messagesBetween(lines, kFind, "Copying configs from ConfigService."));
        const std::string version = "Quillet|VerifyVersion|1.0.0.1";
        const std::string collect = "Skerrit|CollectLogs|" + engineFolder() + "|12000|60000";

        if (!c.virtualDesktop) {
            EXPECT_EQ(collection, loaded("Quillet") + Lines{detected}) << c.name;
            EXPECT_EQ(takeCalls(), Lines(3, "Quillet|GetEnvironment")) << c.name;
            EXPECT_EQ(find(entries, "Config\\media.conf"), nullptr) << c.name;
            ASSERT_NE(find(entries, "metadata.txt"), nullptr);
            EXPECT_EQ(find(entries, "metadata.txt")->bytes.substr(0, 16), "\xFF\xFE" + utf16Bytes(",audio,")) << c.name;
            continue;
        }
        const Lines verified = loaded("Quillet") + Lines{detected} + loaded("Quillet")
            + Lines{std::string("VerifyVersion() returning ") + (c.collected ? "1" : "0")};
        if (c.collected) {
            const Lines gathered = verified + Lines{"Attempt to gather Pellow logs"} + loaded("Skerrit")
                + Lines{"Collect Logs from Pellow using Skerrit DLL", "Collect pellow log status:0"};
            EXPECT_EQ(collection, gathered) << c.name;
            EXPECT_EQ(takeCalls(), (Lines{"Quillet|GetEnvironment", version, collect, "Quillet|GetEnvironment",
                                       "Quillet|GetEnvironment"}));
        } else {
            EXPECT_EQ(collection, verified) << c.name;
            EXPECT_EQ(takeCalls(), (Lines{"Quillet|GetEnvironment", version, "Quillet|GetEnvironment", "Quillet|GetEnvironment"}));
        }
        ASSERT_NE(find(entries, "Config\\media.conf"), nullptr) << c.name;
        EXPECT_EQ(find(entries, "Config\\media.conf")->bytes, utf16Bytes("<password>********</password><port>5060</port>"));
        ASSERT_NE(find(entries, "metadata.txt"), nullptr);
        EXPECT_EQ(find(entries, "metadata.txt")->bytes.substr(0, 14), "\xFF\xFE" + utf16Bytes(",KPXN,")) << c.name;
    }
}

TEST_F(VirtualDesktop, KibPathStoredWithoutItsTerminatorStillLoads)
{
    installKib("[Quillet]\r\nGetEnvironment=2\r\nVerifyVersion=1\r\n");
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKibKey, 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    const std::string path = asciiText(kib_);
    RegSetValueExA(key, "KibPath", 0, REG_BINARY, reinterpret_cast<const BYTE*>(path.data()), static_cast<DWORD>(path.size()));
    RegCloseKey(key);

    const auto entries = report();
    ASSERT_NE(find(entries, "metadata.txt"), nullptr);
    EXPECT_EQ(find(entries, "metadata.txt")->bytes.substr(0, 14), "\xFF\xFE" + utf16Bytes(",KPXN,"));
}

// Text of the tool's own string table, read from its file as a resource module.
std::wstring toolString(unsigned identifier)
{
    HMODULE tool = LoadLibraryExW((testBinaryFolder() + L"VosselPRT.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    wchar_t text[2048] = {};
    if (tool) {
        LoadStringW(tool, identifier, text, 2048);
        FreeLibrary(tool);
    }
    return text;
}

struct SeenBox {
    std::wstring caption;
    std::wstring text;
};

// Lets the tool run to its end, pressing OK on every message box it shows, as a user would.
std::vector<SeenBox> pressEveryBoxUntilTheEnd(StartedProgram& tool)
{
    std::vector<SeenBox> seen;
    const ULONGLONG deadline = GetTickCount64() + 180000;
    while (tool.isRunning() && GetTickCount64() < deadline) {
        const HWND box = findMessageBoxOf(tool.processId());
        if (!box) {
            Sleep(50);
            continue;
        }
        wchar_t caption[256] = {};
        GetWindowTextW(box, caption, 256);
        wchar_t text[2048] = {};
        GetDlgItemTextW(box, 0xFFFF, text, 2048);
        seen.push_back({caption, text});
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
        while (IsWindow(box) && GetTickCount64() < deadline) {
            Sleep(50);
        }
    }
    return seen;
}

TEST_F(VirtualDesktop, CollectionStatusesThatNeedTheUserShowOneMessageEach)
{
    const struct {
        int status;
        unsigned message;
    } cases[] = {{0, 0}, {4, IDS_PELLOW_COLLECT_STATUS_4}, {5, IDS_PELLOW_COLLECT_STATUS_5}, {6, IDS_PELLOW_COLLECT_STATUS_6}, {7, 0}};
    installKib("");
    for (const auto& c : cases) {
        ASSERT_TRUE(writeFileBytes(kib_ + L"kib-double.ini",
            "[Quillet]\r\nGetEnvironment=2\r\nVerifyVersion=0\r\n[Skerrit]\r\nCollectLogs=" + std::to_string(c.status) + "\r\n"));
        DeleteFileW((temp() + L"PRT.txt").c_str());
        const std::wstring output = temp() + L"report.zip";
        DeleteFileW(output.c_str());
        std::vector<SeenBox> boxes;
        {
            DiagnosticLogHold log(temp());
            StartedProgram tool = startProgram(testBinaryFolder() + L"VosselPRT.exe", L"/flushed /file \"" + output + L"\"",
                {{L"TMP", temp()}, {L"TEMP", temp()}});
            boxes = pressEveryBoxUntilTheEnd(tool);
            ASSERT_EQ(tool.wait(10000), 0u) << c.status;
        }
        EXPECT_TRUE(fileExists(output)) << c.status;
        const Lines lines = logMessages();
        EXPECT_NE(std::find(lines.begin(), lines.end(), "Collect pellow log status:" + std::to_string(c.status)), lines.end());
        if (c.message == 0) {
            EXPECT_TRUE(boxes.empty()) << c.status;
            continue;
        }
        ASSERT_EQ(boxes.size(), 1u) << c.status;
        EXPECT_EQ(boxes[0].caption, L"Error");
        const std::wstring expected = toolString(c.message);
        EXPECT_GT(expected.size(), 40u);
        EXPECT_EQ(boxes[0].text, expected) << c.status;
    }
    EXPECT_NE(toolString(IDS_PELLOW_COLLECT_STATUS_4), toolString(IDS_PELLOW_COLLECT_STATUS_5));
    EXPECT_NE(toolString(IDS_PELLOW_COLLECT_STATUS_5), toolString(IDS_PELLOW_COLLECT_STATUS_6));
}

TEST_F(VirtualDesktop, DeleteLogsTakesTheEngineLogsFromItsFoldersOnly)
{
    const std::wstring engine = temp() + L"Ormel\\Virtualisation";
    const std::wstring plain = temp() + L"Plain";
    for (const std::wstring file : {L"\\a.log", L"\\clientSideLogs.zip", L"\\b.txt", L"\\Skerrit\\s.log", L"\\Skerrit\\s.txt",
             L"\\VirtualChannel\\clientSideLogs-1.dat", L"\\Other\\o.log"}) {
        ScopedClientProfile::put(engine + file, "engine");
    }
    ScopedClientProfile::put(plain + L"\\p.log", "plain");
    // A folder whose name matches is tried like a file; its failure is logged.
    ASSERT_TRUE(CreateDirectoryW((engine + L"\\old.log").c_str(), nullptr));
    writeIni("[Config]\r\nDeleteLogs=1\r\n[AdditionalPrtPaths]\r\nEngine=" + asciiText(engine) + "\r\nPlain=" + asciiText(plain) + "\r\n");
    // The engine collects its logs in this run, and the report holds them.
    installKib("[Quillet]\r\nGetEnvironment=2\r\nVerifyVersion=0\r\n[Skerrit]\r\nCollectLogs=0\r\n");

    const std::wstring output = temp() + L"report.zip";
    runTool(L"/flushed /file \"" + output + L"\"", false);
    ASSERT_TRUE(fileExists(output));

    for (const std::wstring gone : {L"\\a.log", L"\\clientSideLogs.zip", L"\\Skerrit\\s.log", L"\\VirtualChannel\\clientSideLogs-1.dat"}) {
        EXPECT_FALSE(fileExists(engine + gone)) << asciiText(gone);
    }
    for (const std::wstring kept : {L"\\b.txt", L"\\Skerrit\\s.txt", L"\\Other\\o.log"}) {
        EXPECT_TRUE(fileExists(engine + kept)) << asciiText(kept);
    }
    EXPECT_TRUE(fileExists(plain + L"\\p.log"));

    const Lines lines = logMessages();
    const Lines expected = Lines{"Deleting Log files"} + loaded("Quillet") + Lines{"IsVirtualisedEnv() returning 1",
        "Deleting Pellow HVD Log files", "Attempt to send command to delete Pellow logs"} + loaded("Skerrit")
        + Lines{"Delete Logs on the Pellow client using Skerrit DLL", "Deleting Pellow HVD Log files"};
    ASSERT_EQ(lines.size(), expected.size() + 1);
    EXPECT_EQ(Lines(lines.begin(), lines.end() - 1), expected);
    EXPECT_EQ(lines.back().rfind("Failed to delete file: " + asciiText(engine) + "\\old.log , Error(fail=0): ", 0), 0u) << lines.back();
    const Lines calls = takeCalls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back(), "Skerrit|DeleteLogs|8000");
}

TEST_F(VirtualDesktop, EngineLogsStayWhenTheEngineDidNotCollectThem)
{
    const std::wstring engine = temp() + L"Ormel\\Virtualisation";
    for (const std::wstring file : {L"\\a.log", L"\\clientSideLogs.zip", L"\\Skerrit\\s.log"}) {
        ScopedClientProfile::put(engine + file, "engine");
    }
    writeIni("[Config]\r\nDeleteLogs=1\r\n[AdditionalPrtPaths]\r\nEngine=" + asciiText(engine) + "\r\n");
    const struct {
        const char* name;
        std::string control;
        std::string line;
    } cases[] = {
        {"version refused", "[Quillet]\r\nGetEnvironment=2\r\nVerifyVersion=7\r\n",
            "Pellow HVD Log files kept: they were not collected in this run"},
        {"collection told the user it failed",
            "[Quillet]\r\nGetEnvironment=2\r\nVerifyVersion=0\r\n[Skerrit]\r\nCollectLogs=4\r\n",
            "Pellow HVD Log files kept: collecting them gave status 4"},
        {"collection failed", "[Quillet]\r\nGetEnvironment=2\r\nVerifyVersion=0\r\n[Skerrit]\r\nCollectLogs=7\r\n",
            "Pellow HVD Log files kept: collecting them gave status 7"},
    };
    installKib("");
    for (const auto& c : cases) {
        ASSERT_TRUE(writeFileBytes(kib_ + L"kib-double.ini", c.control));
        takeCalls();
        const std::wstring output = temp() + L"report.zip";
        DeleteFileW(output.c_str());
        DeleteFileW((temp() + L"PRT.txt").c_str());
        {
            DiagnosticLogHold log(temp());
            StartedProgram tool = startProgram(testBinaryFolder() + L"VosselPRT.exe", L"/flushed /file \"" + output + L"\"",
                {{L"TMP", temp()}, {L"TEMP", temp()}});
            pressEveryBoxUntilTheEnd(tool);
            ASSERT_EQ(tool.wait(10000), 0u) << c.name;
        }
        ASSERT_TRUE(fileExists(output)) << c.name;
        for (const std::wstring kept : {L"\\a.log", L"\\clientSideLogs.zip", L"\\Skerrit\\s.log"}) {
            EXPECT_TRUE(fileExists(engine + kept)) << c.name << asciiText(kept);
        }
        const Lines lines = logMessages();
        EXPECT_NE(std::find(lines.begin(), lines.end(), c.line), lines.end()) << c.name;
        EXPECT_EQ(std::find(lines.begin(), lines.end(), "Deleting Pellow HVD Log files"), lines.end()) << c.name;
        const Lines calls = takeCalls();
        EXPECT_EQ(std::find(calls.begin(), calls.end(), "Skerrit|DeleteLogs|8000"), calls.end()) << c.name;
    }
}

} // namespace
