#include "settings/ap_report_ini_default.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "platform/lumocoreutils/text.h"
#include "platform/vosselutils/file_utils.h"
#include "platform/vosselutils/system_utils.h"
#include "settings/settings_test_support.h"
#include "support/client_double.h"
#include "support/scoped_temp_folder.h"

namespace {

class DefaultSettings : public ::testing::Test {
protected:
    void SetUp() override { SettingsUnderTest::reset(); }
    void TearDown() override { SettingsUnderTest::reset(); }

    ScopedTempFolder temp_;
    ScopedTempEnvironment environment_{temp_.path()};
};

TEST_F(DefaultSettings, NoClientProcessChangesNothing)
{
    CApReportIniDefault defaults;
    EXPECT_FALSE(defaults.generateDefaultSettings());
    EXPECT_EQ(CApReportIni::getProcessId(), 0u);
    EXPECT_EQ(CApReportIni::getLogDirectory(), L"");
    EXPECT_TRUE(CApReportIni::getAdditionalPrtPaths().empty());
}

TEST_F(DefaultSettings, ComeFromTheFirstClientAndTheUserFolders)
{
    RunningClientDouble first;
    RunningClientDouble second;
    RunningClientDouble third;
    const auto running = vosselutils::SystemUtils::getProcessIDByName(L"OrmelVossel.exe", false);
    ASSERT_EQ(running.size(), 3u);

    CApReportIniDefault defaults;
    ASSERT_TRUE(defaults.generateDefaultSettings());

    const std::wstring local = LumoCoreUtils::toWideString(vosselutils::FileUtils::getUserLocalAppDir());
    const std::wstring roaming = LumoCoreUtils::toWideString(vosselutils::FileUtils::getUserRoamingDir());
    const std::wstring q = L"Ormel\\Merovan\\Vossel\\QSK\\";
    const std::wstring& t = temp_.path();

    EXPECT_EQ(CApReportIni::getProcessId(), running.front());
    EXPECT_EQ(CApReportIni::getLogDirectory(), local + q + L"Logs\\");
    EXPECT_FALSE(CApReportIni::isDumpFileDisabled());
    EXPECT_TRUE(CApReportIni::isForensicsContactDataEnabled());
    EXPECT_EQ(CApReportIni::getCommentFilePath(), t + L"user-comment.txt");
    EXPECT_EQ(CApReportIni::getMetadataFilePath(), t + L"metadata.txt");
    EXPECT_EQ(CApReportIni::getGdiFilePath(), t + L"gdi.txt");
    EXPECT_EQ(CApReportIni::getDntDumpFilePath(false), t + L"dntcolex.dmp");
    EXPECT_EQ(CApReportIni::getDntDumpFilePath(true), t + L"dntcolex64.dmp");
    for (int index : {0, 1, 2, 10}) {
        EXPECT_EQ(CApReportIni::getScreenshotFilePath(index), L"");
    }
    EXPECT_EQ(CApReportIni::getExceptionAddress(), 0u);
    EXPECT_EQ(CApReportIni::getExceptionThreadId(), 0u);
    EXPECT_EQ(CApReportIni::getProductMode(), L"default");
    EXPECT_FALSE(CApReportIni::isPrtEncryptionEnabled());
    EXPECT_FALSE(CApReportIni::isDeleteLogsEnabled());
    EXPECT_EQ(CApReportIni::getCertificateName(), L"");

    const std::map<std::wstring, std::wstring> expected = {
        {L"StrandelCpp", local + q + L"Logs\\StrandelCpp"},
        {L"StrandelCpp/Performance", local + L"StrandelCpp"},
        {L"StrandelCppRoaming", roaming + L"StrandelCPP"},
        {L"Bootstrap", L"C:\\ProgramData\\Ormel Systems\\Ormel Vossel"},
        {L"Diagnostics", local + q + L"Diagnostics\\"},
        {L"Contacts", local + q + L"Contacts"},
        {L"dntcolex", roaming + L"Duntry Connect\\"},
    };
    EXPECT_EQ(CApReportIni::getAdditionalPrtPaths(), expected);
}

} // namespace
