#include "base/test_setting.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

constexpr wchar_t kName[] = L"VOSSEL_PRT_TEST_UNIT_SETTING";

class TestSetting : public ::testing::Test {
protected:
    void TearDown() override { SetEnvironmentVariableW(kName, nullptr); }
};

TEST_F(TestSetting, OnlyAPositiveWholeNumberCounts)
{
    const struct {
        const wchar_t* text; // null: not set
        unsigned long long number;
    } cases[] = {
        {nullptr, 0}, {L"", 0}, {L"250", 250}, {L"4294967296", 4294967296ull}, {L"0", 0}, {L"-5", 0},
        {L" 7", 0}, {L"abc", 0},
    };
    for (const auto& c : cases) {
        SetEnvironmentVariableW(kName, c.text);
        EXPECT_EQ(testSettingNumber(kName), c.number) << (c.text ? c.text : L"(not set)");
    }
}

TEST_F(TestSetting, APathComesBackWholeAndAnOverlongOneNotAtAll)
{
    SetEnvironmentVariableW(kName, L"C:\\Some Folder\\systeminfo.exe");
    EXPECT_EQ(testSetting(kName), L"C:\\Some Folder\\systeminfo.exe");
    SetEnvironmentVariableW(kName, std::wstring(MAX_PATH + 10, L'x').c_str());
    EXPECT_EQ(testSetting(kName), L"");
}

} // namespace
