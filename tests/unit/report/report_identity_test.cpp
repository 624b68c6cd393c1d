#include "report/report_identity.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/unicode_text_file.h"
#include "report/client_version.h"
#include "support/scoped_temp_folder.h"
#include "support/test_files.h"
#include "support/test_time.h"
#include "support/tool_runner.h"

namespace {

TEST(ArchiveFileName, JoinsVersionTimeAndProductWithSpacesMadeUnderscores)
{
    EXPECT_EQ(composeArchiveFileName(L"12.6.0.1234", makeSystemTime(2024, 1, 31, 23, 59, 59), L"Windows 10 Enterprise"),
        L"Vossel-Win-12.6.0.1234-20240131_235959-Windows_10_Enterprise.zip");
    EXPECT_EQ(composeArchiveFileName(L"0", makeSystemTime(2026, 3, 4, 5, 6, 7), L""), L"Vossel-Win-0-20260304_050607-.zip");
    EXPECT_EQ(composeArchiveFileName(L"1 2", makeSystemTime(2026, 12, 9, 0, 0, 0), L" Windows  11 "),
        L"Vossel-Win-1_2-20261209_000000-_Windows__11_.zip");
}

TEST(ConfigElement, TextBetweenTheFirstOpeningTagAndTheClosingTagAfterIt)
{
    struct Case {
        std::wstring text, tag, value;
    };
    const std::vector<Case> cases = {
        {L"<a><user>jo</user></a>", L"user", L"jo"},
        {L"<user>first</user><user>second</user>", L"user", L"first"},
        {L"<user></user>", L"user", L""},
        {L"<user>Doe, Jane</user>", L"user", L"Doe, Jane"},
        {L"</user>x<user>", L"user", L""},
        {L"<user>never closed", L"user", L""},
        {L"<User>case</User>", L"user", L""},
        {L"", L"user", L""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(findElementValue(c.text, c.tag), c.value) << c.text.c_str();
    }
}

TEST(ClientVersion, FourthPlaceIsTheSpecialBuildAndTheBannerShowsTheRevision)
{
    const VersionNumbers version{12, 6, 0, 7, 1234};
    EXPECT_EQ(formatClientVersion(version), L"12.6.0.1234");
    EXPECT_EQ(formatClientVersionBanner(version), L"Vossel Version: 12.6.0.7 (Build 1234)");
    EXPECT_EQ(formatClientVersion(std::nullopt), L"0");
    EXPECT_EQ(formatClientVersionBanner(std::nullopt), L"0");
}

TEST(ClientVersion, ReadFromTheProgramsVersionResource)
{
    const auto tool = readVersionNumbers(testBinaryFolder() + L"VosselPRT.exe");
    ASSERT_TRUE(tool.has_value());
    EXPECT_EQ(formatClientVersion(tool), L"1.0.0.1");
    EXPECT_EQ(formatClientVersionBanner(tool), L"Vossel Version: 1.0.0.0 (Build 1)");

    const auto withoutSpecial = readVersionNumbers(testBinaryFolder() + L"NoSpecialBuild.exe");
    ASSERT_TRUE(withoutSpecial.has_value());
    EXPECT_EQ(formatClientVersion(withoutSpecial), L"3.4.5.0");
    EXPECT_EQ(formatClientVersionBanner(withoutSpecial), L"Vossel Version: 3.4.5.6 (Build 0)");

    // This test program carries no version resource at all.
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    EXPECT_FALSE(readVersionNumbers(self).has_value());
    EXPECT_EQ(getClientVersion(), L"0");
    EXPECT_EQ(getClientVersionBanner(), L"0");
}

TEST(UnicodeTextFile, ByteOrderMarkThenLittleEndianCodeUnits)
{
    ScopedTempFolder temp;
    const std::wstring path = temp.path() + L"user-comment.txt";
    writeUnicodeTextFile(path, L"no summary\r\nno comments\r\n\r\n");
    std::string expected = "\xFF\xFE";
    for (char c : std::string("no summary\r\nno comments\r\n\r\n")) {
        expected += c;
        expected += '\0';
    }
    EXPECT_EQ(readFileBytes(path), expected);

    writeUnicodeTextFile(path, L"\u00e9\u20ac");
    EXPECT_EQ(readFileBytes(path), std::string("\xFF\xFE\xE9\x00\xAC\x20", 6));

    // An empty text leaves the file as it was, and makes none where there was none.
    writeUnicodeTextFile(path, L"");
    EXPECT_EQ(readFileBytes(path), std::string("\xFF\xFE\xE9\x00\xAC\x20", 6));
    writeUnicodeTextFile(temp.path() + L"none.txt", L"");
    EXPECT_FALSE(fileExists(temp.path() + L"none.txt"));
}

} // namespace
