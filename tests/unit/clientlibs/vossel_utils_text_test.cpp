#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/lumocoreutils/text.h"
#include "platform/vosselutils/config_utils.h"
#include "platform/vosselutils/text.h"

namespace {

TEST(VosselUtilsText, NarrowTextIsUtf8BothWays)
{
    const std::wstring wide = L"C:\\Users\\J\u00fcrgen\\\u65e5\u672c\\\U0001F600.log";
    const std::string narrow = "C:\\Users\\J\xc3\xbcrgen\\\xe6\x97\xa5\xe6\x9c\xac\\\xf0\x9f\x98\x80.log";
    EXPECT_EQ(vosselutils::toString(wide), narrow);
    EXPECT_EQ(vosselutils::toWideString(narrow), wide);
    EXPECT_EQ(vosselutils::toWideString(narrow.c_str()), wide);
    EXPECT_EQ(vosselutils::toWideString(static_cast<const char*>(nullptr)), L"");
    EXPECT_EQ(LumoCoreUtils::toString(wide), narrow);
    EXPECT_EQ(LumoCoreUtils::toWideString(narrow), wide);
    EXPECT_EQ(vosselutils::toWideString(std::uint32_t{4294967295u}), L"4294967295");
    EXPECT_EQ(vosselutils::toWideString(std::wstring(L"same")), L"same");
}

TEST(VosselUtilsText, ToBoolKnowsBothSpellingsInAnyCaseAndFallsBackOtherwise)
{
    for (const wchar_t* yes : {L"1", L"true", L"TRUE", L"Yes", L"oN"}) {
        EXPECT_TRUE(vosselutils::toBool(yes, false)) << yes;
    }
    for (const wchar_t* no : {L"0", L"false", L"False", L"NO", L"off"}) {
        EXPECT_FALSE(vosselutils::toBool(no, true)) << no;
    }
    for (const wchar_t* other : {L"", L"2", L"y", L" true", L"enabled"}) {
        EXPECT_FALSE(vosselutils::toBool(other)) << other;
        EXPECT_TRUE(vosselutils::toBool(other, true)) << other;
    }
}

TEST(VosselUtilsText, NumbersAreDecimalAndNonNumbersGiveZeroOrTheFallback)
{
    struct Case {
        std::wstring text;
        unsigned long unsignedValue;
        int intValue; // with fallback 96
    };
    const std::vector<Case> cases = {
        {L"1234", 1234, 1234},
        {L" 120 ", 120, 120},
        {L"0", 0, 0},
        {L"", 0, 96},
        {L"abc", 0, 96},
        {L"12abc", 0, 96},
        {L"0x10", 0, 96},
        {L"-5", 0, -5},
        {L"4294967295", 4294967295ul, 96},
        {L"4294967296", 0, 96},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(vosselutils::toUnsignedLong(c.text), c.unsignedValue) << c.text.c_str();
        EXPECT_EQ(LumoCoreUtils::toInt(c.text, 96), c.intValue);
    }
}

TEST(VosselUtilsText, LowercaseKeepsTheLengthCodeUnitForCodeUnit)
{
    const std::wstring text = L"PassWORD=\u00c4\u0130\U0001F600x";
    const std::wstring lower = vosselutils::toLowercase(text);
    ASSERT_EQ(lower.size(), text.size());
    EXPECT_EQ(lower.substr(0, 10), L"password=\u00e4");
    EXPECT_EQ(lower.substr(lower.size() - 1), L"x");
}

TEST(VosselUtilsText, ReplaceAllReplacesEveryOccurrenceWithoutRescanningTheReplacement)
{
    std::wstring wide = L"Windows 10 Enterprise N";
    vosselutils::replaceAll(wide, L" ", L"_");
    EXPECT_EQ(wide, L"Windows_10_Enterprise_N");

    std::wstring growing = L"aXa";
    vosselutils::replaceAll(growing, L"a", L"aa");
    EXPECT_EQ(growing, L"aaXaa");

    std::wstring unchanged = L"abc";
    vosselutils::replaceAll(unchanged, L"", L"x");
    EXPECT_EQ(unchanged, L"abc");

    std::string narrow = "a-b-c";
    vosselutils::replaceAll(narrow, "-", "");
    EXPECT_EQ(narrow, "abc");
}

TEST(VosselUtilsText, SecureEraseEmptiesTheString)
{
    std::wstring secret = L"hunter2 and a text long enough to live on the heap";
    vosselutils::secureEraseString(secret);
    EXPECT_TRUE(secret.empty());
}

TEST(VosselUtilsConfig, PasswordKeyAndHiddenValue)
{
    EXPECT_EQ(vosselutils::ConfigUtils::DontLog::AD_Password_Key(), L"password");
    EXPECT_EQ(vosselutils::ConfigUtils::DontLog::Hidden_Password(), L"********");
}

} // namespace
