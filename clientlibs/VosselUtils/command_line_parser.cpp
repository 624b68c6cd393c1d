#include "platform/vosselutils/command_line_parser.h"

#include <windows.h>
#include <shellapi.h>

#include <vector>

#include "base/scoped_generic.h"

namespace {

struct LocalMemoryTraits {
    using Type = LPWSTR*;
    static Type invalid() noexcept { return nullptr; }
    static void release(Type memory) noexcept { LocalFree(memory); }
};

// The words of a command line by the rules Windows programs use (quotes, backslashes before
// quotes); the first word, the program name, by its own simpler rule.
std::vector<std::wstring> splitCommandLine(const std::wstring& commandLine)
{
    std::vector<std::wstring> words;
    // An empty text would make the system split the running program's path instead.
    if (commandLine.find_first_not_of(L" \t") == std::wstring::npos) {
        return words;
    }
    int count = 0;
    ScopedGeneric<LocalMemoryTraits> argv(CommandLineToArgvW(commandLine.c_str(), &count));
    if (!argv) {
        return words;
    }
    for (int i = 0; i < count; ++i) {
        words.emplace_back(argv.get()[i]);
    }
    return words;
}

bool isOption(const std::wstring& word)
{
    return !word.empty() && word[0] == L'/';
}

} // namespace

CWinCommandLineParser::CWinCommandLineParser(const wchar_t* commandLine)
    : commandLine_(commandLine ? commandLine : GetCommandLineW())
{
}

CWinCommandLineParser::~CWinCommandLineParser() = default;

bool CWinCommandLineParser::init()
{
    options_.clear();
    const std::vector<std::wstring> words = splitCommandLine(commandLine_);
    for (size_t i = 1; i < words.size(); ++i) {
        if (!isOption(words[i])) {
            return false;
        }
        const std::wstring name = words[i];
        std::wstring value;
        if (i + 1 < words.size() && !isOption(words[i + 1])) {
            value = words[++i];
        }
        options_[name] = value;
    }
    return true;
}

const std::map<std::wstring, std::wstring>& CWinCommandLineParser::getOptions() const
{
    return options_;
}
