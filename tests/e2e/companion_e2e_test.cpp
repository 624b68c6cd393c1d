#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sstream>
#include <string>

#include "support/client_double.h"
#include "support/zip_reader.h"
#include "tool_run_fixture.h"

namespace {

// Where the tool puts the client's dump; every test starts and ends without one there.
std::wstring clientDumpPath()
{
    wchar_t folder[MAX_PATH] = {};
    SHGetSpecialFolderPathW(nullptr, folder, CSIDL_LOCAL_APPDATA, TRUE);
    return std::wstring(folder) + L"\\Ormel\\Merovan\\Vossel\\Crash Dump\\fulldump.dmp";
}

class CompanionOnARealReport : public ToolRunTest {
protected:
    CompanionOnARealReport() { DeleteFileW(clientDumpPath().c_str()); }
    ~CompanionOnARealReport() override { DeleteFileW(clientDumpPath().c_str()); }

    // The companion's standard output and exit code.
    std::pair<std::optional<unsigned long>, std::string> companion(const std::wstring& args)
    {
        const std::wstring output = temp() + L"companion-output.txt";
        const auto exitCode = startProgram(testBinaryFolder() + L"VosselPRTDecrypt.exe", args, {}, output).wait(600000);
        std::string text = readFileBytes(output).value_or("");
        DeleteFileW(output.c_str());
        return {exitCode, text};
    }
};

// The client crashed: it hands the tool its exception record through the settings, the tool makes
// a full dump with it, and support staff read the exception and the module from the report.
TEST_F(CompanionOnARealReport, SummaryNamesTheExceptionAndTheModuleOfTheClientsOwnDump)
{
    const std::wstring recordPath = temp() + L"exception-record.txt";
    RunningClientDouble client(L"--exception-record \"" + recordPath + L"\"");
    unsigned long threadId = 0;
    unsigned long long address = 0;
    std::istringstream(readFileBytes(recordPath).value_or("")) >> std::hex >> threadId >> address;
    ASSERT_NE(address, 0u);
    ASSERT_LT(address, 0x100000000ull);
    std::ostringstream settings;
    settings << std::hex << "[Config]\r\nProcessID=" << client.processId() << "\r\nExceptionAddress=" << address
             << "\r\nThreadId=" << threadId << "\r\n";
    writeIni(settings.str());
    const std::wstring report = temp() + L"report.zip";
    // A full dump is large and slow to write and compress under Wine on a loaded machine.
    ASSERT_EQ(::runTool(L"/flushed /file \"" + report + L"\"", temp(), L"", 1200000), std::optional<unsigned long>(0));
    const auto entries = readZipArchive(report);
    ASSERT_TRUE(entries.has_value());
    ASSERT_NE(findZipEntry(*entries, "fulldump.dmp"), nullptr);

    const auto [summaryExit, page] = companion(L"summary \"" + report + L"\" --json");
    ASSERT_EQ(summaryExit, std::optional<unsigned long>(0)) << page;
    const auto summary = nlohmann::json::parse(page, nullptr, false);
    ASSERT_TRUE(summary.is_object()) << page;
    const nlohmann::json* dump = nullptr;
    for (const auto& item : summary["dumps"]) {
        dump = item["entry"] == "fulldump.dmp" ? &item : dump;
    }
    ASSERT_NE(dump, nullptr) << page;
    EXPECT_EQ((*dump)["readable"], true) << page;
    EXPECT_EQ((*dump)["kind"], "full memory");
    EXPECT_EQ((*dump)["exception"]["code"], "0xC0000005");
    EXPECT_EQ((*dump)["exception"]["name"], "EXCEPTION_ACCESS_VIOLATION");
    EXPECT_EQ((*dump)["exception"]["thread"], threadId);
    EXPECT_EQ((*dump)["exception"]["module"], "OrmelVossel.exe") << page;

    // The terminal page says the same in one line.
    const auto [textExit, text] = companion(L"summary \"" + report + L"\"");
    EXPECT_EQ(textExit, std::optional<unsigned long>(0));
    EXPECT_NE(text.find("0xC0000005 EXCEPTION_ACCESS_VIOLATION at 0x"), std::string::npos) << text;
    EXPECT_NE(text.find(", in OrmelVossel.exe+0x"), std::string::npos) << text;

    // The report the tool made is whole; without a manifest it is an older report.
    const bool manifest = findZipEntry(*entries, "manifest.json") != nullptr;
    const auto [verifyExit, verdict] = companion(L"verify \"" + report + L"\"");
    EXPECT_EQ(verifyExit, std::optional<unsigned long>(manifest ? 0 : 3)) << verdict;
    EXPECT_EQ(verdict.find("problem:"), std::string::npos) << verdict;
}

} // namespace
