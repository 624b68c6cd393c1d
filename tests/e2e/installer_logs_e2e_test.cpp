#include <windows.h>

#include <string>
#include <vector>

#include "support/zip_reader.h"
#include "tool_run_fixture.h"

namespace {

using Names = std::vector<std::string>;

using InstallerLogsInReport = ToolRunTest;

TEST_F(InstallerLogsInReport, BothInstallerLogsGoInBeforeTheDiagnosticLog)
{
    writeIni("[Config]\r\n");
    const std::string msiLog = utf16Bytes("=== Verbose logging started\r\nProductCode = {3C0E7D52-9A41-4B6E-8F20-71D5A6C9B314}\r\n");
    ASSERT_TRUE(writeFileBytes(temp() + L"OrmelVosselInstaller.LOG", "installer log"));
    ASSERT_TRUE(writeFileBytes(temp() + L"MSI4f2a9.LOG", msiLog));
    ASSERT_TRUE(writeFileBytes(temp() + L"MSI5b3c1.LOG", utf16Bytes("ProductCode = {another product}")));
    const std::wstring output = temp() + L"report.zip";

    runTool(L"/flushed /file \"" + output + L"\"");

    const auto entries = readZipArchive(output);
    ASSERT_TRUE(entries.has_value());
    const Names names = entryNames(*entries);
    ASSERT_GE(names.size(), 4u);
    EXPECT_EQ(Names(names.end() - 4, names.end()),
        (Names{"OrmelVosselInstaller.LOG", "MSI4f2a9.LOG", "PRT.txt", "manifest.json"}));
    EXPECT_EQ((*entries)[names.size() - 3].bytes, msiLog);
}

} // namespace
