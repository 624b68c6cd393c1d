#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "app/console_output.h"
#include "app/usage.h"

namespace {

TEST(ConsoleStream, IsUsedOnlyWhenTheHandleLeadsSomewhere)
{
    struct Case {
        const char* name;
        bool handleSet;
        DWORD fileType;
        bool consoleModeRead;
        ConsoleStreamKind kind;
    };
    const std::vector<Case> cases = {
        {"no handle (started without console or redirection)", false, FILE_TYPE_UNKNOWN, false, ConsoleStreamKind::None},
        {"a copied handle value that names nothing", true, FILE_TYPE_UNKNOWN, false, ConsoleStreamKind::None},
        {"a console window", true, FILE_TYPE_CHAR, true, ConsoleStreamKind::Console},
        {"redirected to a file", true, FILE_TYPE_DISK, false, ConsoleStreamKind::Redirected},
        {"piped to another program", true, FILE_TYPE_PIPE, false, ConsoleStreamKind::Redirected},
        {"redirected to NUL", true, FILE_TYPE_CHAR, false, ConsoleStreamKind::Redirected},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(classifyConsoleStream(c.handleSet, c.fileType, c.consoleModeRead), c.kind) << c.name;
    }
}

TEST(ConsoleStream, RedirectedTextKeepsWhatTheCodePageHolds)
{
    EXPECT_EQ(encodeForRedirectedStream(L"C:\\Temp\\r.zip", CP_UTF8), "C:\\Temp\\r.zip");
    EXPECT_EQ(encodeForRedirectedStream(L"\u00dcber", CP_UTF8), "\xc3\x9c" "ber");
    EXPECT_EQ(encodeForRedirectedStream(L"\u00dcber", 1252), "\xdc" "ber");
    EXPECT_EQ(encodeForRedirectedStream(L"\u20ac\u4e2d", 437), "??");
    EXPECT_EQ(encodeForRedirectedStream(L"", CP_UTF8), "");
}

TEST(Help, IsAskedForByItsThreeNamesInAnyCase)
{
    struct Case {
        std::map<std::wstring, std::wstring> options;
        bool help;
    };
    const std::vector<Case> cases = {
        {{{L"/?", L""}}, true},
        {{{L"/h", L""}}, true},
        {{{L"/H", L""}}, true},
        {{{L"/help", L""}}, true},
        {{{L"/HeLp", L""}}, true},
        {{{L"/file", L"x.zip"}, {L"/?", L""}}, true},
        {{}, false},
        {{{L"/summary", L"/?"}}, false},
        {{{L"/hel", L""}}, false},
        {{{L"/helps", L""}}, false},
        {{{L"?", L""}}, false},
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        EXPECT_EQ(isHelpRequested(cases[i].options), cases[i].help) << "case " << i;
    }
}

TEST(Help, NamesEveryOptionAndWhereThingsGo)
{
    const std::wstring text = usageText(L"C:\\T\\cmdlinePrt.zip", L"C:\\T\\PRT.txt");
    for (const wchar_t* option : {L"/file", L"/overwrite", L"/summary", L"/comments", L"/contact", L"/ProblemArea",
             L"/attach", L"/fulldump", L"/dntdmp", L"/flushed", L"/?"}) {
        EXPECT_NE(text.find(L"  " + std::wstring(option)), std::wstring::npos) << option;
    }
    EXPECT_NE(text.find(L"C:\\T\\cmdlinePrt.zip\r\n"), std::wstring::npos);
    EXPECT_NE(text.find(L"C:\\T\\PRT.txt\r\n"), std::wstring::npos);
}

} // namespace
