#include "platform/vosselutils/command_line_parser.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

using Options = std::map<std::wstring, std::wstring>;

struct ParserCase {
    const wchar_t* commandLine;
    bool ok;
    Options options;
};

TEST(CommandLineParser, SplitsOptionsAndValuesByTheWindowsRules)
{
    const std::vector<ParserCase> cases = {
        {L"VosselPRT.exe", true, {}},
        {L"\"C:\\Program Files\\Vossel\\VosselPRT.exe\"", true, {}},
        {L"VosselPRT.exe /file C:\\r.zip", true, {{L"/file", L"C:\\r.zip"}}},
        {L"VosselPRT.exe /file", true, {{L"/file", L""}}},
        {L"VosselPRT.exe /file /overwrite 0", true, {{L"/file", L""}, {L"/overwrite", L"0"}}},
        {L"VosselPRT.exe /overwrite 1 /fulldump 0", true, {{L"/overwrite", L"1"}, {L"/fulldump", L"0"}}},
        {L"VosselPRT.exe /problemarea audio", true, {{L"/problemarea", L"audio"}}},
        {L"VosselPRT.exe /summary \"no sound at all\" /comments \"since \\\"Monday\\\"\"", true,
            {{L"/summary", L"no sound at all"}, {L"/comments", L"since \"Monday\""}}},
        {L"VosselPRT.exe /file \"C:\\My Reports\\\\\"", true, {{L"/file", L"C:\\My Reports\\"}}},
        {L"VosselPRT.exe /file \"\" /summary x", true, {{L"/file", L""}, {L"/summary", L"x"}}},
        {L"VosselPRT.exe /comments \"see /flushed there\"", true, {{L"/comments", L"see /flushed there"}}},
        {L"VosselPRT.exe /summary one /summary two", true, {{L"/summary", L"two"}}},
        {L"VosselPRT.exe /flushed", true, {{L"/flushed", L""}}},
        {L"VosselPRT.exe stray", false, {}},
        {L"VosselPRT.exe /summary one two", false, {}},
    };
    for (const auto& c : cases) {
        CWinCommandLineParser parser(c.commandLine);
        EXPECT_EQ(parser.init(), c.ok) << c.commandLine;
        if (c.ok) {
            EXPECT_EQ(parser.getOptions(), c.options) << c.commandLine;
        }
    }
}

} // namespace
