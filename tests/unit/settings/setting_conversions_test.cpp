#include "settings/setting_conversions.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

TEST(HexSetting, AcceptsAnOptionalPrefixAndStopsAtTheFirstNonDigit)
{
    const std::vector<std::pair<std::wstring, unsigned long>> cases = {
        {L"0x1A", 26}, {L"1A", 26}, {L"1a", 26}, {L"0X1a", 26}, {L"", 0}, {L"zz", 0},
        {L"12g4", 0x12}, {L"FFFFFFFF", 0xFFFFFFFFul}, {L"7ffd1234", 0x7ffd1234ul},
    };
    for (const auto& [text, value] : cases) {
        EXPECT_EQ(parseHexSetting(text), value) << text.c_str();
    }
}

// A section as the system returns it: lines joined by nulls, each line ended by one.
std::wstring section(std::initializer_list<std::wstring> lines)
{
    std::wstring text;
    for (const auto& line : lines) {
        text += line;
        text += L'\0';
    }
    return text;
}

TEST(AdditionalPrtPaths, WalksNameEqualsPathLines)
{
    using Paths = std::map<std::wstring, std::wstring>;
    struct Case {
        std::wstring section;
        Paths expected;
    };
    const std::vector<Case> cases = {
        {L"", {}},
        {section({L"Logs=C:\\Logs"}), {{L"Logs", L"C:\\Logs"}}},
        {section({L"Logs=C:\\a=b"}), {{L"Logs", L"b"}}},
        {section({L"no equals sign", L"Dumps=D:\\d"}), {{L"Dumps", L"D:\\d"}}},
        {section({L"Logs=first", L"Other=o", L"Logs=second"}), {{L"Logs", L"second"}, {L"Other", L"o"}}},
        {section({L"Empty=", L"A=x"}), {{L"Empty", L""}, {L"A", L"x"}}},
        {section({L"Contacts=C:\\Users\\J\u00fcrgen\\Contacts\\"}), {{L"Contacts", L"C:\\Users\\J\u00fcrgen\\Contacts\\"}}},
    };
    for (const auto& c : cases) {
        Paths paths;
        parseAdditionalPrtPaths(c.section, paths);
        EXPECT_EQ(paths, c.expected);
    }
}

TEST(AdditionalPrtPaths, KeepsWhatTheMapHeldAndReplacesByName)
{
    std::map<std::wstring, std::wstring> paths{{L"Logs", L"old"}, {L"Kept", L"k"}};
    parseAdditionalPrtPaths(section({L"Logs=new"}), paths);
    EXPECT_EQ(paths, (std::map<std::wstring, std::wstring>{{L"Logs", L"new"}, {L"Kept", L"k"}}));
}

TEST(AdditionalPrtPaths, CutLastLineComesOffWhole)
{
    struct Case {
        std::wstring section, rest, cut;
    };
    const std::vector<Case> cases = {
        {section({L"A=C:\\a", L"B=C:\\b"}) + L"C=C:", section({L"A=C:\\a", L"B=C:\\b"}), L"C=C:"},
        {section({L"A=C:\\a"}), section({L"A=C:\\a"}), L""},
        {L"Only=C:\\Us", L"", L"Only=C:\\Us"},
        {L"", L"", L""},
    };
    for (const auto& c : cases) {
        std::wstring text = c.section;
        EXPECT_EQ(takeCutLastLine(text), c.cut);
        EXPECT_EQ(text, c.rest);
    }
}

TEST(AdditionalPrtPaths, DriveAndShareRootsAreTold)
{
    for (const wchar_t* root : {L"C:", L"c:\\", L"C:/", L"C:\\\\", L"\\", L"/", L"C:\\.", L"C:\\Users\\..",
             L"C:\\a\\..\\..\\..", L"C:..", L"\\\\?\\C:\\", L"\\\\.\\D:", L"\\\\server\\share", L"\\\\server\\share\\",
             L"//server/share/x/..", L"\\\\?\\UNC\\server\\share\\", L"C:\\...", L"D:\\ "}) {
        EXPECT_TRUE(isDriveRootPath(root)) << root;
    }
    for (const wchar_t* folder : {L"", L"C:\\Logs", L"C:Logs", L"C:\\a\\..\\b", L"\\Logs", L"Logs", L"..",
             L"\\\\server\\share\\Logs", L"\\\\?\\C:\\Logs"}) {
        EXPECT_FALSE(isDriveRootPath(folder)) << folder;
    }
}

} // namespace
