// This program runs with "/flushed" on its command line, as the client starts the tool, so the
// reader goes straight to the file without looking for the client.

#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "settings/ap_report_ini.h"
#include "settings/settings_test_support.h"
#include "support/scoped_temp_folder.h"
#include "support/test_files.h"
#include "sysinfo/system_info_worker.h"

namespace {

class SettingsReader : public ::testing::Test {
protected:
    void SetUp() override { SettingsUnderTest::reset(); }
    // The reader starts the system-information worker; it ends here, while the temporary
    // folder it writes into still exists.
    void TearDown() override
    {
        waitForSystemInfoThread();
        SettingsUnderTest::reset();
    }

    // Reads a settings file with the given text in a fresh temporary folder.
    void read(const std::string& iniText)
    {
        if (!iniText.empty()) {
            ASSERT_TRUE(writeFileBytes(temp_.path() + L"VosselPRT.ini", iniText));
        }
        CApReportIni settings;
        ASSERT_TRUE(settings.readReportSettings());
    }

    ScopedTempFolder temp_;
    ScopedTempEnvironment environment_{temp_.path()};
};

TEST_F(SettingsReader, ReadsEveryKeyIntoItsAccessor)
{
    read("[Config]\r\n"
         "DisableDUMPFile=yes\r\n"
         "EnableForensicsContactData=TRUE\r\n"
         "VosselLogDirectory=C:\\Users\\u\\Logs\\\r\n"
         "ProcessID=0x1A\r\n"
         "ExceptionAddress=7ffd1234\r\n"
         "ThreadId=0X2b\r\n"
         "ProductMode=softphone\r\n"
         "DeleteLogs=on\r\n"
         "PrtCertificateName=\r\n"
         "[AdditionalPrtPaths]\r\n"
         "Logs=C:\\a=b\r\n"
         "no equals\r\n"
         "Dumps=D:\\first\r\n"
         "Dumps=D:\\second\r\n");

    EXPECT_TRUE(CApReportIni::iniFileExists());
    EXPECT_EQ(CApReportIni::getIniFilePath(), temp_.path() + L"VosselPRT.ini");
    EXPECT_TRUE(CApReportIni::isDumpFileDisabled());
    EXPECT_TRUE(CApReportIni::isForensicsContactDataEnabled());
    EXPECT_EQ(CApReportIni::getLogDirectory(), L"C:\\Users\\u\\Logs\\");
    EXPECT_EQ(CApReportIni::getProcessId(), 26u);
    EXPECT_EQ(CApReportIni::getExceptionAddress(), 0x7ffd1234u);
    EXPECT_EQ(CApReportIni::getExceptionThreadId(), 0x2Bu);
    EXPECT_EQ(CApReportIni::getProductMode(), L"softphone");
    EXPECT_TRUE(CApReportIni::isDeleteLogsEnabled());
    EXPECT_FALSE(CApReportIni::isPrtEncryptionEnabled());
    EXPECT_EQ(CApReportIni::getCertificateName(), L"");
    EXPECT_EQ(CApReportIni::getAdditionalPrtPaths(),
        (std::map<std::wstring, std::wstring>{{L"Logs", L"b"}, {L"Dumps", L"D:\\second"}}));

    EXPECT_EQ(CApReportIni::getCommentFilePath(), temp_.path() + L"user-comment.txt");
    EXPECT_EQ(CApReportIni::getMetadataFilePath(), temp_.path() + L"metadata.txt");
    EXPECT_EQ(CApReportIni::getGdiFilePath(), temp_.path() + L"gdi.txt");
    EXPECT_EQ(CApReportIni::getScreenshotFilePath(1), temp_.path() + L"Vossel_Screenshot1.png");
    EXPECT_EQ(CApReportIni::getScreenshotFilePath(12), temp_.path() + L"Vossel_Screenshot12.png");
    EXPECT_EQ(CApReportIni::getDntDumpFilePath(false), temp_.path() + L"dntcolex.dmp");
    EXPECT_EQ(CApReportIni::getDntDumpFilePath(true), temp_.path() + L"dntcolex64.dmp");
}

TEST_F(SettingsReader, ValuesKeepAtMost255Characters)
{
    const std::string longPath = "C:\\" + std::string(297, 'x');
    read("[Config]\r\nVosselLogDirectory=" + longPath + "\r\nProductMode=m\r\n");
    EXPECT_EQ(CApReportIni::getLogDirectory(), std::wstring(longPath.begin(), longPath.begin() + 255));
    EXPECT_EQ(CApReportIni::getProductMode(), L"m");
}

TEST_F(SettingsReader, EncryptionWithoutACertificateLeavesTheFurtherPathsEmpty)
{
    for (const char* certificate : {"", "Support Team"}) {
        SettingsUnderTest::reset();
        read(std::string("[Config]\r\nEnablePRTEncryption=1\r\nPrtCertificateName=") + certificate
            + "\r\n[AdditionalPrtPaths]\r\nLogs=C:\\Logs\r\n");
        EXPECT_TRUE(CApReportIni::isPrtEncryptionEnabled());
        EXPECT_TRUE(CApReportIni::getAdditionalPrtPaths().empty()) << certificate;
    }
}

TEST_F(SettingsReader, MissingFileReadsAsEmptyButStillDerivesTheWorkingPaths)
{
    read("");
    EXPECT_FALSE(CApReportIni::iniFileExists());
    EXPECT_EQ(CApReportIni::getProcessId(), 0u);
    EXPECT_FALSE(CApReportIni::isDumpFileDisabled());
    EXPECT_FALSE(CApReportIni::isDeleteLogsEnabled());
    EXPECT_EQ(CApReportIni::getLogDirectory(), L"");
    EXPECT_TRUE(CApReportIni::getAdditionalPrtPaths().empty());
    EXPECT_EQ(CApReportIni::getCommentFilePath(), temp_.path() + L"user-comment.txt");
}

} // namespace
