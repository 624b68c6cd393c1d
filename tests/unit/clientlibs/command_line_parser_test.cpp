#include "platform/vosselutils/command_line_parser.h"

#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <map>
#include <random>
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
        // A quoted word is a value, whatever it begins with.
        {L"VosselPRT.exe /summary \"/dev/null keeps crashing\" /flushed", true,
            {{L"/summary", L"/dev/null keeps crashing"}, {L"/flushed", L""}}},
        {L"VosselPRT.exe /file \"/reports/r.zip\"", true, {{L"/file", L"/reports/r.zip"}}},
        {L"VosselPRT.exe \"/file\" x", false, {}},
        {L"VosselPRT.exe /summary \"\" /comments x", true, {{L"/summary", L""}, {L"/comments", L"x"}}},
        {L"VosselPRT.exe /summary \"say \"\"hi\"\"\"", true, {{L"/summary", L"say \"hi\""}}},
        {L"VosselPRT.exe /sum\"mary x\" y", true, {{L"/summary x", L"y"}}},
        // Another program's unquoted path with a blank ends at the blank, as the system reads it.
        {L"C:\\Other Place\\VosselPRT.exe /flushed", false, {}},
    };
    for (const auto& c : cases) {
        CWinCommandLineParser parser(c.commandLine);
        EXPECT_EQ(parser.init(), c.ok) << c.commandLine;
        if (c.ok) {
            EXPECT_EQ(parser.getOptions(), c.options) << c.commandLine;
        }
    }
}

// The running program's own path, written without quotes, may hold blanks ("C:\Program Files\...").
TEST(CommandLineParser, SkipsTheProgramsOwnUnquotedPath)
{
    wchar_t buffer[MAX_PATH] = {};
    const std::wstring module(buffer, GetModuleFileNameW(nullptr, buffer, MAX_PATH));
    ASSERT_FALSE(module.empty());
    const std::wstring withoutExtension = module.substr(0, module.find_last_of(L'.'));
    std::wstring upper = module;
    CharUpperBuffW(upper.data(), static_cast<DWORD>(upper.size()));

    for (const std::wstring& program : {module, withoutExtension, upper}) {
        CWinCommandLineParser parser((program + L" /flushed /summary x").c_str());
        ASSERT_TRUE(parser.init()) << program.c_str();
        EXPECT_EQ(parser.getOptions(), (Options{{L"/flushed", L""}, {L"/summary", L"x"}})) << program.c_str();
    }
    CWinCommandLineParser alone(module.c_str());
    EXPECT_TRUE(alone.init());
    EXPECT_TRUE(alone.getOptions().empty());
    // A longer name that merely begins with the program's path is another word.
    CWinCommandLineParser longer((module + L"x /flushed").c_str());
    EXPECT_TRUE(longer.init());
    EXPECT_EQ(longer.getOptions(), (Options{{L"/flushed", L""}}));
}

// The quoting that CommandLineToArgvW undoes: every value, quoted so, comes back as it was.
std::wstring windowsQuoted(const std::wstring& value)
{
    std::wstring text = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : value) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        text.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        text += c;
        backslashes = 0;
    }
    text.append(2 * backslashes, L'\\');
    return text + L"\"";
}

TEST(CommandLineParser, AnyQuotedValueComesBackAsTheSystemReadsIt)
{
    std::mt19937 random(10);
    const std::wstring alphabet = L"a/ \t\"\\x";
    for (int round = 0; round < 2000; ++round) {
        Options expected;
        std::vector<std::wstring> words = {L"VosselPRT.exe"};
        std::wstring commandLine = L"VosselPRT.exe";
        for (int option = 0; option < 3; ++option) {
            std::wstring value;
            for (size_t n = random() % 10; n > 0; --n) {
                value += alphabet[random() % alphabet.size()];
            }
            const std::wstring name = L"/o" + std::to_wstring(option);
            expected[name] = value;
            words.push_back(name);
            words.push_back(value);
            commandLine += L" " + name + L" " + windowsQuoted(value);
        }
        CWinCommandLineParser parser(commandLine.c_str());
        ASSERT_TRUE(parser.init()) << commandLine.c_str();
        EXPECT_EQ(parser.getOptions(), expected) << commandLine.c_str();

        int count = 0;
        LPWSTR* argv = CommandLineToArgvW(commandLine.c_str(), &count);
        ASSERT_NE(argv, nullptr);
        EXPECT_EQ(std::vector<std::wstring>(argv, argv + count), words) << commandLine.c_str();
        LocalFree(argv);
    }
}

} // namespace
